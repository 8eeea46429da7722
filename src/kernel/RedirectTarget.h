#pragma once
// Where the "check" answer may send the browser ("Location: trg_url?result=..."): a relative URL,
// or an absolute http(s) URL whose origin is the request's own host or one of the origins the
// INI key "redirect_allow_origins" lists (separated by blanks or commas, such as
// "https://app.example.com https://intranet:8443"). Anything else would make the service an
// open redirect.
#include <string_view>

namespace RedirectTarget {

inline constexpr char kAllowedOriginsKey[] = "redirect_allow_origins";

// `requestHost` is the request's "Host:" header (host and optional port).
bool IsAllowed(std::string_view url, std::string_view requestHost, std::string_view allowedOrigins);

}  // namespace RedirectTarget
