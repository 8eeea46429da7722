#include "client/EngineServerList.h"

#include <charconv>

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::uint16_t PortOf(std::string_view text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || rest != end || value == 0 || value > 65535)
        return 0;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::vector<EngineServerList::Entry> EngineServerList::Parse(std::string_view list,
                                                             std::uint16_t defaultPort) {
    std::vector<Entry> entries;
    for (std::size_t start = 0; start <= list.size() && entries.size() < kMaxEntries;) {
        std::size_t end = list.find(',', start);
        if (end == std::string_view::npos) end = list.size();
        const std::string_view item = TrimBlanks(list.substr(start, end - start));
        start = end + 1;
        if (item.empty()) continue;
        const std::size_t colon = item.rfind(':');
        if (colon == std::string_view::npos)
            entries.push_back({std::string(item), defaultPort});
        else
            entries.push_back({std::string(TrimBlanks(item.substr(0, colon))),
                               PortOf(TrimBlanks(item.substr(colon + 1)))});
    }
    return entries;
}
