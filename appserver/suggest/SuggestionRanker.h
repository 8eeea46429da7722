#pragma once
// Orders suggestion candidates by one cost, the lowest first. The cost of a candidate adds:
//   - the typing distance from the typed word (TypingDistance: swapped, doubled or dropped
//     letters and neighbouring keys cost less than other edits; a case difference costs 0);
//   - its rarity: 0 for the most common words (tier 10), rising with the tier to
//     kRareWordCost for a word in no tier, times kRarityWeight;
//   - kCapitalCost when the typed word has no capital letter and the candidate has one, so a
//     lower-case word gets lower-case words before names ("brwon": brown before Brown);
//   - less kLibraryBonus (scaled down along the library's list) when the spelling library
//     suggested the candidate, which carries the library's phonetic judgement ("sounds like").
// Candidates come back in the case of the typed word (capitalised or in capitals) when it is
// written so, without repeats. Immutable after construction, thread-safe.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "suggest/WordTiers.h"

class SuggestionRanker {
  public:
    static constexpr double kRarityWeight = 1.0;
    static constexpr double kRareWordCost = 1.0;
    static constexpr double kCapitalCost = 0.6;
    static constexpr double kLibraryBonus = 0.5;

    struct Candidate {
        std::string word;
        double distance = -1;  // the typing distance; below 0 when not yet measured
        int libraryRank = -1;  // place in the library's list; -1 when not from it
    };

    explicit SuggestionRanker(std::shared_ptr<const WordTiers> tiers);

    // At most `max` candidates, best first.
    std::vector<std::string> Rank(std::string_view typed, std::vector<Candidate> candidates,
                                  size_t max) const;
    // How much cheaper the best candidate is than the next different word (in lower case);
    // kNoRival when there is no other, and 0 when there are no candidates at all.
    double Margin(std::string_view typed, const std::vector<Candidate>& candidates) const;
    static constexpr double kNoRival = 1e9;

    // The cost of one candidate for `typed` (both as written).
    double CostOf(std::string_view typed, const Candidate& candidate) const;

  private:
    // `typedLower`: the typed word's letters in lower case.
    double CostFor(std::u32string_view typedLower, bool typedHasCapital,
                   const Candidate& candidate) const;
    double RarityOf(const std::string& word) const;

    std::shared_ptr<const WordTiers> tiers_;
};
