#include "suggest/Letters.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

std::u32string Letters::FromUtf8(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        UChar32 c;
        U8_NEXT(utf8.data(), i, utf8.size(), c);
        if (c >= 0) out.push_back(static_cast<char32_t>(c));
    }
    return out;
}

std::string Letters::ToUtf8(std::u32string_view letters) {
    std::string out;
    out.reserve(letters.size());
    for (const char32_t c : letters) {
        char bytes[U8_MAX_LENGTH];
        size_t length = 0;
        UBool error = false;
        U8_APPEND(bytes, length, sizeof bytes, static_cast<UChar32>(c), error);
        if (!error) out.append(bytes, length);
    }
    return out;
}

std::u32string Letters::Lower(std::u32string_view letters) {
    std::u32string out(letters);
    for (char32_t& c : out) c = static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
    return out;
}

void Letters::LowerInto(std::string_view utf8, std::u32string& out) {
    out.clear();
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {  // ASCII without the property look-up
            out.push_back(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
            ++i;
            continue;
        }
        UChar32 c;
        U8_NEXT(utf8.data(), i, utf8.size(), c);
        if (c >= 0) out.push_back(static_cast<char32_t>(u_tolower(c)));
    }
}

bool Letters::HasCapital(std::u32string_view letters) {
    for (const char32_t c : letters)
        if (u_isupper(static_cast<UChar32>(c)) || u_istitle(static_cast<UChar32>(c))) return true;
    return false;
}

bool Letters::HasCapitalUtf8(std::string_view utf8) {
    bool ascii = true;
    for (const char c : utf8) {
        if (c >= 'A' && c <= 'Z') return true;
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    return !ascii && HasCapital(FromUtf8(utf8));
}

std::u32string Letters::CapitalFirst(std::u32string_view letters) {
    std::u32string out(letters);
    if (!out.empty()) out[0] = static_cast<char32_t>(u_toupper(static_cast<UChar32>(out[0])));
    return out;
}

std::u32string Letters::Upper(std::u32string_view letters) {
    std::u32string out(letters);
    for (char32_t& c : out) c = static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
    return out;
}
