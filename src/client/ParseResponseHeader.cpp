#include "client/ParseResponseHeader.h"

#include <cctype>

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool ThreeDigits(std::string_view code) {
    if (code.size() != 3) return false;
    for (char c : code)
        if (c < '0' || c > '9') return false;
    return true;
}

// The code after the first blank of the status line, if it is three digits followed by the end
// of the line or a blank.
std::optional<std::string> StatusCode(std::string_view line) {
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::string_view rest = line.substr(blank + 1);
    const std::string_view code = rest.substr(0, 3);
    if (!ThreeDigits(code) || (rest.size() > 3 && rest[3] != ' ')) return std::nullopt;
    return std::string(code);
}

bool Apply(std::string_view line, ResponseHeader& header) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    const std::string_view name = line.substr(0, colon);
    const std::string value(Trim(line.substr(colon + 1)));
    if (SameName(name, "Expires"))
        header.expires = value;
    else if (SameName(name, "Content-Type"))
        header.contentType = value;
    else if (SameName(name, "Pragma"))
        header.pragma = value;
    else if (SameName(name, "Cache-Control"))  // several lines are one list (RFC 9110 5.3)
        header.cacheControl = header.cacheControl ? *header.cacheControl + ", " + value : value;
    else if (SameName(name, "Set-Cookie"))
        header.setCookies.push_back(value);
    return true;
}

}  // namespace

ResponseHeader ParseResponseHeader(std::string_view block) {
    ResponseHeader header;
    size_t end = block.find("\r\n");
    const auto status = StatusCode(block.substr(0, end));
    if (!status) return header;
    header.status = *status;
    while (end != std::string_view::npos) {
        const size_t start = end + 2;
        end = block.find("\r\n", start);
        const std::string_view line = block.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!Apply(line, header)) return header;
    }
    header.wellFormed = true;
    return header;
}
