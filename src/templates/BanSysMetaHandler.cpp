#include "templates/BanSysMetaHandler.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

long ReadBannerNumber(const std::string& text) {
    errno = 0;
    const long n = std::strtol(text.c_str(), nullptr, 10);
    return errno == ERANGE ? 0 : n;
}

bool IsPlainFileName(const std::string& name) {
    return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<std::string> BanSysMetaHandler::Candidates(StringMap& map, long banner) {
    const std::string byId = "id." + map[":short_id:"];
    const std::string byNumber = "bs." + map["bnr"];
    std::vector<std::string> names;
    if (banner == 1 || banner == 2)
        names = {byId, byNumber};
    else
        names = {byNumber, byId};
    names.push_back("lf." + map["schema"]);
    names.push_back("lf." + map["schema_def"]);
    return names;
}

std::string BanSysMetaHandler::render(const Arguments& /*args*/, StringMap& map) {
    const long banner = ReadBannerNumber(map["bnr"]);
    if (banner == 0) return kDefaultAnswer;
    const std::string& dir = map[":banr_dir:"];
    for (const auto& name : Candidates(map, banner)) {
        if (!IsPlainFileName(name)) continue;
        if (auto content = ReadWholeFile(dir + name)) return *content;
    }
    return kDefaultAnswer;
}
