#include "kernel/CorsHeaders.h"

#include <algorithm>
#include <cstdlib>

#include "utils/InternalDataKeys.h"

namespace {

constexpr std::string_view kBlanks = " \t\r\n";
constexpr char kVary[] = "Vary: Origin";
constexpr size_t kMaxOriginBytes = 512;

std::vector<std::string_view> Entries(std::string_view list) {
    std::vector<std::string_view> entries;
    size_t at = 0;
    while ((at = list.find_first_not_of(kBlanks, at)) != std::string_view::npos) {
        size_t end = std::min(list.find_first_of(kBlanks, at), list.size());
        entries.push_back(list.substr(at, end - at));
        at = end;
    }
    return entries;
}

// An origin is echoed only when it is a plain token that cannot end or split a header line.
bool IsPlainOrigin(std::string_view origin) {
    return !origin.empty() && origin.size() <= kMaxOriginBytes &&
           std::all_of(origin.begin(), origin.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte > 0x20 && byte < 0x7F;
           });
}

}  // namespace

std::vector<std::string> CorsHeaderLines(std::string_view allowList, std::string_view origin) {
    const std::vector<std::string_view> entries = Entries(allowList);
    if (entries.empty()) return {};
    std::vector<std::string> lines{kVary};
    if (!IsPlainOrigin(origin)) return lines;
    const auto listed = [&](std::string_view name) {
        return std::find(entries.begin(), entries.end(), name) != entries.end();
    };
    if (origin != "*" && listed(origin)) {
        lines.push_back("Access-Control-Allow-Origin: " + std::string(origin));
        lines.emplace_back("Access-Control-Allow-Credentials: true");
    } else if (listed("*")) {
        lines.emplace_back("Access-Control-Allow-Origin: *");
    }
    return lines;
}

void AddCorsHeaders(StringMap& map, InternalData& data) {
    const char* origin = std::getenv("HTTP_ORIGIN");
    std::vector<std::string> lines =
        CorsHeaderLines(map[kCorsAllowOriginsKey], origin == nullptr ? "" : origin);
    if (lines.empty()) return;
    if (!data.Find(idkey::HttpExtraHeaders))
        data.Insert(idkey::HttpExtraHeaders, std::vector<std::string>());
    auto& headers = data.Get<std::vector<std::string>>(idkey::HttpExtraHeaders);
    if (std::find(headers.begin(), headers.end(), kVary) != headers.end()) return;
    headers.insert(headers.end(), lines.begin(), lines.end());
}

void AddPreflightHeaders(StringMap& map, InternalData& data) {
    AddCorsHeaders(map, data);
    if (!data.Find(idkey::HttpExtraHeaders)) return;
    auto& headers = data.Get<std::vector<std::string>>(idkey::HttpExtraHeaders);
    const bool allowed = std::any_of(headers.begin(), headers.end(), [](const std::string& line) {
        return line.starts_with("Access-Control-Allow-Origin:");
    });
    if (!allowed) return;
    headers.emplace_back("Access-Control-Allow-Methods: GET, POST, OPTIONS");
    headers.emplace_back("Access-Control-Allow-Headers: Content-Type");
}
