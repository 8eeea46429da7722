#pragma once
// Pure value rules shared by the setting handlers.
#include <set>
#include <string>
#include <string_view>

namespace settings {

// The boolean rule of every boolean INI key: true for exactly "1" or "true", false for anything
// else ("TRUE", "0", "yes", the empty value).
bool IsTrue(std::string_view value);

// The list rule of "html_wl" and "attr_wl": items separated by "|", blanks (0x20) trimmed from
// both ends of each, decoded from UTF-8 (an invalid sequence becomes U+FFFD) and collected into a
// set. Empty items are kept: "" gives { "" }, "b|" gives { "", "b" }.
std::set<std::u16string> ParseList(std::string_view value);

// UTF-8 to UTF-16 code units. Bytes that do not form a valid, shortest-form sequence of a
// scalar value each become U+FFFD; never fails.
std::u16string Utf8ToUtf16Lenient(std::string_view text);

}  // namespace settings
