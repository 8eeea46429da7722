#pragma once
// The suggestions of one language: candidates from the engine's own index of the dictionary's
// words (SymmetricDeleteIndex) and from the spelling library, ordered by SuggestionRanker.
//
// The library is asked only when the index has no candidate within kCheapDistance typing
// edits, or (a fast library) when its best candidate is not kClearMargin cheaper than the
// next: most slips are one edit away with one clear answer, the index finds those in
// microseconds, and the library's slower search (phonetic, with longer distances) is kept for
// the words that need it. A slow library (Hunspell: tens of ms a word) is asked only in the
// first case, so that its languages answer no slower than Aspell's. Until the index is ready
// the library's list is ranked alone. A language with neither indexed words nor word tiers
// keeps the library's list as it is. Thread-safe.
//
// The index is never made inside a request. It comes from a stored file (StoredIndex) when one
// was made from the same word list, which Start maps in milliseconds; otherwise Prepare builds
// it from the words the `words` source gives, stores it, and maps the stored copy so that the
// heap copy goes. Engine processes that share the folder make each file once: a builder holds
// a lock file beside it, and one that waited for the lock maps what the other stored.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
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
    // Where the index is stored and what it is made from; `path` empty: never stored.
    struct StoredIndex {
        std::string path;
        std::string identity;
    };

    LanguageSuggester(std::string language, std::shared_ptr<const WordTiers> tiers,
                      WordSource words, StoredIndex stored = {});

    enum class LibrarySpeed { kFast, kSlow };

    // At most `max` suggestions for `word`, best first.
    std::vector<std::string> Suggest(std::string_view word, size_t max, const Library& library,
                                     LibrarySpeed speed = LibrarySpeed::kFast);
    // The first call maps the stored index when the file holds a valid one. True for that
    // first call only, and only when the index is still to be made by Prepare.
    bool Start();
    // Makes the index now (once; a second caller waits for the first): maps the stored one,
    // else builds and stores it. When `*stop` turns true it ends early and the index is never
    // used.
    void Prepare(const std::atomic<bool>* stop = nullptr);
    // Whether the index is in use (suggestions are final: they may be cached).
    bool ready() const { return ready_.load(std::memory_order_acquire); }
    // The index's size in bytes; 0 before it is ready.
    size_t IndexBytes() const;

  private:
    // The index when it is ready, else nullptr.
    const SymmetricDeleteIndex* Ready() const;
    // Puts `index` in use unless one already is, and logs where it came from.
    void Publish(SymmetricDeleteIndex index, const std::string& how,
                 std::chrono::steady_clock::time_point start);
    std::optional<SymmetricDeleteIndex> LoadStored() const;

    const std::string language_;
    const std::shared_ptr<const WordTiers> tiers_;
    const SuggestionRanker ranker_;
    const WordSource words_;
    const StoredIndex stored_;
    std::atomic<bool> started_{false};
    std::once_flag built_;
    std::mutex publishing_;
    std::optional<SymmetricDeleteIndex> index_;  // set once, before ready_
    std::atomic<bool> ready_{false};
};
