#include "utils/text/WordEncodings.h"

#include <string>

#include "utils/EscapeEach.h"
#include "utils/TextEscapes.h"

namespace {

void AppendAscii(std::u16string& out, std::string_view ascii) {
    out.append(ascii.begin(), ascii.end());
}

void AppendDecimal(std::u16string& out, unsigned value) { AppendAscii(out, std::to_string(value)); }

void AppendHexByte(std::u16string& out, unsigned value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += u"\\x";
    out += static_cast<char16_t>(kDigits[(value >> 4) & 0xF]);
    out += static_cast<char16_t>(kDigits[value & 0xF]);
}

bool IsXmlChar(char16_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

}  // namespace

std::u16string ScriptEscape(std::u16string_view word) { return JavaScriptStringEscape(word); }

std::u16string IdentifierForm(std::u16string_view word) {
    std::u16string out;
    out.reserve(word.size());
    for (char16_t c : word) {
        if (c >= 65 && c <= 127) {
            out += c;
        } else {
            out += u'-';
            AppendDecimal(out, c);
        }
    }
    return out;
}

std::u16string EscapedTagText(std::u16string_view tag) { return WideHtmlEscape(tag); }

std::u16string HtmlTextEscape(std::u16string_view text) {
    return EscapeEach(text, [](char16_t c) -> std::u16string_view {
        switch (c) {
            case u'&':
                return u"&amp;";
            case u'<':
                return u"&lt;";
            case u'>':
                return u"&gt;";
            default:
                return {};
        }
    });
}

std::u16string HtmlAngleEscape(std::u16string_view text) {
    return EscapeEach(text, [](char16_t c) -> std::u16string_view {
        switch (c) {
            case u'<':
                return u"&lt;";
            case u'>':
                return u"&gt;";
            default:
                return {};
        }
    });
}

std::u16string XmlAttributeEscape(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            case u'\'':
                out += u"&apos;";
                break;
            case u'\t':
                out += u"&#9;";
                break;
            case u'\n':
                out += u"&#10;";
                break;
            case u'\r':
                out += u"&#13;";
                break;
            default:
                out += IsXmlChar(c) ? c : char16_t{0xFFFD};
        }
    }
    return out;
}

std::u16string JsSingleQuotedEscape(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'\\':
                out += u"\\\\";
                break;
            case u'\'':
                out += u"\\'";
                break;
            case u'"':
                out += u"\\\"";
                break;
            case u'\n':
                out += u"\\n";
                break;
            case u'\r':
                out += u"\\r";
                break;
            case u'\t':
                out += u"\\t";
                break;
            case 0x2028:
                out += u"\\u2028";
                break;
            case 0x2029:
                out += u"\\u2029";
                break;
            default:
                if (c < 0x20 || c == u'<' || c == u'>' || c == u'&')
                    AppendHexByte(out, c);
                else
                    out += c;
        }
    }
    return out;
}
