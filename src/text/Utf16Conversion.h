#pragma once
// Conversions between the UTF-8 the commands exchange and the UTF-16 the text model works in.
//
// Utf8ToUtf16: 1- to 3-byte sequences give one code unit, 4-byte sequences (U+10000 to
// U+10FFFF) a surrogate pair. Any malformed sequence (stray continuation byte, truncated or
// overlong sequence, encoded surrogate, value above U+10FFFF) gives one U+FFFD per
// offending byte and decoding goes on with the next byte; it never fails.
//
// Utf16ToUtf8: a surrogate pair gives 4 bytes; a lone surrogate, which no valid UTF-8 can
// produce, gives the bytes of U+FFFD. So valid UTF-8 round-trips unchanged.
#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
