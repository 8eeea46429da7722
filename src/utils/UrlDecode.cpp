#include "utils/UrlDecode.h"

#include <algorithm>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The number of the leading hex digits of `digits` (at most two characters).
unsigned LeadingHex(std::string_view digits) {
    unsigned value = 0;
    for (const char c : digits) {
        const int d = HexDigit(c);
        if (d < 0) break;
        value = value * 16 + static_cast<unsigned>(d);
    }
    return value;
}

}  // namespace

std::string UrlDecode(std::string_view text) {
    constexpr size_t kEscapeDigits = 2;
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t special = std::min(text.find_first_of("+%", i), text.size());
        out.append(text.data() + i, special - i);  // runs of plain bytes are copied whole
        i = special;
        if (i == text.size()) break;
        if (text[i] == '+') {
            out += ' ';
            ++i;
        } else {
            const std::string_view digits = text.substr(i + 1, kEscapeDigits);
            const unsigned value = LeadingHex(digits);
            if (value != 0) {
                out += static_cast<char>(value);
                i += 1 + digits.size();
            } else {
                if (!digits.empty()) out += digits.front();
                i += 2;
            }
        }
    }
    return out;
}
