#pragma once
// One well-formed UTF-8 sequence (RFC 3629): the shortest form of a code point from U+0000 to
// U+10FFFF that is not a surrogate. Every check and decoder of UTF-8 in the programs reads its
// text through At, so that text one of them accepts is text all of them decode alike: an
// over-long form of "<" is no character anywhere, and nothing turns it into "<" after escaping.
#include <cstddef>
#include <string_view>

struct Utf8Sequence {
    std::size_t length = 0;  // 1 to 4 bytes; 0 when the bytes at the position are malformed
    char32_t codePoint = 0;

    // The sequence that starts at text[at]; `at` must be inside `text`.
    static Utf8Sequence At(std::string_view text, std::size_t at);
};
