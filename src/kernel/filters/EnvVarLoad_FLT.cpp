#include "kernel/filters/EnvVarLoad_FLT.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "utils/InternalDataKeys.h"

EnvVarLoad_FLT::EnvVarLoad_FLT() : environment_(&EnvVarLoad_FLT::ProcessEnvironment) {}

std::optional<std::string> EnvVarLoad_FLT::ProcessEnvironment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

void EnvVarLoad_FLT::apply(StringMap& map, InternalData& data) {
    const std::string host = environment_("HTTP_HOST").value_or("");
    map["HTTP_HOST"] = host;

    std::string https = environment_("HTTPS").value_or("");
    std::transform(https.begin(), https.end(), https.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string scheme = https == "on" ? "https" : "http";
    map["HTTP_OR_HTTPS"] = scheme;

    const auto scriptName = environment_("SCRIPT_NAME");
    std::string requestPath;
    if (scriptName) requestPath = (host.empty() ? "" : scheme + "://" + host) + *scriptName;
    map["REQUEST_PATH"] = requestPath;

    if (auto accept = environment_("HTTP_ACCEPT"))
        data.Set<std::string>(idkey::HttpAccept, *accept);
}
