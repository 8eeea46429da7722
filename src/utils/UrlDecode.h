#pragma once
// URL decoding of one parameter piece or cookie value.
//
// "+" gives a blank. "%" takes the (at most) two characters after it and reads their leading
// hex digits: a non-zero number becomes that byte and both characters are consumed; zero (no hex
// digit, or "00") drops the "%" and keeps the character after it, so "%00" gives "00" and never
// a NUL byte. A "%" at the very end is dropped. Every other byte is copied. Never fails; the
// result need not be UTF-8.
#include <string>
#include <string_view>

std::string UrlDecode(std::string_view text);
