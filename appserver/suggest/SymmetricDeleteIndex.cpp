#include "suggest/SymmetricDeleteIndex.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "suggest/Letters.h"
#include "suggest/TypingDistance.h"

namespace {

constexpr int kBucketBits = 16;

constexpr uint64_t kNoSkip = ~uint64_t{0};

// The hash of `prefix` without the letters at `skip1` and `skip2` (kNoSkip: none).
uint32_t HashWithout(std::u32string_view prefix, uint64_t skip1, uint64_t skip2) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (i == skip1 || i == skip2) continue;
        h ^= prefix[i];
        h *= 1099511628211ull;
    }
    return static_cast<uint32_t>(h >> 32);
}

// The hashes of `prefix` with zero, one and two letters deleted, without repeats.
std::vector<uint32_t> DeletionHashes(std::u32string_view prefix) {
    std::vector<uint32_t> out{HashWithout(prefix, kNoSkip, kNoSkip)};
    for (size_t i = 0; i < prefix.size(); ++i) {
        out.push_back(HashWithout(prefix, i, kNoSkip));
        for (size_t j = i + 1; j < prefix.size(); ++j) out.push_back(HashWithout(prefix, i, j));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// Letter counts by the low bits of each code point: two words within two edits differ by at
// most four in these counts, which rules out most candidates before the distance is measured.
using LetterCounts = std::array<int8_t, 32>;
constexpr int kMaxCountDifference = 4;

LetterCounts CountsOf(std::u32string_view letters) {
    LetterCounts counts{};
    for (const char32_t c : letters) ++counts[c & 31];
    return counts;
}

bool CountsClose(const LetterCounts& typed, std::u32string_view candidate) {
    LetterCounts counts = typed;
    for (const char32_t c : candidate) --counts[c & 31];
    int difference = 0;
    for (const int8_t n : counts) difference += n < 0 ? -n : n;
    return difference <= kMaxCountDifference;
}

std::u32string PrefixOf(std::u32string_view letters) {
    return std::u32string(letters.substr(0, SymmetricDeleteIndex::kPrefixLetters));
}

}  // namespace

SymmetricDeleteIndex::SymmetricDeleteIndex(const std::vector<std::string>& words,
                                           const std::atomic<bool>* stop) {
    offsets_.push_back(0);
    std::unordered_set<std::string_view> seen;
    seen.reserve(words.size());
    for (const std::string& word : words) {
        if (stop && stop->load(std::memory_order_relaxed)) break;
        if (!seen.insert(word).second) continue;
        const std::u32string lower = Letters::Lower(Letters::FromUtf8(word));
        if (lower.empty() || lower.size() > kMaxLetters) continue;
        const auto id = static_cast<uint32_t>(offsets_.size() - 1);
        for (const uint32_t hash : DeletionHashes(PrefixOf(lower)))
            keys_.push_back(static_cast<uint64_t>(hash) << 32 | id);
        pool_ += word;
        letters_.push_back(static_cast<uint8_t>(lower.size()));
        offsets_.push_back(static_cast<uint32_t>(pool_.size()));
    }
    std::sort(keys_.begin(), keys_.end());
    keys_.shrink_to_fit();
    buckets_.assign((size_t{1} << kBucketBits) + 1, 0);
    for (const uint64_t key : keys_) ++buckets_[(key >> (64 - kBucketBits)) + 1];
    for (size_t b = 1; b < buckets_.size(); ++b) buckets_[b] += buckets_[b - 1];
    letters_.shrink_to_fit();
    pool_.shrink_to_fit();
}

std::string_view SymmetricDeleteIndex::WordAt(uint32_t id) const {
    return std::string_view(pool_).substr(offsets_[id], offsets_[id + 1] - offsets_[id]);
}

std::vector<SymmetricDeleteIndex::Match> SymmetricDeleteIndex::Near(std::string_view typed) const {
    const std::u32string lower = Letters::Lower(Letters::FromUtf8(typed));
    if (lower.empty() || lower.size() > kMaxLetters || keys_.empty()) return {};
    std::vector<uint32_t> ids;
    for (const uint32_t hash : DeletionHashes(PrefixOf(lower))) {
        const uint64_t first = static_cast<uint64_t>(hash) << 32;
        const size_t bucket = hash >> (32 - kBucketBits);
        const auto end = keys_.begin() + buckets_[bucket + 1];
        for (auto it = std::lower_bound(keys_.begin() + buckets_[bucket], end, first);
             it != end && (*it >> 32) == hash && ids.size() < kMaxCandidates; ++it)
            ids.push_back(static_cast<uint32_t>(*it));
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());

    std::vector<Match> out;
    const LetterCounts typedCounts = CountsOf(lower);
    std::u32string candidate;
    for (const uint32_t id : ids) {
        const size_t letters = letters_[id];
        if (std::max(letters, lower.size()) - std::min(letters, lower.size()) > 2) continue;
        const std::string_view word = WordAt(id);
        Letters::LowerInto(word, candidate);
        if (!CountsClose(typedCounts, candidate)) continue;
        const double distance = TypingDistance::Between(lower, candidate, kMaxDistance);
        if (distance <= kMaxDistance) out.push_back({std::string(word), distance});
    }
    return out;
}

size_t SymmetricDeleteIndex::ApproximateBytes() const {
    return pool_.capacity() + (offsets_.capacity() + buckets_.capacity()) * sizeof(uint32_t) +
           letters_.capacity() + keys_.capacity() * sizeof(uint64_t);
}
