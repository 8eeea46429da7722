#pragma once
// Checks on UTF-8 byte strings. Pure functions.
#include <string_view>

class Utf8 {
  public:
    // Well-formed UTF-8: no overlong forms, surrogates or code points above U+10FFFF.
    static bool IsValid(std::string_view text);
    // No byte below 0x20 and no DEL.
    static bool HasNoControls(std::string_view text);
};
