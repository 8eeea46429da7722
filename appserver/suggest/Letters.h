#pragma once
// Words as sequences of code points, for the suggestion search, which counts edits in letters
// rather than bytes. Pure functions, thread-safe.
#include <string>
#include <string_view>

class Letters {
  public:
    // The code points of `utf8`; malformed sequences are dropped.
    static std::u32string FromUtf8(std::string_view utf8);
    static std::string ToUtf8(std::u32string_view letters);
    // Simple (one-to-one) lower case of each code point.
    static std::u32string Lower(std::u32string_view letters);
    // The lower-case code points of `utf8` into `out` (reusing its storage).
    static void LowerInto(std::string_view utf8, std::u32string& out);
    static bool HasCapital(std::u32string_view letters);
    // The same for UTF-8 text, without converting ASCII.
    static bool HasCapitalUtf8(std::string_view utf8);
    // The word with its first letter in capitals, or all of it.
    static std::u32string CapitalFirst(std::u32string_view letters);
    static std::u32string Upper(std::u32string_view letters);
};
