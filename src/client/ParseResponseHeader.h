#pragma once
// Reads the header block of the service host's answer: the status line, then header lines
// separated by CR LF (no CR LF after the last one).
//
// Header names are compared without regard to case (HTTP's rule). Values lose the blanks around
// them. Kept: "Expires", "Content-Type", "Pragma" (the last of each wins), "Cache-Control" (the
// values of all its lines joined by ", ") and every "Set-Cookie" in order; other headers are
// ignored. The block is not well formed when a header line has no ":" or the status line has no
// three-digit code after its first blank. Pure: never throws for any input.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ResponseHeader {
    bool wellFormed = false;
    std::string status;  // the three digits of the status code
    std::optional<std::string> expires;
    std::optional<std::string> contentType;
    std::optional<std::string> pragma;
    std::optional<std::string> cacheControl;
    std::vector<std::string> setCookies;
};

ResponseHeader ParseResponseHeader(std::string_view block);
