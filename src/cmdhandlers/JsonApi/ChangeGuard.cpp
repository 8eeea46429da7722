#include "cmdhandlers/JsonApi/ChangeGuard.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "kernel/CorsHeaders.h"
#include "kernel/RelayedRequest.h"

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

// A POST from no browser (no Origin: no cookies of a victim to borrow), from `self` or from a
// page listed by name.
bool AcceptedPost(StringMap& map, const std::string& method, const std::string& origin,
                  const std::string& self) {
    if (method != "POST") return false;
    if (origin.empty() || origin == self) return true;
    return origin != "*" && ListedByName(map[kCorsAllowOriginsKey], origin);
}

}  // namespace

bool ChangeGuard::Allows(StringMap& map, bool keyAsParameter) {
    if (keyAsParameter) return true;
    if (!AcceptedPost(map, Environment("REQUEST_METHOD"), Environment("HTTP_ORIGIN"),
                      map["HTTP_OR_HTTPS"] + "://" + map["HTTP_HOST"]))
        return false;
    // Through the relay, the browser's own request must pass too.
    return map["settings"] != "ferrix" ||
           AcceptedPost(map, map[RelayedRequest::kMethod], map[RelayedRequest::kOrigin],
                        map[RelayedRequest::kRelayOrigin]);
}
