#include "text/CCodeCharFilter.h"

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// The value of a hexadecimal reference, "&#x" hex digits ";" and nothing else; 0 otherwise.
char32_t HexReferenceValue(std::u16string_view run) {
    const std::u16string_view digits = run.substr(3, run.size() - 4);
    if (digits.empty() || run.back() != u';') return 0;
    char32_t value = 0;
    for (char16_t c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return 0;
        value = value * 16 + static_cast<char32_t>(digit);
        if (value > kMaxCodePoint) return 0;
    }
    return value;
}

// The value of the leading digits of the run's name (hexadecimal after "&#x"); 0 when there are
// none or the value is too large to be a character.
char32_t ReferenceValue(std::u16string_view run) {
    if (run.size() > 3 && (run[2] == u'x' || run[2] == u'X')) return HexReferenceValue(run);
    char32_t value = 0;
    for (char16_t c : run.substr(2)) {
        if (c == u' ') break;
        if (!CFilter::IsNameChar(c)) continue;
        if (c < u'0' || c > u'9') break;
        value = value * 10 + (c - u'0');
        if (value > kMaxCodePoint) return 0;
    }
    return value;
}

}  // namespace

CCodeCharFilter::CCodeCharFilter()
    : CFilter(ElementKind::kNumericRef, u'&', u';', false, u"ccdf", u"html") {}

bool CCodeCharFilter::Consume(const std::u16string& text, std::size_t& position,
                              TextElement& element) {
    const std::u16string_view run = CollectRun(text, position);
    if (run.size() < 2 || run[1] != u'#') return false;
    char32_t value = ReferenceValue(run);
    if (value == 0) return false;
    element.kind = ElementKind::kNumericRef;
    element.source += run;
    if (value >= 0x10000) {
        value -= 0x10000;
        element.check += static_cast<char16_t>(0xD800 + (value >> 10));
        element.check += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    } else {
        element.check += static_cast<char16_t>(value);
    }
    element.checkLength = static_cast<int>(element.check.size());
    position += run.size() - 1;
    return true;
}
