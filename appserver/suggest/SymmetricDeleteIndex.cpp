#include "suggest/SymmetricDeleteIndex.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "suggest/Letters.h"
#include "suggest/TypingDistance.h"

namespace {

constexpr int kBucketBits = SymmetricDeleteIndex::kBucketBits;
constexpr size_t kBucketCount = (size_t{1} << kBucketBits) + 1;

constexpr uint64_t kNoSkip = ~uint64_t{0};

// A key: the hash in the high 32 bits, then the word's letter count (kLetterBits) and its
// number, so that a look-up passes over words of the wrong length without reading them.
constexpr int kLetterBits = 6;
constexpr int kIdBits = 32 - kLetterBits;
constexpr uint32_t kIdMask = (uint32_t{1} << kIdBits) - 1;
static_assert(SymmetricDeleteIndex::kMaxLetters < (size_t{1} << kLetterBits));

uint64_t KeyOf(uint32_t hash, size_t letters, uint32_t id) {
    return static_cast<uint64_t>(hash) << 32 | static_cast<uint64_t>(letters) << kIdBits | id;
}

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

// Asks for the cache line of `address` without waiting for it.
void Prefetch(const void* address) { __builtin_prefetch(address); }

std::u32string PrefixOf(std::u32string_view letters) {
    return std::u32string(letters.substr(0, SymmetricDeleteIndex::kPrefixLetters));
}

}  // namespace

struct SymmetricDeleteIndex::Built {
    std::vector<char> pool;
    std::vector<uint32_t> offsets{0};
    std::vector<uint8_t> letters;
    std::vector<uint64_t> keys;
    std::vector<uint32_t> buckets;
};

SymmetricDeleteIndex::SymmetricDeleteIndex(const std::vector<std::string>& words,
                                           const std::atomic<bool>* stop) {
    auto built = std::make_shared<Built>();
    std::unordered_set<std::string_view> seen;
    seen.reserve(words.size());
    for (const std::string& word : words) {
        if (stop && stop->load(std::memory_order_relaxed)) break;
        if (!seen.insert(word).second) continue;
        const std::u32string lower = Letters::Lower(Letters::FromUtf8(word));
        if (lower.empty() || lower.size() > kMaxLetters) continue;
        if (built->letters.size() > kIdMask) break;  // no room for more word numbers
        const auto id = static_cast<uint32_t>(built->offsets.size() - 1);
        for (const uint32_t hash : DeletionHashes(PrefixOf(lower)))
            built->keys.push_back(KeyOf(hash, lower.size(), id));
        built->pool.insert(built->pool.end(), word.begin(), word.end());
        built->letters.push_back(static_cast<uint8_t>(lower.size()));
        built->offsets.push_back(static_cast<uint32_t>(built->pool.size()));
    }
    std::sort(built->keys.begin(), built->keys.end());
    built->keys.shrink_to_fit();
    built->buckets.assign(kBucketCount, 0);
    for (const uint64_t key : built->keys) ++built->buckets[(key >> (64 - kBucketBits)) + 1];
    for (size_t b = 1; b < built->buckets.size(); ++b) built->buckets[b] += built->buckets[b - 1];
    built->letters.shrink_to_fit();
    built->pool.shrink_to_fit();
    built->offsets.shrink_to_fit();
    t_ = {built->pool, built->offsets, built->letters, built->keys, built->buckets};
    owner_ = std::move(built);
}

std::optional<SymmetricDeleteIndex> SymmetricDeleteIndex::FromTables(
    const Tables& tables, std::shared_ptr<const void> owner) {
    const auto& b = tables.buckets;
    if (tables.offsets.size() != tables.letters.size() + 1 || tables.offsets.front() != 0 ||
        tables.offsets.back() != tables.pool.size() || b.size() != kBucketCount || b.front() != 0 ||
        b.back() != tables.keys.size() || !std::is_sorted(b.begin(), b.end()))
        return std::nullopt;
    SymmetricDeleteIndex index;
    index.t_ = tables;
    index.owner_ = std::move(owner);
    return index;
}

std::string_view SymmetricDeleteIndex::WordAt(uint32_t id) const {
    if (id >= words()) return {};
    const uint32_t from = t_.offsets[id], to = t_.offsets[id + 1];
    if (from > to || to > t_.pool.size()) return {};
    return std::string_view(t_.pool.data() + from, to - from);
}

std::vector<SymmetricDeleteIndex::Match> SymmetricDeleteIndex::Near(std::string_view typed) const {
    const std::u32string lower = Letters::Lower(Letters::FromUtf8(typed));
    if (lower.empty() || lower.size() > kMaxLetters || t_.keys.empty()) return {};
    // The tables are large and read at random (a mapped file has no huge pages): each step asks
    // for the memory of all its entries before it reads the first, so that the misses overlap.
    const std::vector<uint32_t> hashes = DeletionHashes(PrefixOf(lower));
    for (const uint32_t hash : hashes) Prefetch(&t_.buckets[hash >> (32 - kBucketBits)]);
    // A bucket may start at the end of the keys: the address is formed, never read.
    for (const uint32_t hash : hashes)
        Prefetch(t_.keys.data() + t_.buckets[hash >> (32 - kBucketBits)]);
    std::vector<uint32_t> ids;
    size_t keysRead = 0;
    for (const uint32_t hash : hashes) {
        const uint64_t first = static_cast<uint64_t>(hash) << 32;
        const size_t bucket = hash >> (32 - kBucketBits);
        const auto end = t_.keys.begin() + t_.buckets[bucket + 1];
        for (auto it = std::lower_bound(t_.keys.begin() + t_.buckets[bucket], end, first);
             it != end && (*it >> 32) == hash && ids.size() < kMaxCandidates &&
             ++keysRead <= kMaxKeysRead;
             ++it) {
            // Words more than two letters longer or shorter are never within two edits.
            const size_t letters = static_cast<uint32_t>(*it) >> kIdBits;
            if (std::max(letters, lower.size()) - std::min(letters, lower.size()) <= 2)
                ids.push_back(static_cast<uint32_t>(*it) & kIdMask);
        }
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    std::erase_if(ids, [&](uint32_t id) { return id >= words(); });
    for (const uint32_t id : ids) Prefetch(&t_.offsets[id]);
    for (const uint32_t id : ids)
        if (t_.offsets[id] < t_.pool.size()) Prefetch(&t_.pool[t_.offsets[id]]);

    std::vector<Match> out;
    const LetterCounts typedCounts = CountsOf(lower);
    std::u32string candidate;
    for (const uint32_t id : ids) {
        const std::string_view word = WordAt(id);
        if (word.empty()) continue;
        Letters::LowerInto(word, candidate);
        if (!CountsClose(typedCounts, candidate)) continue;
        const double distance = TypingDistance::Between(lower, candidate, kMaxDistance);
        if (distance <= kMaxDistance) out.push_back({std::string(word), distance});
    }
    return out;
}

size_t SymmetricDeleteIndex::ApproximateBytes() const {
    return t_.pool.size_bytes() + t_.offsets.size_bytes() + t_.letters.size_bytes() +
           t_.keys.size_bytes() + t_.buckets.size_bytes();
}
