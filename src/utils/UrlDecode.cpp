#include "utils/UrlDecode.h"

#include <algorithm>
#include <cstring>

#include "utils/ByteRuns.h"

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
    std::string out;
    out.reserve(text.size());
    UrlDecodeAppend(out, text);
    return out;
}

std::size_t UrlDecodeAppend(std::string& out, std::string_view text, int stopAfter) {
    constexpr size_t kEscapeDigits = 2;
    const int stop = stopAfter < 0 ? -1 : static_cast<unsigned char>(stopAfter);
    size_t i = 0;
    const auto special = [stop](std::uint64_t word) {
        std::uint64_t found = byteruns::AnyByteEqual(word, '+') | byteruns::AnyByteEqual(word, '%');
        if (stop >= 0) found |= byteruns::AnyByteEqual(word, static_cast<unsigned char>(stop));
        return found;
    };
    // Encoded text (a "%20" every word) has short plain runs: word tests pay only after a long
    // run, and a short run turns them off until the next long one.
    const auto plainRunEnd = [&](size_t from, bool tryWords) {
        size_t end = tryWords ? byteruns::SkipPlainWords(text, from, special) : from;
        while (end < text.size() && text[end] != '+' && text[end] != '%' &&
               static_cast<unsigned char>(text[end]) != stop)
            ++end;
        return end;
    };
    size_t runEnd = plainRunEnd(0, true);
    if (runEnd == text.size()) {  // nothing to decode (most values, a list of words)
        out.append(text);
        return text.size();
    }
    // Decoding never lengthens the text: the room for all of it is made once and written
    // through a pointer, then cut to what was written.
    const size_t base = out.size();
    out.resize(base + text.size());
    char* const begin = out.data() + base;
    char* at = begin;
    for (;;) {
        const bool wordsPay = runEnd - i >= byteruns::kWordBytes;
        std::memcpy(at, text.data() + i, runEnd - i);  // runs of plain bytes are copied whole
        at += runEnd - i;
        i = runEnd;
        if (i == text.size()) break;
        char decoded = text[i];
        if (decoded == '+') {
            decoded = ' ';
            ++i;
        } else if (decoded == '%') {
            const std::string_view digits = text.substr(i + 1, kEscapeDigits);
            const unsigned value = LeadingHex(digits);
            if (value != 0) {
                decoded = static_cast<char>(value);
                i += 1 + digits.size();
            } else {
                if (digits.empty()) {  // a "%" at the very end
                    ++i;
                    break;
                }
                decoded = digits.front();
                i += 2;
            }
        } else {
            ++i;
        }
        *at++ = decoded;
        if (static_cast<unsigned char>(decoded) == stop || i >= text.size()) break;
        runEnd = plainRunEnd(i, wordsPay);
    }
    out.resize(base + static_cast<size_t>(at - begin));
    return std::min(i, text.size());
}
