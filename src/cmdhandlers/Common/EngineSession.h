#pragma once
// One direct call of an engine-server function, for the commands that do not go through
// CommonSpell_CH (grammar, thesaurus, personal dictionaries): connect on construction, call,
// release on destruction.
//
// The server is chosen by the caller: Configured() ("appserver_hostname"/"appserver_port"),
// FromSetting() for a "host:port" setting such as "grammar_host", Redirected() for the
// per-language table (InternalData key 26). "appserver_wait_ms" of the map bounds the wait
// between reads. Never throws.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/ServerRedirectInfo.h"
#include "utils/InternalData.h"
#include "utils/StringMap.h"

class EngineSession {
  public:
    using Target = ServerRedirectInfo::Target;

    EngineSession(const StringMap& map, const Target& target);
    ~EngineSession();
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // 0 when the client was initialised, else the client's error code.
    int initCode() const { return initCode_; }
    bool connected() const { return initCode_ == 0; }

    // One call: 0 with `results` holding `expected` strings, else the client's error code (also
    // when the session did not connect: the call is still made and fails).
    int Call(const std::string& function, const std::vector<std::string>& params, size_t expected,
             std::vector<std::string>& results);

    // "appserver_hostname" and the decimal "appserver_port" (0, where nothing listens, when the
    // port is not a number from 0 to 65535).
    static Target Configured(StringMap& map);
    // host ":" port; nullopt when the value has no ':'. A port that is not a number gives 0.
    static std::optional<Target> FromSetting(std::string_view value);
    // The redirect table's target for (kind, language) when it names one, else `fallback`. An
    // empty language is never redirected. Throws InternalData::TypeMismatch when key 26 holds
    // another type.
    static Target Redirected(InternalData& data, ServiceKind kind, const std::string& language,
                             Target fallback);

  private:
    int initCode_ = 0;
};
