#pragma once
// The decisions of Request_FLT as pure functions over text and the string map, so that each
// can be tested without an environment or standard input.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "utils/StringMap.h"
#include "utils/codepages/SingleByteCodePage.h"

namespace RequestDecoding {

// Keys that only configuration (the INI file, its include file and the access-list file) may
// set. A request parameter of such a name would let the caller choose files the server reads or
// hosts it connects to, so it is dropped.
inline constexpr std::array<std::string_view, 28> kConfigurationOnlyKeys{
    "acl_file_name",
    "include_file",
    "appserver_hostname",
    "appserver_port",
    "grammar_host",
    "thes_host",
    "base_dir",
    "lf_mapping",
    "schema_def",
    "service_host",
    "cache_path",
    "cache_dir_name",
    "def_int_lang",
    "forced_int_lang",
    "spp_langs",
    "orthdname",
    "langs_list",
    "langs_ver",
    "rtl",
    "server_id",
    "redirect_allow_origins",
    "cors_allow_origins",
    "appserver_wait_ms",
    "appserver_connect_ms",
    // The relay's trust in the service and its waits: a visitor must not pick them.
    "service_ca_file",
    "service_connect_timeout_ms",
    "service_timeout_ms",
    "no_cache",
};

// Keys that the program writes and templates insert as markup or script without escaping
// (command results, error fields, release data, the pre-processed language list). A request
// parameter of such a name would put the caller's markup into the page, so it is dropped; so
// are parameters named like interface texts ("tx_" prefix).
inline constexpr std::array<std::string_view, 23> kProgramOutputKeys{
    "view",
    "loaddlg",
    "langs",
    "right_to_left",
    "left_per",
    "right_per",
    "spellsuggestall",
    "suggestlist",
    "synlist",
    "check_spelling_xml",
    "check_spelling_json",
    "api_version",
    "url_version",
    "product_copyright",
    "product_website",
    "product_url",
    "e_message",
    "e_message_title",
    "e_command",
    "e_is_critical",
    "e_ref_url",
    "e_ref_text",
    "status",
};
inline constexpr std::string_view kInterfaceTextPrefix = "tx_";

struct Parameter {
    std::string name;  // lower-cased
    std::string value;
};

// Splits the raw parameter text at every "&" (an empty text gives one empty piece), shortens
// each "%0D%0A%0A" to "%0D%0A", URL-decodes the piece and splits it at its first "=". A piece
// without "=" gives the whole decoded piece as name and value. Order is kept; duplicates stay.
// Pieces after the first kMaxParameters are ignored: no client sends that many, and a body of
// separators would otherwise cost a parameter per byte.
inline constexpr size_t kMaxParameters = 10000;
std::vector<Parameter> ParseParameters(std::string_view raw);
// One piece as ParseParameters decodes it: each byte of the piece is decoded once, straight
// into the name or the value.
Parameter DecodeParameter(std::string_view piece);

std::string CollapseCrLfLf(std::string_view piece);
std::string AsciiLower(std::string text);

// The keys ApplyCookies sets.
inline constexpr std::array<std::string_view, 9> kCookieKeys{
    ":cookies:",    "ud",  "c_udn",      "udn",  "c_cust_dic_ids",
    "cust_dic_ids", "osp", ":lng_pdef:", ":udk:"};

// "ferrix_url" names the relay that forwarded the request and lands in answers as a URL; only the
// relay's own request (one with "settings" = "ferrix") may carry it, and only as an http(s) URL
// or an absolute path without quotes, blanks, angle brackets or control bytes. Every other
// parameter is accepted here (the reserved names are checked apart).
bool IsAcceptedParameter(const Parameter& param, const std::vector<Parameter>& all);

// Internal keys (framed by colons, seeded by the driver), the configuration-only keys and the
// program's output keys.
bool IsReservedParameterName(std::string_view lowerName);
// Keys that hold the driver's own data (paths, names) rather than request text.
bool IsInternalKey(std::string_view key);

// CONTENT_LENGTH read as a decimal integer the way atoi reads it (leading blanks, optional sign,
// leading digits; anything else gives 0), saturating instead of overflowing.
long long ParseContentLength(std::string_view text);

// The body limit: `configured` when it is a positive decimal number, otherwise `fallback`.
size_t BodyLimit(const std::optional<std::string>& configured, size_t fallback);

// The first request value (internal keys excluded, key order) that fails the UTF-8 check.
struct Utf8Scan {
    bool invalid = false;      // a value is not UTF-8: the request must be reinterpreted
    bool unsupported = false;  // a value holds a four-, five- or six-byte form
    std::string checkerFile;   // where the checker raised the invalid verdict
    int checkerLine = 0;
};
Utf8Scan ScanValues(const StringMap& map);

// Converts every value but the internal keys from `page` to UTF-8.
void ReinterpretValues(StringMap& map, const SingleByteCodePage& page);

// Sets the cookie-derived keys from a "Cookie:" header: ":cookies:", "ud", "c_udn", "udn",
// "c_cust_dic_ids", "cust_dic_ids", "osp", ":lng_pdef:", ":udk:" (the "udk" cookie when it is a
// well-formed key, else empty). A cookie-derived value that is not
// UTF-8 is converted from `page`.
void ApplyCookies(StringMap& map, const std::string& header, const SingleByteCodePage& page);

}  // namespace RequestDecoding
