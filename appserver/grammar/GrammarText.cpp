#include "grammar/GrammarText.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>

#include "grammar/RuleAnchor.h"
#include "spell/WordTokenizer.h"

namespace {

constexpr std::u16string_view kCodeMarks = u"[]{}=;|$`<>";

}  // namespace

GrammarText::GrammarText(const std::u16string& text) : text_(text) {
    const size_t n = text.size();
    bool previousIsLetter = false;
    for (size_t i = 0; i < n;) {
        const size_t at = i;
        UChar32 c = 0;
        U16_NEXT(text.data(), i, n, c);
        const bool letter = u_isalpha(c);
        if (letter && !previousIsLetter) {
            const size_t units = std::min(kFoldedRunUnits, n - at);
            runs_.push_back({at, RuleAnchor::Folded(std::u16string_view(text).substr(at, units))});
        }
        previousIsLetter = letter;
    }
    for (size_t start = 0; start <= n;) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = n;
        const std::u16string_view line = std::u16string_view(text).substr(start, end - start);
        const size_t blank = line.find_first_not_of(u" \t");
        size_t space = 0;
        while (space < line.size() && u_isUWhiteSpace(line[space])) ++space;
        lines_.push_back({start, start + (blank == std::u16string_view::npos ? line.size() : blank),
                          start + space,
                          line.find_first_of(kCodeMarks) != std::u16string_view::npos});
        start = end + 1;
    }
}

size_t GrammarText::LineOf(size_t pos) const {
    const auto it = std::upper_bound(lines_.begin(), lines_.end(), pos,
                                     [](size_t p, const Line& line) { return p < line.start; });
    return static_cast<size_t>(it - lines_.begin()) - 1;
}

const std::vector<TextWord>& GrammarText::words() const {
    if (!words_) words_ = WordTokenizer::Words(text_);
    return *words_;
}
