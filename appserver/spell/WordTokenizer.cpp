#include "spell/WordTokenizer.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>

#include <memory>

#include "core/EngineError.h"
#include "spell/LinkFinder.h"

namespace {

icu::BreakIterator& ThreadBreakIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> it(
            icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !it) throw EngineError("Word breaking is not available");
        return it;
    }();
    return *iterator;
}

bool IsInnerSeparator(char16_t c) { return c == u'.' || c == u':'; }

bool HasLetter(std::u16string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        UChar32 c = s[i];
        if (c < 0x80) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
            continue;
        }
        if (U16_IS_LEAD(s[i]) && i + 1 < s.size() && U16_IS_TRAIL(s[i + 1]))
            c = U16_GET_SUPPLEMENTARY(s[i], s[i + 1]);
        if (u_isalpha(c)) return true;
    }
    return false;
}

}  // namespace

std::u16string WordTokenizer::ToUtf16(std::string_view utf8) {
    std::u16string out(utf8.size(), u'\0');
    if (utf8.empty()) return out;
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                  utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status)) throw EngineError("Text is not valid UTF-8");
    out.resize(static_cast<size_t>(length));
    return out;
}

std::string WordTokenizer::ToUtf8(std::u16string_view utf16) {
    std::string out(utf16.size() * 3, '\0');
    if (utf16.empty()) return out;
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                       reinterpret_cast<const UChar*>(utf16.data()),
                       static_cast<int32_t>(utf16.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) return std::string();
    out.resize(static_cast<size_t>(length));
    return out;
}

void WordTokenizer::AddSegment(const std::u16string& text, size_t begin, size_t end,
                               std::vector<TextWord>& words) {
    size_t start = begin;
    for (size_t i = begin; i <= end; ++i) {
        if (i < end && !IsInnerSeparator(text[i])) continue;
        const std::u16string_view part(text.data() + start, i - start);
        if (!part.empty() && HasLetter(part)) {
            TextWord word;
            word.pos = start;
            word.len = part.size();
            word.utf8 = ToUtf8(part);
            words.push_back(std::move(word));
        }
        start = i + 1;
    }
}

std::vector<TextWord> WordTokenizer::Words(const std::u16string& text) {
    std::vector<TextWord> words;
    if (text.empty()) return words;
    icu::BreakIterator& it = ThreadBreakIterator();
    // The iterator keeps a shallow clone of this UText, pointing into `text`; it is not used
    // again before the next setText.
    UErrorCode status = U_ZERO_ERROR;
    UText* utext = utext_openUChars(nullptr, reinterpret_cast<const UChar*>(text.data()),
                                    static_cast<int64_t>(text.size()), &status);
    it.setText(utext, status);
    utext_close(utext);
    if (U_FAILURE(status)) throw EngineError("Word breaking failed");
    int32_t begin = it.first();
    for (int32_t end = it.next(); end != icu::BreakIterator::DONE; begin = end, end = it.next()) {
        if (it.getRuleStatus() == UBRK_WORD_NONE) continue;
        AddSegment(text, static_cast<size_t>(begin), static_cast<size_t>(end), words);
    }

    const auto links = LinkFinder::Find(text);
    size_t link = 0;
    for (TextWord& word : words) {
        while (link < links.size() && links[link].second <= word.pos) ++link;
        if (link < links.size() && links[link].first <= word.pos &&
            word.pos + word.len <= links[link].second)
            word.inLink = true;
    }
    return words;
}
