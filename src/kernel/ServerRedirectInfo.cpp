#include "kernel/ServerRedirectInfo.h"

#include "client/EngineServerList.h"

ServerRedirectInfo& ServerRedirectInfo::Process() {
    static ServerRedirectInfo instance;
    return instance;
}

void ServerRedirectInfo::Set(ServiceKind kind, const std::string& name, Target target) {
    entries_[kind][name] = std::move(target);
}

std::optional<ServerRedirectInfo::Target> ServerRedirectInfo::Find(ServiceKind kind,
                                                                   const std::string& name) const {
    auto byKind = entries_.find(kind);
    if (byKind == entries_.end()) return std::nullopt;
    auto entry = byKind->second.find(name);
    if (entry == byKind->second.end()) return std::nullopt;
    return entry->second;
}

void ServerRedirectInfo::Clear(ServiceKind kind) { entries_.erase(kind); }

bool ServerRedirectInfo::ParseInto(ServiceKind kind, std::string_view value) {
    const auto arrow = value.find("->");
    if (arrow == std::string_view::npos) return false;
    const std::string_view names = value.substr(0, arrow);
    const auto servers = EngineServerList::Parse(value.substr(arrow + 2), 0);
    if (servers.empty()) return false;
    for (const auto& server : servers)
        if (server.host.empty() || server.host.find(':') != std::string::npos || server.port == 0)
            return false;
    Target target{servers[0].host, servers[0].port};
    // Several servers travel as their list, which the engine client tries in order.
    if (servers.size() > 1) {
        target.host.clear();
        for (const auto& server : servers)
            target.host +=
                (target.host.empty() ? "" : ",") + server.host + ":" + std::to_string(server.port);
    }

    for (size_t start = 0; start < names.size();) {
        size_t end = names.find(' ', start);
        if (end == std::string_view::npos) end = names.size();
        if (end > start) Set(kind, std::string(names.substr(start, end - start)), target);
        start = end + 1;
    }
    return true;
}
