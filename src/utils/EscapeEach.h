#pragma once
// The shared loop of the escapes whose rules map one code unit to one text.
#include <string>
#include <string_view>

// Appends `text` to `out`, writing `replacementFor(c)` in place of each code unit c for which it
// returns a non-empty text. The code units between replacements are appended as whole runs.
template <typename CharT, typename Rule>
void AppendEscaped(std::basic_string<CharT>& out, std::basic_string_view<CharT> text,
                   Rule replacementFor) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::basic_string_view<CharT> replacement = replacementFor(text[i]);
        if (replacement.empty()) continue;
        out.append(text.data() + runStart, i - runStart);
        out += replacement;
        runStart = i + 1;
    }
    out.append(text.data() + runStart, text.size() - runStart);
}

// A copy of `text` escaped as AppendEscaped does.
template <typename CharT, typename Rule>
std::basic_string<CharT> EscapeEach(std::basic_string_view<CharT> text, Rule replacementFor) {
    std::basic_string<CharT> out;
    out.reserve(text.size() + text.size() / 8);
    AppendEscaped(out, text, replacementFor);
    return out;
}
