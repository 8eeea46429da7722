#pragma once
// URL decoding of one parameter piece or cookie value.
//
// "+" gives a blank. "%" takes the (at most) two characters after it and reads their leading
// hex digits: a non-zero number becomes that byte and both characters are consumed; zero (no hex
// digit, or "00") drops the "%" and keeps the character after it, so "%00" gives "00" and never
// a NUL byte. A "%" at the very end is dropped. Every other byte is copied. Never fails; the
// result need not be UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

std::string UrlDecode(std::string_view text);

// Appends the decoding of `text` to `out`, copying the runs between escapes whole. Decoding
// stops right after the first escape or byte that gives `stopAfter` (when it is not -1), so
// that the rest can be decoded into another buffer with the same result. Returns the number of
// bytes of `text` read.
std::size_t UrlDecodeAppend(std::string& out, std::string_view text, int stopAfter = -1);
