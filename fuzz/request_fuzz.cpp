// Request decoding under hostile input. The input is split at the first two NUL bytes into
// query string, cookie header and POST body; each goes through the pure decoders and then
// through Request_FLT with an injected source (GET, POST and command line). The parameters
// decoded in one pass must equal those of the first way: collapse, decode the whole piece
// byte by byte, then split the copy at its first "=".
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "kernel/RequestDecoding.h"
#include "kernel/filters/Request_FLT.h"
#include "utils/GetCookieValue.h"
#include "utils/InternalDataKeys.h"
#include "utils/UTFChecker.h"
#include "utils/UrlDecode.h"
#include "utils/codepages/SingleByteCodePage.h"

namespace {

class FuzzSource final : public RequestSource {
  public:
    std::map<std::string, std::string> env;
    std::string body;
    std::optional<std::string> Env(const char* name) const override {
        const auto it = env.find(name);
        return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::string ReadBody(size_t maxBytes) override { return body.substr(0, maxBytes); }
};

std::string_view NextPart(std::string_view& rest) {
    const size_t nul = rest.find('\0');
    const std::string_view part = rest.substr(0, nul);
    rest = nul == std::string_view::npos ? std::string_view() : rest.substr(nul + 1);
    return part;
}

void RunFilter(StringMap map, std::map<std::string, std::string> env, const std::string& body) {
    auto source = std::make_unique<FuzzSource>();
    source->env = std::move(env);
    source->body = body;
    InternalData data;
    try {
        Request_FLT(std::move(source)).apply(map, data);
    } catch (const Request_FLT::Request_FLTException&) {
        return;
    }
    // Reserved names never come from the request.
    if (map[":ini_name:"] != "orthd.ini" || map.count("acl_file_name") != 0) std::abort();
    if (data.Find(idkey::InputCodePage) && data.Get<short>(idkey::InputCodePage) != 0x616D)
        std::abort();
}

std::string ReferenceUrlDecode(std::string_view text) {
    const auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '+') {
            out += ' ';
            ++i;
        } else if (text[i] != '%') {
            out += text[i++];
        } else {
            const std::string_view digits = text.substr(i + 1, 2);
            unsigned value = 0;
            for (char c : digits) {
                if (hex(c) < 0) break;
                value = value * 16 + static_cast<unsigned>(hex(c));
            }
            if (value != 0) {
                out += static_cast<char>(value);
                i += 1 + digits.size();
            } else {
                if (!digits.empty()) out += digits.front();
                i += 2;
            }
        }
    }
    return out;
}

void CheckParameters(std::string_view raw) {
    const auto params = RequestDecoding::ParseParameters(raw);
    size_t start = 0;
    for (const auto& param : params) {
        const size_t amp = std::min(raw.find('&', start), raw.size());
        const std::string decoded =
            ReferenceUrlDecode(RequestDecoding::CollapseCrLfLf(raw.substr(start, amp - start)));
        start = amp + 1;
        const size_t eq = decoded.find('=');
        const std::string name = eq == std::string::npos ? decoded : decoded.substr(0, eq);
        const std::string value = eq == std::string::npos ? decoded : decoded.substr(eq + 1);
        if (param.name != RequestDecoding::AsciiLower(name) || param.value != value) std::abort();
    }
}

void CheckDecoders(std::string_view query, std::string_view cookie) {
    const std::string decoded = UrlDecode(query);
    if (decoded.size() > query.size()) std::abort();
    (void)GetCookieValue(cookie, "ud", "x");
    (void)GetCookieValue(cookie, "", "x");
    CheckParameters(query);
    if (UrlDecode(query) != ReferenceUrlDecode(query)) std::abort();
    (void)RequestDecoding::ParseContentLength(query);
    try {
        UTFChecker::Check(decoded);
    } catch (const UTFChecker::UTFException&) {
    }
    const std::string converted = SingleByteCodePage::Windows1253().ToUtf8(decoded);
    try {
        UTFChecker::Check(converted);  // converted text is always UTF-8
    } catch (const UTFChecker::UTFException&) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string query(NextPart(rest));
    const std::string cookie(NextPart(rest));
    const std::string body(rest);
    CheckDecoders(query, cookie);

    const StringMap seeded{
        {":app_path:", "/srv/"}, {":ini_name:", "orthd.ini"}, {":cmd_line:", query}};
    RunFilter(seeded, {{"REQUEST_METHOD", "GET"}, {"QUERY_STRING", query}, {"HTTP_COOKIE", cookie}},
              body);
    RunFilter(seeded,
              {{"REQUEST_METHOD", "POST"},
               {"CONTENT_LENGTH", query.substr(0, 24)},
               {"HTTP_COOKIE", cookie},
               {"VERBARIUM_MAX_BODY_BYTES", "65536"}},
              body);
    RunFilter(seeded, {{"HTTP_COOKIE", cookie}}, body);
    return 0;
}
