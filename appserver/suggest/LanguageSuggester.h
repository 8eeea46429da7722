#pragma once
// The suggestions of one language: candidates from the engine's own index of the dictionary's
// words (SymmetricDeleteIndex) and from the spelling library, ordered by SuggestionRanker.
//
// The library is asked only when the index has no candidate within kCheapDistance typing
// edits, or when its best candidate is not kClearMargin cheaper than the next: most slips are
// one edit away with one clear answer, the index finds those in microseconds, and the
// library's slower search (phonetic, with longer distances) is kept for the words that need
// it. The index is built on the first suggestion asked for (or by Prepare), from the words
// the `words` source gives; its size and build time are logged. A language with neither
// indexed words nor word tiers keeps the library's list as it is. Thread-safe.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "suggest/SuggestionRanker.h"
#include "suggest/SymmetricDeleteIndex.h"
#include "suggest/WordTiers.h"

class LanguageSuggester {
  public:
    static constexpr double kCheapDistance = 1.0;
    static constexpr double kClearMargin = 0.3;

    // The words to index: the dictionary's own and those of `tiers` that it accepts.
    using WordSource = std::function<std::vector<std::string>(const WordTiers& tiers)>;
    // The library's suggestions for a word, best first.
    using Library = std::function<std::vector<std::string>(std::string_view word)>;

    LanguageSuggester(std::string language, std::shared_ptr<const WordTiers> tiers,
                      WordSource words);

    // At most `max` suggestions for `word`, best first.
    std::vector<std::string> Suggest(std::string_view word, size_t max, const Library& library);
    // Builds the index now (once).
    void Prepare();

  private:
    const SymmetricDeleteIndex& Index();

    const std::string language_;
    const std::shared_ptr<const WordTiers> tiers_;
    const SuggestionRanker ranker_;
    const WordSource words_;
    std::once_flag built_;
    std::unique_ptr<const SymmetricDeleteIndex> index_;
};
