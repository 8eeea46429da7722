#pragma once
// The dictionary words within two typing edits of a word, found without trying every edit of
// the typed word against the dictionary: every word is filed under the strings left when up to
// two letters are deleted from its first kPrefixLetters letters (lower case), and a look-up
// deletes up to two letters from the typed word's prefix and reads those entries. The
// candidates are then measured with TypingDistance over the whole words.
//
// Work per look-up is bounded whatever the word: at most 29 keys are read, at most
// kMaxCandidates words are measured, and words longer than kMaxLetters are not looked up.
// Memory is about 8 bytes per key (a 32-bit hash and a 32-bit word number) plus the words.
// Immutable after construction, thread-safe.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class SymmetricDeleteIndex {
  public:
    static constexpr size_t kPrefixLetters = 7;
    static constexpr size_t kMaxLetters = 48;
    static constexpr size_t kMaxCandidates = 4000;
    static constexpr double kMaxDistance = 2.0;

    struct Match {
        std::string word;  // as in the dictionary
        double distance = 0;
    };

    SymmetricDeleteIndex() = default;
    // Words longer than kMaxLetters, empty ones and repeats are left out. When `*stop` turns
    // true the words not yet filed are left out too (the owner is shutting down).
    explicit SymmetricDeleteIndex(const std::vector<std::string>& words,
                                  const std::atomic<bool>* stop = nullptr);

    // The words at TypingDistance at most kMaxDistance from `typed` (compared in lower case),
    // the word itself included, in no particular order.
    std::vector<Match> Near(std::string_view typed) const;

    size_t words() const { return offsets_.empty() ? 0 : offsets_.size() - 1; }
    size_t ApproximateBytes() const;

  private:
    std::string_view WordAt(uint32_t id) const;

    std::string pool_;               // the words, back to back
    std::vector<uint32_t> offsets_;  // word i is pool_[offsets_[i], offsets_[i + 1])
    std::vector<uint8_t> letters_;   // the length of word i in letters
    std::vector<uint64_t> keys_;     // hash << 32 | word number, sorted
    // keys_ whose hash starts with the kBucketBits-bit value b are [buckets_[b], buckets_[b + 1]).
    std::vector<uint32_t> buckets_;
};
