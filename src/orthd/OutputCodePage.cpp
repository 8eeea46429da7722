#include "orthd/OutputCodePage.h"

#include <algorithm>
#include <string_view>

#include "utils/Utf8Sequence.h"
#include "utils/codepages/LanguageCodePages.h"

namespace {

// The code point of the well-formed UTF-8 sequence at `in[i]` (advancing `i` past it), or the
// byte's own value for a byte that does not start one. Only a byte below 0x80 decodes to a code
// point below 0x80, so the conversion makes no markup character out of anything but itself and
// what was escaped before it stays escaped.
char32_t NextCodePoint(const std::string& in, size_t& i) {
    const auto sequence = Utf8Sequence::At(in, i);
    if (sequence.length == 0) return static_cast<unsigned char>(in[i++]);
    i += sequence.length;
    return sequence.codePoint;
}

}  // namespace

std::string Utf8ToInputCodePage(const std::string& utf8, short inputCodePage) {
    const SingleByteCodePage* page =
        LanguageCodePages::ForLanguage(static_cast<uint16_t>(inputCodePage));
    if (page == nullptr) return utf8;
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();)
        out += static_cast<char>(page->FromUnicode(NextCodePoint(utf8, i)));
    return out;
}

namespace {

constexpr std::string_view kUtf8Label = "utf-8";
constexpr std::string_view kCharsetAttribute = "charset";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Position of `needle` (lower case) in `text` at or after `from`, comparing without case.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
    if (needle.size() > text.size()) return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && LowerAscii(text[i + k]) == needle[k]) ++k;
        if (k == needle.size()) return i;
    }
    return std::string_view::npos;
}

// Replaces the first "utf-8" after `after` and before `end` in `text` by `charset`.
void ReplaceLabel(std::string& text, size_t after, size_t end, const std::string& charset) {
    const size_t at = FindNoCase(std::string_view(text).substr(0, end), kUtf8Label, after);
    if (at != std::string::npos) text.replace(at, kUtf8Label.size(), charset);
}

}  // namespace

std::string InputCodePageCharset(short inputCodePage) {
    const SingleByteCodePage* page =
        LanguageCodePages::ForLanguage(static_cast<uint16_t>(inputCodePage));
    return page == nullptr ? std::string() : "windows-" + std::to_string(page->number());
}

std::string RelabelContentType(const std::string& contentType, const std::string& charset) {
    std::string out = contentType;
    if (charset.empty()) return out;
    const size_t at = FindNoCase(out, kCharsetAttribute, 0);
    if (at != std::string::npos) ReplaceLabel(out, at, out.size(), charset);
    return out;
}

std::string RelabelDeclaredCharset(const std::string& body, const std::string& charset) {
    std::string out = body;
    if (charset.empty()) return out;
    if (out.starts_with("<?xml")) {
        const size_t end = out.find("?>");
        const size_t encoding = FindNoCase(out, "encoding", 0);
        if (end != std::string::npos && encoding < end) ReplaceLabel(out, encoding, end, charset);
    }
    for (size_t meta = FindNoCase(out, "<meta", 0); meta != std::string::npos;
         meta = FindNoCase(out, "<meta", meta + 1)) {
        const size_t end = out.find('>', meta);
        if (end == std::string::npos) break;
        const size_t attribute =
            FindNoCase(std::string_view(out).substr(0, end), kCharsetAttribute, meta);
        if (attribute != std::string::npos) ReplaceLabel(out, attribute, end, charset);
    }
    return out;
}
