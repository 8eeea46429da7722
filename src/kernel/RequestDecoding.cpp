#include "kernel/RequestDecoding.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

#include "kernel/SettingsCookies.h"
#include "utils/GetCookieValue.h"
#include "utils/UTFChecker.h"
#include "utils/UrlDecode.h"

namespace RequestDecoding {

namespace {

constexpr std::string_view kCrLfLf = "%0D%0A%0A";
constexpr std::string_view kCrLf = "%0D%0A";
constexpr std::string_view kDeletedCookie = "[/]";

// glibc's memmem: string_view::find stops at every "%" of an encoded text to compare the rest.
bool Contains(std::string_view text, std::string_view what) {
    // Most pieces hold no escape at all: one memchr answers for them.
    const size_t first = text.find(what.front());
    if (first == std::string_view::npos) return false;
    text.remove_prefix(first);
    return text.size() >= what.size() &&
           ::memmem(text.data(), text.size(), what.data(), what.size()) != nullptr;
}

std::string ValueOf(const StringMap& map, const std::string& key) {
    const auto it = map.find(key);
    return it == map.end() ? std::string() : it->second;
}

bool IsInvalidUtf8(std::string_view text) {
    try {
        UTFChecker::Check(text);
    } catch (const UTFChecker::InvalidUTF8Exception&) {
        return true;
    } catch (const UTFChecker::UnsupportedUTF8Exception&) {
    }
    return false;
}

std::string AsUtf8(std::string value, const SingleByteCodePage& page) {
    return IsInvalidUtf8(value) ? page.ToUtf8(value) : value;
}

}  // namespace

std::string CollapseCrLfLf(std::string_view piece) {
    std::string out;
    out.reserve(piece.size());
    size_t pos = 0;
    for (size_t hit = piece.find(kCrLfLf); hit != std::string_view::npos;
         hit = piece.find(kCrLfLf, pos)) {
        out.append(piece.substr(pos, hit - pos));
        out.append(kCrLf);
        pos = hit + kCrLfLf.size();
    }
    out.append(piece.substr(pos));
    return out;
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

Parameter DecodeParameter(std::string_view piece) {
    // The rare piece that holds the collapsed sequence is decoded from a collapsed copy; any
    // other is decoded straight from the request text.
    std::string collapsed;
    if (Contains(piece, kCrLfLf)) {
        collapsed = CollapseCrLfLf(piece);
        piece = collapsed;
    }
    Parameter param;
    const size_t nameBytes = UrlDecodeAppend(param.name, piece, '=');
    if (param.name.empty() || param.name.back() != '=') {
        // No "=": the whole decoded piece is name and value.
        param.value = param.name;
    } else {
        param.name.pop_back();
        const std::string_view rest = piece.substr(nameBytes);
        param.value.reserve(rest.size());
        UrlDecodeAppend(param.value, rest);
    }
    param.name = AsciiLower(std::move(param.name));
    return param;
}

std::vector<Parameter> ParseParameters(std::string_view raw) {
    std::vector<Parameter> params;
    size_t start = 0;
    while (params.size() < kMaxParameters) {
        const size_t amp = raw.find('&', start);
        params.push_back(DecodeParameter(raw.substr(
            start, amp == std::string_view::npos ? std::string_view::npos : amp - start)));
        if (amp == std::string_view::npos) break;
        start = amp + 1;
    }
    return params;
}

namespace {

bool IsRelayUrl(std::string_view url) {
    if (url.empty()) return true;
    if (!(url.starts_with("http://") || url.starts_with("https://") || url.starts_with("/")) ||
        url.starts_with("//"))
        return false;
    return std::none_of(url.begin(), url.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F || c == '"' || c == '\'' || c == '<' || c == '>' ||
               c == '\\' || c == '`';
    });
}

}  // namespace

bool IsAcceptedParameter(const Parameter& param, const std::vector<Parameter>& all) {
    if (param.name != "ferrix_url") return true;
    std::string settings;
    for (const auto& other : all)
        if (other.name == "settings") settings = other.value;
    return settings == "ferrix" && IsRelayUrl(param.value);
}

bool IsInternalKey(std::string_view key) { return !key.empty() && key.front() == ':'; }

bool IsReservedParameterName(std::string_view lowerName) {
    const auto listed = [lowerName](const auto& keys) {
        return std::find(keys.begin(), keys.end(), lowerName) != keys.end();
    };
    return IsInternalKey(lowerName) || listed(kConfigurationOnlyKeys) ||
           listed(kProgramOutputKeys) || lowerName.starts_with(kInterfaceTextPrefix);
}

long long ParseContentLength(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

size_t BodyLimit(const std::optional<std::string>& configured, size_t fallback) {
    if (!configured || configured->empty()) return fallback;
    if (!std::all_of(configured->begin(), configured->end(),
                     [](char c) { return c >= '0' && c <= '9'; }))
        return fallback;
    const long long value = ParseContentLength(*configured);
    if (value <= 0) return fallback;
    if (static_cast<unsigned long long>(value) > std::numeric_limits<size_t>::max())
        return fallback;
    return static_cast<size_t>(value);
}

Utf8Scan ScanValues(const StringMap& map) {
    Utf8Scan scan;
    for (const auto& [key, value] : map) {
        if (IsInternalKey(key)) continue;
        try {
            UTFChecker::Check(value);
        } catch (const UTFChecker::InvalidUTF8Exception& e) {
            scan.invalid = true;
            scan.checkerFile = e.file();
            scan.checkerLine = e.line();
            break;
        } catch (const UTFChecker::UnsupportedUTF8Exception&) {
            // Other values may still be single-byte text that must be reinterpreted.
            scan.unsupported = true;
        }
    }
    return scan;
}

void ReinterpretValues(StringMap& map, const SingleByteCodePage& page) {
    for (auto& [key, value] : map)
        if (!IsInternalKey(key)) value = page.ToUtf8(value);
}

void ApplyCookies(StringMap& map, const std::string& header, const SingleByteCodePage& page) {
    map.emplace(":cookies:", header);
    map["ud"] = AsUtf8(UrlDecode(GetCookieValue(header, "ud", "")), page);
    const std::string cookieUdn = AsUtf8(GetCookieValue(header, "udn", ""), page);
    map["c_udn"] = cookieUdn;
    if ((ValueOf(map, "udn").empty() && cookieUdn != kDeletedCookie) ||
        ValueOf(map, "udn_override") == "0")
        map["udn"] = cookieUdn;
    const std::string cookieIds = AsUtf8(GetCookieValue(header, "cust_dic_ids", ""), page);
    map["c_cust_dic_ids"] = cookieIds;
    if (ValueOf(map, "cust_dic_ids").empty() && cookieIds != kDeletedCookie &&
        map.count("init") == 0)
        map["cust_dic_ids"] = cookieIds;
    map["osp"] = AsUtf8(GetCookieValue(header, "osp", "0001"), page);
    map[":lng_pdef:"] = AsUtf8(GetCookieValue(header, "LLng", ""), page);
    const std::string key = GetCookieValue(header, SettingsCookies::kDictionaryKeyCookie, "");
    map[SettingsCookies::kDictionaryKeyValue] =
        SettingsCookies::IsValidDictionaryKey(key) ? key : std::string();
}

}  // namespace RequestDecoding
