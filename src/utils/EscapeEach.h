#pragma once
// The shared loop of the escapes whose rules map one code unit to one text.
#include <string>
#include <string_view>

// Copies `text`, writing `replacementFor(c)` in place of each code unit c for which it returns a
// non-empty text.
template <typename CharT, typename Rule>
std::basic_string<CharT> EscapeEach(std::basic_string_view<CharT> text, Rule replacementFor) {
    std::basic_string<CharT> out;
    out.reserve(text.size() + text.size() / 8);
    for (CharT c : text) {
        const std::basic_string_view<CharT> replacement = replacementFor(c);
        if (replacement.empty())
            out += c;
        else
            out += replacement;
    }
    return out;
}
