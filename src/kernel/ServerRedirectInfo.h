#pragma once
// Per service kind and language, the AppServer host and port that replace the default ones.
// Filled from the INI keys "grammar_redirect", "spell_redirect" and "thes_redirect"
// (SrvRedirect_SS); read by the AppServer connection step through InternalData key ServerRedirects,
// which holds a pointer to the process's one instance (never owned by InternalData).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "client/EngineServerList.h"

enum class ServiceKind { Grammar = 0, Spell = 1, Thesaurus = 2 };

class ServerRedirectInfo {
  public:
    // A host and port; the host may be a list of servers (see ParseInto).
    using Target = EngineServerList::Entry;

    // The one instance of the process, created on first use.
    static ServerRedirectInfo& Process();

    // Records `target` for (kind, name), replacing an earlier entry.
    void Set(ServiceKind kind, const std::string& name, Target target);
    // The target recorded for exactly (kind, name), if any.
    std::optional<Target> Find(ServiceKind kind, const std::string& name) const;
    // Forgets every entry of `kind`.
    void Clear(ServiceKind kind);

    // Parses one redirect value, names "->" host ":" port, e.g. "en_US en_GB->spell2:8080", into
    // entries of `kind`. Names are separated by blanks. Several servers, separated by commas
    // ("en_US->spell1:2880,spell2:2880"), are tried in order; their target's host is the list
    // and its port the first one's. A value without "->" or ":", with an empty host, or whose
    // port is not a decimal number from 1 to 65535 records nothing and returns false.
    bool ParseInto(ServiceKind kind, std::string_view value);

  private:
    std::map<ServiceKind, std::map<std::string, Target>> entries_;
};
