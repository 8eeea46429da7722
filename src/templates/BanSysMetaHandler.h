#pragma once
// Resolver of the "bansys" placeholder: the banner block. Reads "bnr" (a decimal number; text
// that is not a number counts as 0), ":short_id:", "schema", "schema_def" and ":banr_dir:"
// (a directory plus the file-name prefix "bansys."). For a non-zero "bnr" the first readable
// banner file among the candidates is the answer; otherwise "<script>Rotation = 1;</script>".
// Candidate names holding a path separator or a NUL byte are skipped: they come from the request.
#include <string>
#include <vector>

#include "templates/DefMetaHandler.h"

class BanSysMetaHandler : public DefMetaHandler {
  public:
    static constexpr char kDefaultAnswer[] = "<script>Rotation = 1;</script>";

    std::string render(const Arguments& args, StringMap& map) override;

    // The file names to try (after ":banr_dir:"), in order.
    static std::vector<std::string> Candidates(StringMap& map, long banner);
};
