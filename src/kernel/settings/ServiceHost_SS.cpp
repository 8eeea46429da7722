#include "kernel/settings/ServiceHost_SS.h"

#include <cstdlib>
#include <cstring>

#include "utils/InternalDataKeys.h"

ServiceHost_SS::Parts ServiceHost_SS::Split(std::string_view value, bool httpsOn) {
    Parts parts;
    parts.url = std::string(value);
    const auto slashes = value.find("//");
    if (slashes == std::string_view::npos) {
        parts.host = parts.url;
        return parts;
    }
    if (slashes == 0) {
        parts.scheme = httpsOn ? "https" : "http";
        parts.url = *parts.scheme + ":" + parts.url;
    } else {
        std::string_view scheme = value.substr(0, slashes);
        if (scheme.back() == ':') scheme.remove_suffix(1);
        parts.scheme = std::string(scheme);
    }
    const std::string_view rest = value.substr(slashes + 2);
    const auto slash = rest.find('/');
    parts.host = std::string(rest.substr(0, slash));
    if (slash != std::string_view::npos) parts.path = std::string(rest.substr(slash));
    return parts;
}

void ServiceHost_SS::apply(StringMap& map, InternalData& data, const std::string& value) {
    const char* https = std::getenv("HTTPS");
    const Parts parts = Split(value, https != nullptr && std::strcmp(https, "on") == 0);
    map["service_host"] = parts.url;
    if (parts.scheme) data.Set<std::string>(idkey::ServiceScheme, *parts.scheme);
    data.Set<std::string>(idkey::ServiceHost, parts.host);
    if (parts.path) data.Set<std::string>(idkey::ServicePath, *parts.path);
}
