#include "text/WordEncodings.h"

#include <string>

#include "utils/EscapeEach.h"
#include "utils/TextEscapes.h"

namespace {

void AppendAscii(std::u16string& out, std::string_view ascii) {
    out.append(ascii.begin(), ascii.end());
}

void AppendDecimal(std::u16string& out, unsigned value) { AppendAscii(out, std::to_string(value)); }

void AppendUnicodeEscape(std::u16string& out, unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += u"\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += static_cast<char16_t>(kDigits[(value >> shift) & 0xF]);
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

namespace {

std::u16string_view HtmlTextReplacement(char16_t c) {
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
}

std::u16string_view HtmlAngleReplacement(char16_t c) {
    return c == u'&' ? std::u16string_view() : HtmlTextReplacement(c);
}

}  // namespace

void AppendHtmlTextEscape(std::u16string& out, std::u16string_view text) {
    AppendEscaped(out, text, &HtmlTextReplacement);
}

std::u16string HtmlTextEscape(std::u16string_view text) {
    return EscapeEach(text, &HtmlTextReplacement);
}

namespace {

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsHexDigit(char16_t c) {
    return IsAsciiDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The length of the character reference at text[0] (which is '&'), or 0 when none starts there.
std::size_t ReferenceLength(std::u16string_view text) {
    std::size_t i = 1;
    const auto run = [&](bool (*accepts)(char16_t)) {
        const std::size_t start = i;
        while (i < text.size() && accepts(text[i])) ++i;
        return i > start;
    };
    bool body = false;
    if (i < text.size() && text[i] == u'#') {
        ++i;
        if (i < text.size() && (text[i] == u'x' || text[i] == u'X')) {
            ++i;
            body = run(&IsHexDigit);
        } else {
            body = run(&IsAsciiDigit);
        }
    } else if (i < text.size() && IsAsciiLetter(text[i])) {
        body = run([](char16_t c) { return IsAsciiLetter(c) || IsAsciiDigit(c); });
    }
    return body && i < text.size() && text[i] == u';' ? i + 1 : 0;
}

}  // namespace

void AppendHtmlTextEscapeKeepingReferences(std::u16string& out, std::u16string_view text) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::u16string_view replacement = HtmlTextReplacement(text[i]);
        if (replacement.empty()) continue;
        std::size_t next = i + 1;
        if (text[i] == u'&') {
            const std::size_t length = ReferenceLength(text.substr(i));
            if (length != 0) {
                // A reference is copied as it is, with the run around it.
                i += length - 1;
                continue;
            }
        }
        out.append(text.data() + runStart, i - runStart);
        out += replacement;
        runStart = next;
    }
    out.append(text.data() + runStart, text.size() - runStart);
}

std::u16string HtmlTextEscapeKeepingReferences(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    AppendHtmlTextEscapeKeepingReferences(out, text);
    return out;
}

void AppendHtmlAngleEscape(std::u16string& out, std::u16string_view text) {
    AppendEscaped(out, text, &HtmlAngleReplacement);
}

std::u16string HtmlAngleEscape(std::u16string_view text) {
    return EscapeEach(text, &HtmlAngleReplacement);
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

std::u16string JsonQuotedEscape(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'\\':
                out += u"\\\\";
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
            default:
                if (c < 0x20 || c == u'\'' || c == u'<' || c == u'>' || c == u'&' || c == 0x2028 ||
                    c == 0x2029)
                    AppendUnicodeEscape(out, c);
                else
                    out += c;
        }
    }
    return out;
}
