#pragma once
// Escapes of text for the places the answers put it: HTML text and attribute values, XML text,
// JSON and JavaScript string literals. Byte-string escapes work on UTF-8 (or any ASCII-compatible
// encoding) and leave bytes they do not name unchanged; the wide escapes work on UTF-16.
#include <string>
#include <string_view>

// TAB, LF, CR, '"', '&', '<', '>' become character references; afterwards every LF run that
// follows a CR LF is dropped ("&#13;&#10;&#10;" collapses to "&#13;&#10;").
std::string HtmlEscape(std::string_view in);
// The same, appended to `out`.
void AppendHtmlEscaped(std::string& out, std::string_view in);

// "(" and ")" (also URL-encoded as %28/%29) become "&#040;" and "&#041;"; "%2F" (upper-case F
// only) becomes "&#047;", the decimal reference of the character it encodes, like the other two.
// Applied after HtmlEscape where both are used.
std::string ParenthesisEscape(std::string_view in);

// The HTML escape over UTF-16 text, except that '&' is left unchanged (the text may already hold
// character references). The CR LF LF collapse applies as well.
std::u16string WideHtmlEscape(std::u16string_view in);

// For text placed inside a single-quoted JavaScript string: TAB, LF, CR become \t, \n, \r; the
// double quote becomes "' + String.fromCharCode(34) + '"; apostrophe and backslash get a
// backslash in front.
std::u16string JavaScriptStringEscape(std::u16string_view in);

// For XML character data and attribute values: '&', '<', '>', '"' and '\'' become the five
// predefined entities.
std::string XmlTextEscape(std::string_view in);
// XmlTextEscape appended to `out`: runs without any of the five bytes are copied whole, eight
// bytes tested at a time, so answers built of many short values cost one pass and no temporary.
void AppendXmlTextEscaped(std::string& out, std::string_view in);

// For text placed inside a double-quoted JSON (or JavaScript) string: '"' and '\\' get a
// backslash; TAB, LF, CR, BS, FF become \t \n \r \b \f; other bytes below 0x20 and DEL become
// \u00XX; U+2028 and U+2029 (line terminators to older script engines) become \u2028, \u2029.
std::string JsonStringEscape(std::string_view in);

// For text placed inside a quoted string of a script or JSON answer that a page may embed: the
// JSON escape, and besides '\'', '<', '>' and '&' become \u0027, \u003C, \u003E, \u0026, so the
// string can neither end a single-quoted literal nor a surrounding <script> element or attribute.
// The result is valid in JSON and in single- or double-quoted JavaScript strings.
std::string ScriptStringEscape(std::string_view in);

// TAB, LF and CR become the two-character escapes "\t", "\n" and "\r" (log fields).
std::string EscapeControlChars(std::string_view in);
