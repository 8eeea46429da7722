#pragma once
// What the service may write back into its settings cookies ("udn", "ud", "cust_dic_ids",
// "osp", and "udk", the owner key of the dictionary "udn" names). A cross-site form can post any
// value; written back as it came, a few kilobytes per cookie until 2038 would make the browser's
// every later request too large for the web server. A value that breaks its rule is therefore not
// written at all (the browser keeps what it had).
#include <cstddef>
#include <string>
#include <string_view>

namespace SettingsCookies {

inline constexpr std::size_t kMaxOspBytes = 8;
inline constexpr std::size_t kMaxCustomDictionaryIdsBytes = 256;
inline constexpr std::size_t kMaxDictionaryNameBytes = 100;
// The cookie word list as written into its Set-Cookie line (encoded), within a browser's
// 4096 bytes per cookie; "kwirl_add_word", "sp_add" and "dictionary" add no word beyond it.
inline constexpr std::size_t kMaxCookieWordListBytes = 4000;

// Added to every cookie the service writes: a cross-site request does not carry them.
inline constexpr char kSameSite[] = "SameSite=Lax";

// The cookie of the owner key of the dictionary "udn" names; the request side keeps the
// cookie's key under kDictionaryKeyValue (an internal key: no parameter can set it, the relay
// does not forward it as one), apart from a key sent as the parameter "udk".
inline constexpr char kDictionaryKeyCookie[] = "udk";
inline constexpr char kDictionaryKeyValue[] = ":udk:";
inline constexpr std::size_t kDictionaryKeyBytes = 64;

// Only "0" and "1", at most kMaxOspBytes (empty is allowed: no options).
bool IsValidOsp(std::string_view value);
// Only digits and commas, at most kMaxCustomDictionaryIdsBytes.
bool IsValidCustomDictionaryIds(std::string_view value);
// The engine's rule for a user dictionary name: 1 to kMaxDictionaryNameBytes bytes of UTF-8
// without control bytes or commas.
bool IsValidDictionaryName(std::string_view value);
// At most kMaxCookieWordListBytes once encoded for the cookie (kernel/ResponseOutput.h
// CookieValue: every byte above 0x7F takes three).
bool IsValidCookieWordList(std::string_view value);
// A dictionary owner key as the engine makes them: kDictionaryKeyBytes lower-case hex digits.
bool IsValidDictionaryKey(std::string_view value);

// Every byte but ASCII letters, digits and "-._~" as "%" and two upper-case hex digits: the
// request side URL-decodes a cookie once and gets the value back.
std::string PercentEncode(std::string_view value);

}  // namespace SettingsCookies
