#include "spell/WordShape.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

WordShape::WordShape(std::u16string_view word) {
    bool first = true;
    for (size_t i = 0; i < word.size(); ++i) {
        UChar32 c = word[i];
        if (c < 0x80) {  // ASCII without the property look-ups
            const bool upper = c >= 'A' && c <= 'Z';
            const bool lower = c >= 'a' && c <= 'z';
            if (c >= '0' && c <= '9') ++digits_;
            if (upper && first) firstUpper_ = true;
            upper_ += upper;
            lower_ += lower;
            if (upper || lower) first = false;
            continue;
        }
        if (U16_IS_LEAD(word[i]) && i + 1 < word.size() && U16_IS_TRAIL(word[i + 1])) {
            c = U16_GET_SUPPLEMENTARY(word[i], word[i + 1]);
            ++i;
        }
        if (u_isdigit(c)) ++digits_;
        if (u_isupper(c) || u_istitle(c)) {
            ++upper_;
            if (first) firstUpper_ = true;
        } else if (u_islower(c)) {
            ++lower_;
        }
        if (u_isalpha(c)) first = false;
    }
}

std::string WordShape::Lower(std::string_view utf8) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())))
        .toLower(icu::Locale::getRoot())
        .toUTF8String(out);
    return out;
}

std::string WordShape::LowerFirst(std::string_view utf8) {
    icu::UnicodeString word = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    if (word.isEmpty()) return std::string();
    const int32_t firstLength = U16_LENGTH(word.char32At(0));
    icu::UnicodeString head = word.tempSubString(0, firstLength);
    head.toLower(icu::Locale::getRoot());
    std::string out;
    head.append(word.tempSubString(firstLength)).toUTF8String(out);
    return out;
}
