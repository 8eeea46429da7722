#include "kernel/SettingsCookies.h"

#include <algorithm>
#include <cstdio>

#include "kernel/ResponseOutput.h"
#include "utils/UTFChecker.h"

namespace SettingsCookies {
namespace {

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool IsUnreserved(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

bool PassesUtf8Check(std::string_view value) {
    try {
        UTFChecker::Check(value);
        return true;
    } catch (const UTFChecker::UTFException&) {
        return false;
    }
}

}  // namespace

bool IsValidOsp(std::string_view value) {
    return value.size() <= kMaxOspBytes &&
           std::all_of(value.begin(), value.end(), [](char c) { return c == '0' || c == '1'; });
}

bool IsValidCustomDictionaryIds(std::string_view value) {
    return value.size() <= kMaxCustomDictionaryIdsBytes &&
           std::all_of(value.begin(), value.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == ','; });
}

bool IsValidDictionaryName(std::string_view value) {
    return !value.empty() && value.size() <= kMaxDictionaryNameBytes &&
           std::none_of(
               value.begin(), value.end(),
               [](char c) { return IsControl(static_cast<unsigned char>(c)) || c == ','; }) &&
           PassesUtf8Check(value);
}

bool IsValidCookieWordList(std::string_view value) {
    // Encoding never shrinks a value: a longer one cannot fit, and the rest is encoded once.
    return value.size() <= kMaxCookieWordListBytes &&
           CookieValue(value, true).size() <= kMaxCookieWordListBytes;
}

bool IsValidDictionaryKey(std::string_view value) {
    return value.size() == kDictionaryKeyBytes &&
           std::all_of(value.begin(), value.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string PercentEncode(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (IsUnreserved(c)) {
            out += c;
            continue;
        }
        char buf[4];
        std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
        out += buf;
    }
    return out;
}

}  // namespace SettingsCookies
