#include "spell/LinkFinder.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace {

constexpr size_t kMinTopLevelLetters = 2;
constexpr size_t kMaxTopLevelLetters = 6;
constexpr std::u16string_view kOpeners = u"([{<\"'\u201C\u2018";
constexpr std::u16string_view kClosers = u")]}>\"'.,;:!?\u201D\u2019";

// The ASCII strings the heuristic looks for, in each code unit type.
template <typename Char>
struct Marks;
template <>
struct Marks<char> {
    static constexpr std::string_view kScheme = "://";
    static constexpr std::string_view kWww = "www.";
    static constexpr std::string_view kPathStart = "/?#";
};
template <>
struct Marks<char16_t> {
    static constexpr std::u16string_view kScheme = u"://";
    static constexpr std::u16string_view kWww = u"www.";
    static constexpr std::u16string_view kPathStart = u"/?#";
};

template <typename Char>
using View = std::basic_string_view<Char>;

bool IsBlank(UChar32 c) {
    if (c < 0x80) return c == ' ' || (c >= '\t' && c <= '\r');
    return u_isUWhiteSpace(c) || c == 0xA0;
}

bool IsOpener(UChar32 c) {
    return c <= 0xFFFF && kOpeners.find(char16_t(c)) != View<char16_t>::npos;
}
bool IsCloser(UChar32 c) {
    return c <= 0xFFFF && kClosers.find(char16_t(c)) != View<char16_t>::npos;
}

// Code points of valid text (UTF-16 may hold lone surrogates: they stand for themselves).
inline UChar32 CodePointAt(std::u16string_view s, size_t& i) {
    UChar32 c;
    U16_NEXT(s.data(), i, s.size(), c);
    return c;
}
UChar32 CodePointBefore(std::u16string_view s, size_t& i) {
    UChar32 c;
    U16_PREV(s.data(), 0, i, c);
    return c;
}
inline UChar32 CodePointAt(std::string_view s, size_t& i) {
    const auto byte = static_cast<unsigned char>(s[i]);
    if (byte < 0x80) {  // the common case, kept small enough to inline
        ++i;
        return byte;
    }
    UChar32 c;
    U8_NEXT_UNSAFE(s.data(), i, c);
    return c;
}
UChar32 CodePointBefore(std::string_view s, size_t& i) {
    UChar32 c;
    U8_PREV_UNSAFE(s.data(), i, c);
    return c;
}

bool IsLinkMark(UChar32 c) { return c == '.' || c == '@' || c == ':'; }

template <typename Char>
bool IsLabelChar(Char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

// No character beyond ASCII lower-cases to "w" or ".", so ASCII folding is enough.
template <typename Char>
bool StartsWithNoCase(View<Char> s, View<Char> lowerPrefix) {
    if (s.size() < lowerPrefix.size()) return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i) {
        const Char c = s[i] >= 'A' && s[i] <= 'Z' ? Char(s[i] - 'A' + 'a') : s[i];
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

template <typename Char>
bool IsDomain(View<Char> chunk) {
    chunk = chunk.substr(0, chunk.find_first_of(Marks<Char>::kPathStart));
    const size_t colon = chunk.find(Char(':'));  // a port
    if (colon != View<Char>::npos) chunk = chunk.substr(0, colon);
    const size_t lastDot = chunk.rfind(Char('.'));
    if (lastDot == View<Char>::npos || lastDot == 0) return false;
    const View<Char> top = chunk.substr(lastDot + 1);
    if (top.size() < kMinTopLevelLetters || top.size() > kMaxTopLevelLetters) return false;
    for (Char c : top)
        if (c < 'a' || c > 'z') return false;
    size_t labelLength = 0;
    for (Char c : chunk.substr(0, lastDot)) {
        if (c == '.') {
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

// Only ASCII characters decide, so the bytes of UTF-8 serve as well as UTF-16 code units.
template <typename Char>
bool IsLink(View<Char> chunk) {
    if (std::none_of(chunk.begin(), chunk.end(), [](Char c) { return IsLinkMark(c); }))
        return false;
    if (chunk.find(Marks<Char>::kScheme) != View<Char>::npos) return true;
    if (StartsWithNoCase(chunk, Marks<Char>::kWww) && chunk.size() > 4) return true;
    const size_t at = chunk.find(Char('@'));
    if (at != View<Char>::npos) {
        if (at == 0) return false;
        for (Char c : chunk.substr(0, at))
            if (!IsLabelChar(c) && c != '.' && c != '+') return false;
        return IsDomain(chunk.substr(at + 1));
    }
    return IsDomain(chunk);
}

template <typename Char>
std::vector<LinkFinder::Range> FindLinks(View<Char> text) {
    std::vector<LinkFinder::Range> links;
    size_t i = 0;
    while (i < text.size()) {
        size_t next = i;
        while (i < text.size() && IsBlank(CodePointAt(text, next))) i = next;
        // Most runs hold no link mark at all: they are passed over in the same scan.
        bool marked = false;
        size_t end = i;
        for (next = end; end < text.size(); end = next) {
            const UChar32 c = CodePointAt(text, next);
            if (IsBlank(c)) break;
            marked = marked || IsLinkMark(c);
        }
        size_t b = i, e = end;
        if (marked) {
            for (next = b; b < e && IsOpener(CodePointAt(text, next));) b = next;
            for (next = e; e > b && IsCloser(CodePointBefore(text, next));) e = next;
            if (b < e && IsLink(text.substr(b, e - b))) links.emplace_back(b, e);
        }
        i = end;
    }
    return links;
}

}  // namespace

std::vector<LinkFinder::Range> LinkFinder::Find(const std::u16string& text) {
    return FindLinks(std::u16string_view(text));
}

std::vector<LinkFinder::Range> LinkFinder::FindInValidUtf8(std::string_view text) {
    return FindLinks(text);
}
