#include "cmdhandlers/Relay/ServiceCookie.h"

#include <algorithm>
#include <array>

#include "kernel/SettingsCookies.h"
#include "utils/UrlDecode.h"

namespace ServiceCookie {
namespace {

constexpr std::array<std::string_view, 6> kKeptAttributes{"expires",  "max-age", "path",
                                                          "samesite", "secure",  "httponly"};
constexpr std::size_t kMaxLanguageBytes = 16;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsCookieOctet(char c) {
    const auto byte = static_cast<unsigned char>(c);
    // The comma of "cust_dic_ids" is outside RFC 6265's octets, but every browser takes it.
    return byte > 0x20 && byte < 0x7F && c != '"' && c != ';' && c != '\\';
}

bool IsLanguageCode(std::string_view value) {
    return value.size() <= kMaxLanguageBytes && std::all_of(value.begin(), value.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '-';
           });
}

// The service's own rule for the value of each of its cookies.
bool IsServiceValue(std::string_view name, std::string_view value) {
    if (!std::all_of(value.begin(), value.end(), IsCookieOctet)) return false;
    if (value.empty()) return true;
    if (name == "udn") return SettingsCookies::IsValidDictionaryName(UrlDecode(value));
    if (name == SettingsCookies::kDictionaryKeyCookie)
        return SettingsCookies::IsValidDictionaryKey(value);
    if (name == "ud") return SettingsCookies::IsValidCookieWordList(value);
    if (name == "cust_dic_ids") return SettingsCookies::IsValidCustomDictionaryIds(value);
    if (name == "osp") return SettingsCookies::IsValidOsp(value);
    if (name == "LLng") return IsLanguageCode(value);
    return false;
}

bool IsKeptAttribute(std::string_view attribute) {
    if (attribute.size() > kMaxAttributeBytes) return false;
    if (!std::all_of(attribute.begin(), attribute.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte >= 0x20 && byte < 0x7F;
        }))
        return false;
    const std::string name = Lower(Trim(attribute.substr(0, attribute.find('='))));
    return std::find(kKeptAttributes.begin(), kKeptAttributes.end(), name) != kKeptAttributes.end();
}

}  // namespace

std::optional<std::string> Relayable(std::string_view line) {
    const size_t end = line.find(';');
    const std::string_view pair = Trim(line.substr(0, end));
    const size_t equals = pair.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = pair.substr(0, equals);
    const std::string_view value = pair.substr(equals + 1);
    if (!IsServiceValue(name, value)) return std::nullopt;
    std::string out(pair);
    for (std::string_view rest = end == std::string_view::npos ? "" : line.substr(end + 1);
         !rest.empty();) {
        const size_t next = rest.find(';');
        const std::string_view attribute = Trim(rest.substr(0, next));
        rest = next == std::string_view::npos ? "" : rest.substr(next + 1);
        if (!attribute.empty() && IsKeptAttribute(attribute)) out += "; " + std::string(attribute);
    }
    return out;
}

}  // namespace ServiceCookie
