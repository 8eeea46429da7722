#include "kernel/ServerRedirectInfo.h"

#include <charconv>

namespace {

constexpr unsigned kMaxPort = 65535;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A decimal port from 1 to 65535 and nothing else; nullopt otherwise (a port that wrapped or
// became 0 would send the request to the wrong server or to none).
std::optional<std::uint16_t> ParsePort(std::string_view text) {
    text = TrimBlanks(text);
    unsigned port = 0;
    const char* end = text.data() + text.size();
    auto [last, error] = std::from_chars(text.data(), end, port);
    if (text.empty() || error != std::errc() || last != end || port == 0 || port > kMaxPort)
        return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

}  // namespace

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
    const std::string_view target = value.substr(arrow + 2);
    const auto colon = target.find(':');
    if (colon == std::string_view::npos) return false;
    const std::string_view host = TrimBlanks(target.substr(0, colon));
    const auto port = ParsePort(target.substr(colon + 1));
    if (host.empty() || !port) return false;

    for (size_t start = 0; start < names.size();) {
        size_t end = names.find(' ', start);
        if (end == std::string_view::npos) end = names.size();
        if (end > start)
            Set(kind, std::string(names.substr(start, end - start)),
                Target{std::string(host), *port});
        start = end + 1;
    }
    return true;
}
