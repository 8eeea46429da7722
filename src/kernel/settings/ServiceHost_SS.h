#pragma once
// INI key "service_host" (ferrix): the service URL the relay forwards to.
// Writes string-map "service_host" (with the scheme put in front of a scheme-relative URL) and
// InternalData ServiceScheme, ServiceHost, ServicePath (strings; scheme and path only when the
// value has them). Reads the environment variable HTTPS for a scheme-relative URL.
#include <optional>
#include <string>
#include <string_view>

#include "kernel/ServerSettingHandler.h"

class ServiceHost_SS : public ServerSettingHandler {
  public:
    struct Parts {
        std::string url;  // the string-map "service_host"
        std::optional<std::string> scheme;
        std::string host;
        std::optional<std::string> path;
        bool operator==(const Parts&) const = default;
    };

    explicit ServiceHost_SS(Program program) : ServerSettingHandler(program) {}

    void apply(StringMap& map, InternalData& data, const std::string& value) override;
    std::string name() const override { return "service_host"; }

    // Splits `value`: "scheme://host/path", "//host/path" (scheme "https" when `httpsOn`, else
    // "http"), or a bare "host" (everything is the host).
    static Parts Split(std::string_view value, bool httpsOn);
};
