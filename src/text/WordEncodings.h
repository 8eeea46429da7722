#pragma once
// Encodings of words and markup texts (UTF-16 in, UTF-16 out) for the places the renderers and
// decorators write them into. The Append forms append the same text to `out`.
#include <string>
#include <string_view>

// For a single-quoted script string inside the service's own scripts: TAB, LF and CR become
// backslash-t/n/r, the double quote becomes "' + String.fromCharCode(34) + '" (so the result
// can also sit in a double-quoted attribute), the single quote and the backslash gain a
// leading backslash; everything else is kept.
std::u16string ScriptEscape(std::u16string_view word);

// A code unit from 65 to 127 is kept; any other becomes "-" and its decimal value
// ("don't" -> "don-39t", U+00E9 -> "-233").
std::u16string IdentifierForm(std::u16string_view word);

// A tag shown as text in the filtered view: TAB, LF, CR, '"', '<', '>' become references,
// then every "&#13;&#10;&#10;" collapses to "&#13;&#10;".
std::u16string EscapedTagText(std::u16string_view tag);

// Text that must not become markup in an HTML page: '&', '<', '>' become references.
std::u16string HtmlTextEscape(std::u16string_view text);
void AppendHtmlTextEscape(std::u16string& out, std::u16string_view text);

// As HtmlTextEscape, except that an '&' beginning a well-formed character reference ("&#38;",
// "&#x2019;", "&apos;": '&', '#' and digits, '#x' and hex digits, or a letter and letters or
// digits, then ';') is kept: in HTML input the writer meant the character.
std::u16string HtmlTextEscapeKeepingReferences(std::u16string_view text);
void AppendHtmlTextEscapeKeepingReferences(std::u16string& out, std::u16string_view text);

// Only '<' and '>' become references: for runs whose leading '&' must keep its meaning.
std::u16string HtmlAngleEscape(std::u16string_view text);
void AppendHtmlAngleEscape(std::u16string& out, std::u16string_view text);

// An XML attribute value in double or single quotes: '&', '<', '>', '"', '\'' become
// references, TAB/LF/CR numeric references; other characters XML cannot hold become U+FFFD.
std::u16string XmlAttributeEscape(std::u16string_view text);

// A double-quoted JSON string that may also sit in a script or an HTML page: backslash and '"'
// get a backslash, TAB, LF, CR become \t \n \r; other control characters, '\'', '<', '>', '&',
// U+2028 and U+2029 become \uXXXX escapes.
std::u16string JsonQuotedEscape(std::u16string_view text);
