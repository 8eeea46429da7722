#include "kernel/RedirectTarget.h"

#include <algorithm>
#include <string>

namespace RedirectTarget {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Browsers drop tabs and line breaks inside URLs and read "\" as "/": such bytes could turn an
// innocent-looking value into another target, so they are refused outright.
bool HasUnsafeBytes(std::string_view url) {
    return std::any_of(url.begin(), url.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F || c == '\\';
    });
}

// A scheme ("x:") before the first "/", "?" or "#".
bool HasScheme(std::string_view url) {
    const size_t colon = url.find(':');
    return colon != std::string_view::npos && colon < url.find_first_of("/?#");
}

bool IsListed(const std::string& origin, std::string_view allowedOrigins) {
    size_t start = 0;
    while (start < allowedOrigins.size()) {
        const size_t end =
            std::min(allowedOrigins.find_first_of(" ,\t", start), allowedOrigins.size());
        std::string listed = Lower(allowedOrigins.substr(start, end - start));
        while (!listed.empty() && listed.back() == '/') listed.pop_back();
        if (!listed.empty() && listed == origin) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

bool IsAllowed(std::string_view url, std::string_view requestHost,
               std::string_view allowedOrigins) {
    if (HasUnsafeBytes(url)) return false;
    if (url.starts_with("//")) return false;  // another host, scheme of the page
    if (!HasScheme(url)) return true;
    const std::string lower = Lower(url);
    size_t authorityStart = 0;
    if (lower.starts_with("http://"))
        authorityStart = 7;
    else if (lower.starts_with("https://"))
        authorityStart = 8;
    else
        return false;
    const size_t authorityEnd = std::min(lower.find_first_of("/?#", authorityStart), lower.size());
    const std::string authority = lower.substr(authorityStart, authorityEnd - authorityStart);
    if (authority.empty() || authority.find('@') != std::string::npos) return false;
    if (!requestHost.empty() && authority == Lower(requestHost)) return true;
    return IsListed(lower.substr(0, authorityEnd), allowedOrigins);
}

}  // namespace RedirectTarget
