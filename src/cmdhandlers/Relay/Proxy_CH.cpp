#include "cmdhandlers/Relay/Proxy_CH.h"

#include <cstdlib>

#include "client/ParseResponseHeader.h"
#include "cmdhandlers/Relay/EFileNotModified.h"
#include "cmdhandlers/Relay/ServiceCookie.h"
#include "kernel/CommandRegistry.h"
#include "kernel/ContentType.h"
#include "kernel/RelayedRequest.h"
#include "utils/InternalDataKeys.h"
#include "utils/logging/Logger.h"

namespace ferrix {

VERB_REGISTER_COMMAND(Program::Ferrix, "alternate", Proxy_CH);

namespace {

// Relay settings and values that only the relay may see; matched whole, between bars.
constexpr char kNotForwarded[] =
    "|cursrvr|def_enabled|def_lang|def_orthd_host|def_orthd_path|def_orthd_port|def_timeout|"
    "exptime|main_server|msg_srv_isnot_available|msg_text_has_error|opt_bg_cl|pathtospfolder|"
    "spch_js_path|orthd_path|orthd_port|ud|udn|REQUEST_PATH|HTTP_HOST|HTTP_OR_HTTPS|"
    "service_connect_timeout_ms|service_timeout_ms|service_ca_file|";
constexpr const char* kServiceCookies[] = {"ud", "udn", "udk", "cust_dic_ids", "osp", "LLng"};
constexpr char kOrthdScript[] = "/script/orthd.cgi";

bool Forwarded(const std::string& key) {
    if (key.empty() || key.front() == ':') return false;
    return std::string_view(kNotForwarded).find("|" + key + "|") == std::string_view::npos;
}

std::string Environment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : fallback;
}

// A positive number of milliseconds up to kMaxTimeoutMs, else `fallback`.
long TimeoutMs(const std::string& text, long fallback) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return fallback;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value > 0 && value <= Proxy_CH::kMaxTimeoutMs ? value : fallback;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// "host:port" or "[v6]:port" -> host and port; without a port, `defaultPort`.
std::pair<std::string, std::string> SplitHostPort(const std::string& value,
                                                  const std::string& defaultPort) {
    const size_t searchFrom = value.rfind(']') == std::string::npos ? 0 : value.rfind(']');
    const size_t colon = value.find(':', searchFrom);
    if (colon == std::string::npos) return {value, defaultPort};
    return {value.substr(0, colon), value.substr(colon + 1)};
}

const char* FailureMessage(HttpRequest::Failure failure) {
    switch (failure) {
        case HttpRequest::Failure::NoConnection:
            return "Cannot create internet connection socket";
        case HttpRequest::Failure::UnknownHost:
            return "Service host name is unknown";
        case HttpRequest::Failure::Unavailable:
            return "Service host is currently unavailable";
        case HttpRequest::Failure::SendFailed:
            return "Data transmission error";
        default:
            return "Data receiving error";
    }
}

}  // namespace

