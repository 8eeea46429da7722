#include "suggest/WordTiers.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace {

constexpr size_t kMaxWordBytes = 64;

}  // namespace

WordTiers WordTiers::Parse(std::string_view text) {
    WordTiers table;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        const size_t tab = line.find('\t');
        if (tab == 0 || tab == std::string_view::npos || tab > kMaxWordBytes) continue;
        int tier = 0;
        const char* last = line.data() + line.size();
        const auto [rest, error] = std::from_chars(line.data() + tab + 1, last, tier);
        if (error != std::errc() || rest != last || tier <= 0 || tier > kMaxTier) continue;
        auto [it, fresh] = table.tiers_.emplace(line.substr(0, tab), static_cast<uint8_t>(tier));
        if (!fresh && tier < it->second) it->second = static_cast<uint8_t>(tier);
    }
    return table;
}

WordTiers WordTiers::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return WordTiers();
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

int WordTiers::TierOf(const std::string& word, const std::string& lower) const {
    if (const auto hit = tiers_.find(word); hit != tiers_.end()) return hit->second;
    if (const auto hit = tiers_.find(lower); hit != tiers_.end()) return hit->second;
    return 0;
}

std::vector<std::string> WordTiers::Words(int maxTier) const {
    std::vector<std::string> out;
    out.reserve(tiers_.size());
    for (const auto& [word, tier] : tiers_)
        if (tier <= maxTier) out.push_back(word);
    return out;
}

size_t WordTiers::ApproximateBytes() const {
    size_t bytes = tiers_.bucket_count() * sizeof(void*);
    for (const auto& [word, tier] : tiers_)
        bytes += sizeof(std::pair<const std::string, uint8_t>) + 2 * sizeof(void*) +
                 (word.size() > 15 ? word.capacity() : 0);
    return bytes;
}
