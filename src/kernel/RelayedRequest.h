#pragma once
// What the relay tells the service about the browser's request, which the service cannot see
// itself: the relay always posts to it, without the browser's Origin. The relay writes these
// parameters in place of whatever the request held under their names; the service reads them
// only for a request that says it came through the relay ("settings" = "ferrix"), and only to
// refuse more, never to allow more than the request it sees itself.
namespace RelayedRequest {

inline constexpr char kMethod[] = "ferrix_method";     // the browser's REQUEST_METHOD
inline constexpr char kOrigin[] = "ferrix_origin";     // the browser's Origin (HTTP_ORIGIN)
inline constexpr char kRelayOrigin[] = "ferrix_self";  // the relay's "HTTP_OR_HTTPS://HTTP_HOST"

}  // namespace RelayedRequest
