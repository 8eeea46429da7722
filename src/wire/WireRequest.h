#pragma once
// Requests of the engine-server protocol: one remote function call per TCP connection.
//
// Wire form (what the client sends and the server reads):
//   "GET /x.100 HTTP/1.0\r\nAccept: text/html\r\nAccept: image/Verbar\r\n"
//   "Content-type: image/Verbar\r\nContent-length: <body bytes>\r\nOptions: version=3.0\r\n\r\n"
//   <body>
// The body is the escaped function name followed by CR LF, then each parameter, escaped
// (WireEscape.h), followed by CR LF. The parameter count is not sent: it is the number of
// lines after the first. A null parameter travels as an empty line.
// Pure functions, thread-safe.
#include <string>
#include <string_view>
#include <vector>

namespace wire {

constexpr std::string_view kRequestOptions = "version=3.0";

// A decoded request body.
struct WireCall {
    std::string function;
    std::vector<std::string> params;
};

enum class RequestParseError {
    kNone,
    kEmptyBody,      // no function line at all
    kBadEscape,      // a line holds a malformed escape (see WireEscape.h)
    kEmptyFunction,  // the function line is empty
};

struct RequestParseResult {
    RequestParseError error = RequestParseError::kNone;
    size_t badLine = 0;  // 0-based line index for kBadEscape (0 = the function name)
    WireCall call;
    bool ok() const { return error == RequestParseError::kNone; }
};

// The body for `function` with `params`, each line escaped and ended by CR LF.
std::string BuildRequestBody(std::string_view function, const std::vector<std::string>& params);

// The complete request message around `body` (header block above with its length).
std::string BuildRequestMessage(std::string_view body);

// Splits and unescapes a request body. Lines end at LF, with an optional CR before it; a last
// line without LF still counts. Never throws on hostile input beyond std::bad_alloc.
RequestParseResult ParseRequestBody(std::string_view body);

}  // namespace wire
