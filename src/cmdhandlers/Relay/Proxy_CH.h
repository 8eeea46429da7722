#pragma once
// The relay's "alternate" handler: forwards every command that has no handler of its own to the
// service host (orthd) and makes the service host's answer the relay's answer.
//
// Reads: the whole string map (forwarded as an HTTP/1.0 POST form, without the internal keys,
// the relay's own keys and the parameters listed in kNotForwarded); InternalData ServiceScheme,
// ServiceHost ("host" or "host:port"), ServicePath (defaults "http", kDefaultServiceHost port 80
// (443 for https), "/spellcheck"); INI values "service_connect_timeout_ms",
// "service_timeout_ms", "service_ca_file"; the environment's HTTP_USER_AGENT and HTTP_COOKIE (of
// which only the service's own cookies are forwarded).
// Writes: "settings" = "ferrix", the browser's method and Origin and the relay's origin
// (kernel/RelayedRequest.h),
// "ferrix_url" (REQUEST_PATH when empty), "service_host" (the
// service's URL), ":template:" (the answer's body), InternalData LoadTemplate = false and
// from the answer's header
// ResponseContentType, HttpExpires, HttpPragma, HttpCacheControl, HttpSetCookies (appended, only
// the service's own cookies in the form ServiceCookie::Relayable gives) and
// HttpStatus (any status but 200, 304, 302, 404, 405, 500).
// Throws: Error::CriticalErrorMessage when the service host cannot be reached or its answer
// cannot be read; CommandHandler::exception "Incorrect response header" for a malformed header
// block; CommandHandler::criticalException for 404, 405/302 and 500; EFileNotModified for 304.
#include <string>
#include <string_view>

#include "client/HttpRequest.h"
#include "kernel/CommandHandler.h"

namespace ferrix {

class Proxy_CH : public CommandHandler {
  public:
    static constexpr char kDefaultServiceHost[] = "127.0.0.1";
    static constexpr long kMaxTimeoutMs = 170000;  // stays below the request watchdog

    void apply(StringMap& map, InternalData& data) override;

    // "key=value" pairs joined by "&", in key order, both percent-encoded.
    static std::string FormBody(const StringMap& map);
    // Every byte but the unreserved ones (letters, digits, "-", ".", "_", "~") as "%" and two
    // upper-case hexadecimal digits.
    static std::string PercentEncode(std::string_view value);
    // The pairs of a Cookie header that the service reads (ud, udn, udk, cust_dic_ids, osp, LLng),
    // joined by "; ".
    static std::string ServiceCookies(std::string_view header);
    // Applies the answer's header block to InternalData and raises the error its status stands
    // for (see above).
    static void ApplyResponseHeader(std::string_view block, InternalData& data);
    // Client settings from the INI values and the environment.
    static HttpRequest::Options RequestOptions(StringMap& map);
};

}  // namespace ferrix