std::string Proxy_CH::PercentEncode(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (unsigned char c : value) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string Proxy_CH::FormBody(const StringMap& map) {
    std::string body;
    for (const auto& [key, value] : map) {
        if (!Forwarded(key)) continue;
        if (!body.empty()) body += '&';
        body += PercentEncode(key) + "=" + PercentEncode(value);
    }
    return body;
}

std::string Proxy_CH::ServiceCookies(std::string_view header) {
    std::string out;
    while (!header.empty()) {
        const size_t end = header.find(';');
        const std::string_view pair = Trim(header.substr(0, end));
        header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
        const std::string_view name = Trim(pair.substr(0, pair.find('=')));
        for (const char* own : kServiceCookies) {
            if (name != own || pair.find('=') == std::string_view::npos) continue;
            if (!out.empty()) out += "; ";
            out += pair;
        }
    }
    return out;
}

HttpRequest::Options Proxy_CH::RequestOptions(StringMap& map) {
    HttpRequest::Options options;
    options.userAgent = Environment("HTTP_USER_AGENT", "Unknown");
    options.cookie = ServiceCookies(Environment("HTTP_COOKIE", ""));
    options.caFile = map["service_ca_file"];
    options.connectTimeoutMs =
        TimeoutMs(map["service_connect_timeout_ms"], HttpRequest::kDefaultConnectTimeoutMs);
    options.timeoutMs = TimeoutMs(map["service_timeout_ms"], HttpRequest::kDefaultTimeoutMs);
    return options;
}

void Proxy_CH::ApplyResponseHeader(std::string_view block, InternalData& data) {
    const ResponseHeader header = ParseResponseHeader(block);
    if (header.expires) data.Set(idkey::HttpExpires, *header.expires);
    if (header.contentType) data.Set(idkey::ResponseContentType, ContentType{*header.contentType});
    if (header.pragma) data.Set(idkey::HttpPragma, *header.pragma);
    if (header.cacheControl) data.Set(idkey::HttpCacheControl, *header.cacheControl);
    for (const auto& line : header.setCookies) {
        const auto cookie = ServiceCookie::Relayable(line);
        if (!cookie) {
            report_error("*WARNING* a Set-Cookie line of the service was not relayed");
            continue;
        }
        data.Insert(idkey::HttpSetCookies, std::vector<std::string>{});
        data.Get<std::vector<std::string>>(idkey::HttpSetCookies).push_back(*cookie);
    }
    if (!header.wellFormed) VERB_THROW(CommandHandler::exception, "Incorrect response header");

    const std::string& status = header.status;
    if (status == "200") return;
    if (status == "304") VERB_THROW(EFileNotModified, "File from response was not modified");
    if (status == "404")
        VERB_THROW(CommandHandler::criticalException,
                   "Verbarium service is not found on the service host");
    if (status == "405" || status == "302")
        VERB_THROW(CommandHandler::criticalException,
                   "Specified path is absent on the service host");
    if (status == "500") VERB_THROW(CommandHandler::criticalException, "Server internal error");
    data.Set(idkey::HttpStatus, status);
}

void Proxy_CH::apply(StringMap& map, InternalData& data) {
    map["settings"] = "ferrix";
    // The relay always posts: the service learns how the browser asked, and from which page,
    // to tell a change the user made from one a link on another site made (ChangeGuard).
    map[RelayedRequest::kMethod] = Environment("REQUEST_METHOD", "");
    map[RelayedRequest::kOrigin] = Environment("HTTP_ORIGIN", "");
    map[RelayedRequest::kRelayOrigin] = map["HTTP_OR_HTTPS"] + "://" + map["HTTP_HOST"];
    if (map["ferrix_url"].empty()) map["ferrix_url"] = map["REQUEST_PATH"];

    const std::string scheme = data.GetOr<std::string>(idkey::ServiceScheme, "http");
    const std::string hostValue = data.GetOr<std::string>(idkey::ServiceHost, kDefaultServiceHost);
    std::string path = data.GetOr<std::string>(idkey::ServicePath, "/spellcheck");
    const auto [host, port] = SplitHostPort(hostValue.empty() ? kDefaultServiceHost : hostValue,
                                            scheme == "https" ? "443" : "80");

    map["service_host"] = HttpRequest(scheme, host, port, path, false).url();
    path += kOrthdScript;

    const auto debug = map.find("debug");
    const HttpRequest request(scheme, host, port, path,
                              debug != map.end() && !debug->second.empty());
    HttpRequest::Response response;
    const auto result = request.Post(FormBody(map), RequestOptions(map), response);
    if (result.failure != HttpRequest::Failure::None) {
        report_error("*WARNING* service host %s: %s", request.url().c_str(), result.detail.c_str());
        VERB_THROW(Error::CriticalErrorMessage, FailureMessage(result.failure));
    }
    ApplyResponseHeader(response.header, data);
    map[":template:"] = std::move(response.body);
    data.Set(idkey::LoadTemplate, false);
}

}  // namespace ferrix
