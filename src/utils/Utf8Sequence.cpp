#include "utils/Utf8Sequence.h"

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
bool IsSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

}  // namespace

Utf8Sequence Utf8Sequence::At(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return {1, lead};
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t shortest = 0;  // the least code point that needs this many bytes
    if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, shortest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, shortest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, shortest = 0x10000;
    } else {
        return {};
    }
    if (text.size() - at < length) return {};
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[at + k]);
        if (!IsContinuation(byte)) return {};
        cp = (cp << 6) | (byte & 0x3F);
    }
    if (cp < shortest || cp > kMaxCodePoint || IsSurrogate(cp)) return {};
    return {length, cp};
}
