#include "spell/LinkFinder.h"

#include <unicode/uchar.h>

namespace {

constexpr size_t kMinTopLevelLetters = 2;
constexpr size_t kMaxTopLevelLetters = 6;
constexpr std::u16string_view kOpeners = u"([{<\"'\u201C\u2018";
constexpr std::u16string_view kClosers = u")]}>\"'.,;:!?\u201D\u2019";

bool IsBlank(char16_t c) {
    if (c < 0x80) return c == ' ' || (c >= '\t' && c <= '\r');
    return u_isUWhiteSpace(c) || c == u'\u00A0';
}

bool IsLabelChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'_';
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (u_tolower(s[i]) != prefix[i]) return false;
    return true;
}

}  // namespace

bool LinkFinder::IsDomain(std::u16string_view chunk) {
    chunk = chunk.substr(0, chunk.find_first_of(u"/?#"));
    const size_t colon = chunk.find(u':');  // a port
    if (colon != std::u16string_view::npos) chunk = chunk.substr(0, colon);
    const size_t lastDot = chunk.rfind(u'.');
    if (lastDot == std::u16string_view::npos || lastDot == 0) return false;
    const std::u16string_view top = chunk.substr(lastDot + 1);
    if (top.size() < kMinTopLevelLetters || top.size() > kMaxTopLevelLetters) return false;
    for (char16_t c : top)
        if (c < u'a' || c > u'z') return false;
    size_t labelLength = 0;
    for (char16_t c : chunk.substr(0, lastDot)) {
        if (c == u'.') {
            if (labelLength == 0) return false;
            labelLength = 0;
        } else if (IsLabelChar(c)) {
            ++labelLength;
        } else {
            return false;
        }
    }
    return labelLength > 0;
}

bool LinkFinder::IsLink(std::u16string_view chunk) {
    if (chunk.find_first_of(u".@:") == std::u16string_view::npos) return false;  // most words
    if (chunk.find(u"://") != std::u16string_view::npos) return true;
    if (StartsWithNoCase(chunk, u"www.") && chunk.size() > 4) return true;
    const size_t at = chunk.find(u'@');
    if (at != std::u16string_view::npos) {
        if (at == 0) return false;
        for (char16_t c : chunk.substr(0, at))
            if (!IsLabelChar(c) && c != u'.' && c != u'+') return false;
        return IsDomain(chunk.substr(at + 1));
    }
    return IsDomain(chunk);
}

std::vector<std::pair<size_t, size_t>> LinkFinder::Find(const std::u16string& text) {
    std::vector<std::pair<size_t, size_t>> links;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsBlank(text[i])) ++i;
        size_t end = i;
        while (end < text.size() && !IsBlank(text[end])) ++end;
        size_t b = i, e = end;
        while (b < e && kOpeners.find(text[b]) != std::u16string_view::npos) ++b;
        while (e > b && kClosers.find(text[e - 1]) != std::u16string_view::npos) --e;
        if (b < e && IsLink(std::u16string_view(text).substr(b, e - b))) links.emplace_back(b, e);
        i = end;
    }
    return links;
}
