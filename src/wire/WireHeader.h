#pragma once
// The HTTP-style header block that opens every request and every answer of the engine-server
// protocol: finding its end and reading a field from it. Pure functions, thread-safe.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wire {

constexpr std::string_view kHeaderTerminator = "\r\n\r\n";
// A header value is cut to this many bytes before it is interpreted.
constexpr size_t kMaxHeaderValueBytes = 127;

// Offset just past the first CR LF CR LF found at or after `searchFrom`, or npos. A reader
// that receives in pieces passes the size held before the last piece minus 3 (or 0), so a
// terminator split across pieces is still found.
size_t FindHeaderEnd(std::string_view buffer, size_t searchFrom = 0);

// The value of the last line of `block` whose name equals `name` without regard to case.
// Lines are cut at LF; in each, leading blanks are skipped, the name runs to the first blank
// or colon, the value starts after the following run of blanks and colons and ends before
// trailing CR, LF and blanks; it is cut to kMaxHeaderValueBytes. nullopt when no line matches.
std::optional<std::string> FindHeaderField(std::string_view block, std::string_view name);

// The "Content-length" of `block` as the client reads it: the decimal prefix of the field's
// value (an optional sign, then digits; saturated to int range), 0 when the field is absent
// or holds no number.
int ContentLengthOf(std::string_view block);

// Strict form for the server side: the value must be 1 to 18 decimal digits and nothing else.
// nullopt when the field is absent or malformed.
std::optional<long long> StrictContentLengthOf(std::string_view block);

}  // namespace wire
