#include "utils/GetCookieValue.h"

#include <optional>

#include "utils/UrlDecode.h"

namespace {

bool StartsCookiePair(std::string_view header, size_t pos) {
    while (pos > 0 && (header[pos - 1] == ' ' || header[pos - 1] == '\t')) --pos;
    return pos == 0 || header[pos - 1] == ';';
}

// Where the value of the last pair named `name` starts.
std::optional<size_t> FindLastValue(std::string_view header, std::string_view name) {
    if (name.empty()) return std::nullopt;
    std::string needle(name);
    needle += '=';
    for (size_t pos = header.rfind(needle); pos != std::string_view::npos;
         pos = pos == 0 ? std::string_view::npos : header.rfind(needle, pos - 1)) {
        if (StartsCookiePair(header, pos)) return pos + needle.size();
    }
    return std::nullopt;
}

}  // namespace

std::string GetCookieValue(std::string_view header, std::string_view name,
                           std::string_view fallback) {
    const auto start = FindLastValue(header, name);
    if (!start) return std::string(fallback);
    const size_t end = header.find(';', *start);
    return UrlDecode(header.substr(
        *start, end == std::string_view::npos ? std::string_view::npos : end - *start));
}
