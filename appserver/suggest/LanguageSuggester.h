#pragma once
// The suggestions of one language: candidates from the engine's own index of the dictionary's
// words (SymmetricDeleteIndex) and from the spelling library, ordered by SuggestionRanker.
//
// The library is asked only when the index has no candidate within kCheapDistance typing
// edits, or (a fast library) when its best candidate is not kClearMargin cheaper than the
// next: most slips are one edit away with one clear answer, the index finds those in
// microseconds, and the library's slower search (phonetic, with longer distances) is kept for
// the words that need it. A slow library (Hunspell: tens of ms a word) is asked only in the
// first case, so that its languages answer no slower than Aspell's. The index is built by Prepare,
// at start (never inside a request), from the words the `words` source gives; its size and build
// time are logged. Until it is ready the library's list is ranked alone. A language with neither
// indexed words nor word tiers keeps the library's list as it is. Thread-safe.
#include <atomic>
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

    enum class LibrarySpeed { kFast, kSlow };

    // At most `max` suggestions for `word`, best first.
    std::vector<std::string> Suggest(std::string_view word, size_t max, const Library& library,
                                     LibrarySpeed speed = LibrarySpeed::kFast);
    // Builds the index now (once; a second caller waits for the first). When `*stop` turns true
    // the build ends early and the index is never used.
    void Prepare(const std::atomic<bool>* stop = nullptr);
    // The index's size in bytes; 0 before it is ready.
    size_t IndexBytes() const;

  private:
    // The index when it is ready, else nullptr.
    const SymmetricDeleteIndex* Ready() const;

    const std::string language_;
    const std::shared_ptr<const WordTiers> tiers_;
    const SuggestionRanker ranker_;
    const WordSource words_;
    std::once_flag built_;
    std::unique_ptr<const SymmetricDeleteIndex> index_;
    std::atomic<bool> ready_{false};
};
