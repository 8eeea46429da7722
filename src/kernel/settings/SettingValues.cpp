#include "kernel/settings/SettingValues.h"

namespace settings {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Length of the sequence a lead byte announces and the smallest scalar it may encode; 0 for a
// byte that cannot start one.
struct Lead {
    int length;
    char32_t minimum;
    char32_t bits;
};

Lead LeadOf(unsigned char byte) {
    if (byte < 0x80) return {1, 0, byte};
    if ((byte & 0xE0) == 0xC0) return {2, 0x80, byte & 0x1Fu};
    if ((byte & 0xF0) == 0xE0) return {3, 0x800, byte & 0x0Fu};
    if ((byte & 0xF8) == 0xF0) return {4, 0x10000, byte & 0x07u};
    return {0, 0, 0};
}

void AppendScalar(std::u16string& out, char32_t scalar) {
    if (scalar < 0x10000) {
        out.push_back(static_cast<char16_t>(scalar));
        return;
    }
    scalar -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (scalar >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (scalar & 0x3FF)));
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

bool IsTrue(std::string_view value) { return value == "1" || value == "true"; }

std::u16string Utf8ToUtf16Lenient(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const Lead lead = LeadOf(static_cast<unsigned char>(text[i]));
        if (lead.length == 0 || i + lead.length > text.size()) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t scalar = lead.bits;
        bool valid = true;
        for (int k = 1; k < lead.length && valid; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            valid = (byte & 0xC0) == 0x80;
            scalar = (scalar << 6) | (byte & 0x3Fu);
        }
        valid = valid && scalar >= lead.minimum && scalar <= 0x10FFFF &&
                !(scalar >= 0xD800 && scalar <= 0xDFFF);
        if (!valid) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        AppendScalar(out, scalar);
        i += lead.length;
    }
    return out;
}

std::set<std::u16string> ParseList(std::string_view value) {
    std::set<std::u16string> items;
    size_t start = 0;
    while (true) {
        const size_t bar = value.find('|', start);
        const size_t end = bar == std::string_view::npos ? value.size() : bar;
        items.insert(Utf8ToUtf16Lenient(TrimBlanks(value.substr(start, end - start))));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return items;
}

}  // namespace settings
