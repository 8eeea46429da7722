#pragma once
// Escaping request text for the place an answer puts it, chosen by the answer's content type.
#include <string>
#include <string_view>

enum class EscapeContext {
    kHtml,    // HTML text and quoted attributes (also script strings inside an HTML page)
    kXml,     // XML text and attributes
    kScript,  // JavaScript and JSON string literals
    kHeader,  // a header line
};

// text/html and anything unknown -> kHtml; XML and XSL -> kXml; JavaScript and JSON -> kScript.
EscapeContext EscapeContextOf(std::string_view contentType);

// kHtml: HtmlEscape, and besides '\'' and '\\' as "&#39;" and "&#92;" (single-quoted
// attributes; script strings of the page). kXml: XmlTextEscape, the control bytes XML cannot hold
// (below 0x20 but TAB, LF, CR) dropped. kScript: ScriptStringEscape. kHeader: every control byte
// dropped. Text without any of these bytes comes back unchanged.
std::string EscapeFor(EscapeContext context, std::string_view text);

// The kHtml escape of a text that HtmlEscape already escaped: adds what HtmlEscape leaves.
std::string CompleteHtmlEscape(std::string_view htmlEscaped);
