#include "spell/WordShape.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

WordShape::WordShape(std::u16string_view word) {
    for (size_t i = 0; i < word.size();) {
        UChar32 c;
        U16_NEXT(word.data(), i, word.size(), c);
        Add(c);
    }
}

WordShape::WordShape(std::string_view utf8) {
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {  // ASCII without the decoding
            Add(byte);
            ++i;
            continue;
        }
        UChar32 c;
        U8_NEXT(utf8.data(), i, utf8.size(), c);
        if (c >= 0) Add(c);
    }
}

void WordShape::Add(UChar32 c) {
    if (c < 0x80) {  // ASCII without the property look-ups
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        digits_ += c >= '0' && c <= '9';
        firstUpper_ = firstUpper_ || (upper && !seenLetter_);
        upper_ += upper;
        lower_ += lower;
        seenLetter_ = seenLetter_ || upper || lower;
        return;
    }
    if (u_isdigit(c)) ++digits_;
    if (u_isupper(c) || u_istitle(c)) {
        ++upper_;
        if (!seenLetter_) firstUpper_ = true;
    } else if (u_islower(c)) {
        ++lower_;
    }
    if (u_isalpha(c)) seenLetter_ = true;
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
