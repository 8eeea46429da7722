#include "text/Utf16Conversion.h"

#include <cstdint>

#include "utils/ByteRuns.h"
#include "utils/Utf8Sequence.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// ASCII runs are converted in blocks whose loops the compiler turns into vector instructions.
constexpr std::size_t kAsciiBlock = 16;

// True when the kAsciiBlock units from `units` are all below 0x80.
bool AsciiBlock(const char16_t* units) {
    char16_t any = 0;
    for (std::size_t k = 0; k < kAsciiBlock; ++k) any |= units[k];
    return any < 0x80;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Writes the UTF-8 form of `cp` at `out` (room for four bytes); returns the end.
char* PutUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// The length of Utf16ToUtf8's answer: the answer is then filled in place, without a buffer of
// three bytes per unit to clear (and fault in) first and to keep as its capacity after.
std::size_t Utf8LengthOf(std::u16string_view utf16) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (unit < 0x80) {
            ++bytes;
            while (utf16.size() - (i + 1) >= kAsciiBlock && AsciiBlock(utf16.data() + i + 1)) {
                bytes += kAsciiBlock;
                i += kAsciiBlock;
            }
        } else if (unit < 0x800) {
            bytes += 2;
        } else if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            bytes += 4;
            ++i;
        } else {
            bytes += 3;  // a lone surrogate is written as U+FFFD
        }
    }
    return bytes;
}

}  // namespace

// UTF-8 to UTF-16 writes into a buffer sized for the longest result (a UTF-8 byte gives at most
// one unit) and cuts it to size once; the other way the size is counted first (Utf8LengthOf).
std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out(utf8.size(), u'\0');
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            out[n++] = byte;
            ++i;
            // Runs of ASCII, eight bytes at a time.
            while (utf8.size() - i >= byteruns::kWordBytes &&
                   byteruns::AnyHighByte(byteruns::LoadWord(utf8.data() + i)) == 0) {
                for (std::size_t k = 0; k < byteruns::kWordBytes; ++k)
                    out[n++] = static_cast<unsigned char>(utf8[i + k]);
                i += byteruns::kWordBytes;
            }
            continue;
        }
        const auto sequence = Utf8Sequence::At(utf8, i);
        char32_t cp = sequence.codePoint;
        if (sequence.length == 0) {
            out[n++] = kReplacement;
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out[n++] = static_cast<char16_t>(0xD800 + (cp >> 10));
            out[n++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out[n++] = static_cast<char16_t>(cp);
        }
        i += sequence.length;
    }
    out.resize(n);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out(Utf8LengthOf(utf16), '\0');
    char* const begin = out.data();
    char* at = begin;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (unit < 0x80) {
            *at++ = static_cast<char>(unit);
            while (utf16.size() - (i + 1) >= kAsciiBlock && AsciiBlock(utf16.data() + i + 1)) {
                const char16_t* block = utf16.data() + i + 1;
                for (std::size_t k = 0; k < kAsciiBlock; ++k) at[k] = static_cast<char>(block[k]);
                at += kAsciiBlock;
                i += kAsciiBlock;
            }
        } else if (IsHighSurrogate(unit) && i + 1 < utf16.size() && IsLowSurrogate(utf16[i + 1])) {
            const char32_t cp =
                0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(utf16[i + 1]) - 0xDC00);
            at = PutUtf8(at, cp);
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            at = PutUtf8(at, kReplacement);
        } else {
            at = PutUtf8(at, unit);
        }
    }
    out.resize(static_cast<std::size_t>(at - begin));
    return out;
}
