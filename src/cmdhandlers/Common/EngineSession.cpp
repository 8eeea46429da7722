#include "cmdhandlers/Common/EngineSession.h"

#include <charconv>
#include <cstdint>

#include "client/CAppServerClient.h"
#include "utils/InternalDataKeys.h"

namespace {

std::uint16_t PortNumber(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || rest != end || value > UINT16_MAX) return 0;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

EngineSession::EngineSession(const StringMap& map, const Target& target)
    : initCode_(AppServerConnect(map, target.host, target.port)) {}

EngineSession::~EngineSession() { AppServerUninit(); }

int EngineSession::Call(const std::string& function, const std::vector<std::string>& params,
                        size_t expected, std::vector<std::string>& results) {
    const int code = AppServerDoFunc(function, params, results, expected);
    if (code == 0 && results.size() != expected) return CAppServerClient::kDecodeError;
    return code;
}

EngineSession::Target EngineSession::Configured(StringMap& map) {
    return {map["appserver_hostname"], PortNumber(map["appserver_port"])};
}

std::optional<EngineSession::Target> EngineSession::FromSetting(std::string_view value) {
    const size_t colon = value.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    return Target{std::string(value.substr(0, colon)), PortNumber(value.substr(colon + 1))};
}

EngineSession::Target EngineSession::Redirected(InternalData& data, ServiceKind kind,
                                                const std::string& language, Target fallback) {
    if (language.empty() || !data.Find(idkey::ServerRedirects)) return fallback;
    const auto* redirects = data.Get<const ServerRedirectInfo*>(idkey::ServerRedirects);
    if (redirects == nullptr) return fallback;
    return redirects->Find(kind, language).value_or(std::move(fallback));
}
