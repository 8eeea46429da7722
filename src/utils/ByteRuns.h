#pragma once
// Word-at-a-time tests for the scanners that copy runs of plain bytes (request decoding, the
// UTF-8 check, the engine's line escape): eight bytes are tested in a few instructions instead
// of one branch per byte. Each test is exact as a yes/no answer for the whole word; the caller
// finds the position byte by byte inside the word that answered yes.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace byteruns {

inline constexpr std::size_t kWordBytes = sizeof(std::uint64_t);
inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

inline std::uint64_t LoadWord(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, kWordBytes);
    return word;
}

// Non-zero when a byte of `word` is below `bound` (`bound` at most 0x80).
constexpr std::uint64_t AnyByteBelow(std::uint64_t word, unsigned char bound) {
    return (word - kOnes * bound) & ~word & kHighBits;
}

// Non-zero when a byte of `word` equals `byte`.
constexpr std::uint64_t AnyByteEqual(std::uint64_t word, unsigned char byte) {
    return AnyByteBelow(word ^ (kOnes * byte), 1);
}

// Non-zero when a byte of `word` is 0x80 or above.
constexpr std::uint64_t AnyHighByte(std::uint64_t word) { return word & kHighBits; }

// The first position from `at` in `text` at which the eight bytes from there hold a byte that
// `special(word)` flags, or the last position from which fewer than eight bytes remain.
template <typename WordTest>
std::size_t SkipPlainWords(std::string_view text, std::size_t at, WordTest special) {
    while (text.size() - at >= kWordBytes && special(LoadWord(text.data() + at)) == 0)
        at += kWordBytes;
    return at;
}

// SkipPlainWords for scanners that stop at every special byte: a word found to hold one is not
// tested again, so text dense with special bytes pays one word test per eight bytes at most.
// `retryFrom` starts at 0 and belongs to one scan.
template <typename WordTest>
std::size_t SkipPlainWordsOnce(std::string_view text, std::size_t at, std::size_t& retryFrom,
                               WordTest special) {
    if (at < retryFrom) return at;
    at = SkipPlainWords(text, at, special);
    retryFrom = at + kWordBytes;
    return at;
}

}  // namespace byteruns
