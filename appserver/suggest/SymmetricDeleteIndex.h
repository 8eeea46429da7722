#pragma once
// The dictionary words within two typing edits of a word, found without trying every edit of
// the typed word against the dictionary: every word is filed under the strings left when up to
// two letters are deleted from its first kPrefixLetters letters (lower case), and a look-up
// deletes up to two letters from the typed word's prefix and reads those entries. The
// candidates are then measured with TypingDistance over the whole words.
//
// Work per look-up is bounded whatever the word: at most 29 hashes and kMaxKeysRead keys are
// read, at most kMaxCandidates words are measured, and words longer than kMaxLetters are not looked
// up. Memory is about 8 bytes per key (a 32-bit hash, the letter count and the word number) plus
// the words.
// The tables are either built here (heap) or views into a file (SuggestionIndexFile), whose
// contents are outside input: FromTables checks their shape, and Near checks every word number
// and word offset it reads, so that a damaged table gives wrong words, never a bad read.
// Immutable after construction, thread-safe; copies share the tables.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class SymmetricDeleteIndex {
  public:
    static constexpr size_t kPrefixLetters = 7;
    static constexpr size_t kMaxLetters = 48;
    static constexpr size_t kMaxCandidates = 4000;
    static constexpr size_t kMaxKeysRead = 8 * kMaxCandidates;
    static constexpr double kMaxDistance = 2.0;

    struct Match {
        std::string word;  // as in the dictionary
        double distance = 0;
    };

    static constexpr int kBucketBits = 16;

    // The index's tables. Word i is pool[offsets[i], offsets[i + 1]) and has letters[i]
    // letters (lower case); keys are hash << 32 | letters << 26 | word number, sorted; the keys
    // whose hash starts with the kBucketBits-bit value b are keys[buckets[b], buckets[b + 1]).
    struct Tables {
        std::span<const char> pool;
        std::span<const uint32_t> offsets;
        std::span<const uint8_t> letters;
        std::span<const uint64_t> keys;
        std::span<const uint32_t> buckets;
    };

    SymmetricDeleteIndex() = default;
    // Words longer than kMaxLetters, empty ones and repeats are left out. When `*stop` turns
    // true the words not yet filed are left out too (the owner is shutting down).
    explicit SymmetricDeleteIndex(const std::vector<std::string>& words,
                                  const std::atomic<bool>* stop = nullptr);

    // An index over tables kept alive by `owner` (a mapped file). nullopt when their sizes or
    // bucket bounds do not fit together.
    static std::optional<SymmetricDeleteIndex> FromTables(const Tables& tables,
                                                          std::shared_ptr<const void> owner);

    // The words at TypingDistance at most kMaxDistance from `typed` (compared in lower case),
    // the word itself included, in no particular order.
    std::vector<Match> Near(std::string_view typed) const;

    size_t words() const { return t_.letters.size(); }
    // The tables' size in bytes (heap when built here, mapped when read from a file).
    size_t ApproximateBytes() const;
    const Tables& tables() const { return t_; }

  private:
    struct Built;
    // Word `id`, or empty when the tables do not hold it.
    std::string_view WordAt(uint32_t id) const;

    Tables t_;
    std::shared_ptr<const void> owner_;  // keeps the tables' memory
};
