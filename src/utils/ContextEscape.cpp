#include "utils/ContextEscape.h"

#include "utils/EscapeEach.h"
#include "utils/TextEscapes.h"

namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

std::string DropBytes(std::string_view text, bool (*drop)(unsigned char)) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (!drop(static_cast<unsigned char>(c))) out += c;
    return out;
}

}  // namespace

EscapeContext EscapeContextOf(std::string_view contentType) {
    const std::string type = LowerAscii(contentType);
    if (Contains(type, "javascript") || Contains(type, "json")) return EscapeContext::kScript;
    if (Contains(type, "xml") || Contains(type, "xsl")) return EscapeContext::kXml;
    return EscapeContext::kHtml;
}

std::string CompleteHtmlEscape(std::string_view htmlEscaped) {
    return EscapeEach(htmlEscaped, [](char c) -> std::string_view {
        switch (c) {
            case '\'':
                return "&#39;";
            case '\\':
                return "&#92;";
            default:
                return {};
        }
    });
}

std::string EscapeFor(EscapeContext context, std::string_view text) {
    switch (context) {
        case EscapeContext::kHtml:
            return CompleteHtmlEscape(HtmlEscape(text));
        case EscapeContext::kXml:
            return XmlTextEscape(DropBytes(text, [](unsigned char byte) {
                return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
            }));
        case EscapeContext::kScript:
            return ScriptStringEscape(text);
        case EscapeContext::kHeader:
            return DropBytes(text, &IsControl);
    }
    return std::string(text);
}
