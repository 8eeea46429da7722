#pragma once
// Line escaping of the engine-server wire format, used in both directions.
//
// Every request line (function name, parameter) and every answer result line travels as one
// 7-bit line: each byte below 0x20, each byte 0x80 and above, and the backslash are written as
// a backslash followed by t (TAB), n (LF), r (CR), a second backslash, or x and two upper-case
// hexadecimal digits for any other such byte. All other bytes pass unchanged.
//
// Unescaping accepts what the answer decoder of the client accepts: \0 (NUL), \\, \n, \r, \t
// and \x with two hexadecimal digits of either case. Anything else after a backslash, a
// backslash at the end of the line, or \x without two hexadecimal digits is an error.
// The same unescaping serves the server for request lines. Pure functions, thread-safe.
#include <string>
#include <string_view>

namespace wire {

// The escaped form of `raw`; the result never holds CR, LF or bytes outside 0x20..0x7E.
std::string EscapeLine(std::string_view raw);

// Appends the escaped form of `raw` to `out` (no allocation beyond growing `out`).
void AppendEscapedLine(std::string& out, std::string_view raw);

// Unescapes one line (without its CR LF) into `out` (replaced). Returns false on a malformed
// escape; `out` is then unspecified.
bool UnescapeLine(std::string_view line, std::string& out);

}  // namespace wire
