#pragma once
// Which of the service's Set-Cookie lines the relay passes on to the browser, and in what form.
//
// The relay answers under the customer's own domain: a cookie the service sets there is set for
// the customer's site. Only the service's settings cookies ("ud", "udn", "udk", "cust_dic_ids",
// "osp", "LLng") pass, with a value the service itself would write (empty deletes), made of cookie
// octets (RFC 6265, and the comma), and with only the attributes expires, Max-Age, Path, SameSite,
// Secure and HttpOnly (never Domain). Everything else is dropped.
#include <optional>
#include <string>
#include <string_view>

namespace ServiceCookie {

inline constexpr std::size_t kMaxAttributeBytes = 100;

// The line as it goes to the browser, or nothing when it does not pass.
std::optional<std::string> Relayable(std::string_view line);

}  // namespace ServiceCookie
