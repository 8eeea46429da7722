#include "cmdhandlers/Spell/SuggestionAnswers.h"

#include "text/Utf16Conversion.h"
#include "text/WordEncodings.h"
#include "utils/TextEscapes.h"

namespace {

constexpr std::string_view kLineBreaks = "\r\n";

std::string_view WithoutMarker(std::string_view suggestions) {
    return suggestions == kNoSuggestions ? std::string_view() : suggestions;
}

std::string HiddenField(std::string_view line) {
    const size_t colon = line.find(':');
    const std::string_view word = line.substr(0, colon);
    if (word.empty()) return {};
    std::string_view suggestions;
    if (colon != std::string_view::npos) {
        const size_t start = line.find_first_not_of(':', colon);
        if (start != std::string_view::npos) suggestions = line.substr(start);
    }
    return "\n<input type=hidden name=\"s_" + Utf16ToUtf8(IdentifierForm(Utf8ToUtf16(word))) +
           "\" value=\"" + HtmlEscape(WithoutMarker(suggestions)) + "\">";
}

}  // namespace

std::string SuggestList(std::string_view answer) {
    std::string list(WithoutMarker(answer));
    for (char& c : list)
        if (c == '\n') c = ',';
    // The list lands in an HTML page and ValueEscape_FLT does not escape it: engine text is
    // outside input too.
    return HtmlEscape(list);
}

std::string SuggestAllFields(std::string_view answer, size_t maxWords) {
    std::string fields;
    size_t at = 0;
    for (size_t words = 0; at < answer.size() && words < maxWords;) {
        at = answer.find_first_not_of(kLineBreaks, at);
        if (at == std::string_view::npos) break;
        size_t end = answer.find_first_of(kLineBreaks, at);
        if (end == std::string_view::npos) end = answer.size();
        const std::string field = HiddenField(answer.substr(at, end - at));
        words += field.empty() ? 0 : 1;
        fields += field;
        at = end;
    }
    return fields;
}
