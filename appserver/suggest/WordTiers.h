#pragma once
// How common each word of a language is, as a tier: 10 for the most common words, up to 70;
// 0 for a word that is in no tier (rare, a name, or not in the lists at all). Read from a file
// of "word<TAB>tier" lines (made at build time from Debian's scowl word lists). Lines that do
// not fit are skipped. Immutable after construction, thread-safe.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class WordTiers {
  public:
    static constexpr int kMaxTier = 100;
    WordTiers() = default;  // no words
    static WordTiers Parse(std::string_view text);
    // A missing or unreadable file gives an empty table.
    static WordTiers Load(const std::string& path);

    // The tier of the word as written, else of its lower-case form, else 0.
    int TierOf(const std::string& word, const std::string& lower) const;
    // Words of this tier come from word lists larger than a dictionary's own: rare words.
    static constexpr int kRarestTier = 70;

    size_t size() const { return tiers_.size(); }
    // The words of tier at most `maxTier`.
    std::vector<std::string> Words(int maxTier = kMaxTier) const;
    size_t ApproximateBytes() const;

  private:
    std::unordered_map<std::string, uint8_t> tiers_;
};
