#include "orthd/OutputCodePage.h"

#include "utils/codepages/LanguageCodePages.h"

namespace {

constexpr char32_t kNoCodePoint = 0xFFFFFFFF;

// The code point of the well-formed UTF-8 sequence at `in[i]` (advancing `i` past it), or the
// byte's own value for a byte that does not start one.
char32_t NextCodePoint(const std::string& in, size_t& i) {
    const auto lead = static_cast<unsigned char>(in[i]);
    size_t length = lead < 0x80                   ? 1
                    : lead >= 0xC0 && lead < 0xE0 ? 2
                    : lead >= 0xE0 && lead < 0xF0 ? 3
                    : lead >= 0xF0 && lead < 0xF8 ? 4
                                                  : 0;
    char32_t cp = length == 1   ? lead
                  : length == 2 ? (lead & 0x1F)
                  : length == 3 ? (lead & 0x0F)
                                : (lead & 0x07);
    if (length == 0 || i + length > in.size()) cp = kNoCodePoint;
    for (size_t k = 1; cp != kNoCodePoint && k < length; ++k) {
        const auto next = static_cast<unsigned char>(in[i + k]);
        cp = (next & 0xC0) == 0x80 ? (cp << 6) | (next & 0x3F) : kNoCodePoint;
    }
    if (cp == kNoCodePoint) {
        ++i;
        return lead;
    }
    i += length;
    return cp;
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
