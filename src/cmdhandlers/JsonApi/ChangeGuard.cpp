#include "cmdhandlers/JsonApi/ChangeGuard.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "kernel/CorsHeaders.h"

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool ListedByName(std::string_view list, std::string_view origin) {
    size_t at = 0;
    while ((at = list.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const size_t end = std::min(list.find_first_of(" \t", at), list.size());
        if (list.substr(at, end - at) == origin) return true;
        at = end;
    }
    return false;
}

}  // namespace

bool ChangeGuard::Allows(StringMap& map, bool keyAsParameter) {
    if (keyAsParameter) return true;
    if (Environment("REQUEST_METHOD") != "POST") return false;
    const std::string origin = Environment("HTTP_ORIGIN");
    if (origin.empty()) return true;  // not a browser: no cookies of a victim to borrow
    if (origin == map["HTTP_OR_HTTPS"] + "://" + map["HTTP_HOST"]) return true;
    return origin != "*" && ListedByName(map[kCorsAllowOriginsKey], origin);
}
