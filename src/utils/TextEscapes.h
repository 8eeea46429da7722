#pragma once
// Escapes of byte strings for HTML text and attribute values.
#include <string>
#include <string_view>

// TAB, LF, CR, '"', '&', '<', '>' become character references; afterwards every LF run that
// follows a CR LF is dropped ("&#13;&#10;&#10;" collapses to "&#13;&#10;").
std::string HtmlEscape(std::string_view in);

// "(" and ")" (also URL-encoded as %28/%29) become "&#040;" and "&#041;"; "%2F" becomes "&#047;".
// Applied after HtmlEscape where both are used.
std::string ParenthesisEscape(std::string_view in);

// TAB, LF and CR become the two-character escapes "\t", "\n" and "\r" (log fields).
std::string EscapeControlChars(std::string_view in);
