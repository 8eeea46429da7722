#include "utils/TextEscapes.h"

#include <cstdio>

#include "utils/BackslashEscaper.h"
#include "utils/ByteRuns.h"
#include "utils/EscapeEach.h"

namespace {

bool IsHtmlEscaped(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == '"' || c == '&' || c == '<' || c == '>';
}

// Non-zero when `word` may hold a byte IsHtmlEscaped names (every control byte up to CR counts).
std::uint64_t HtmlEscapedInWord(std::uint64_t word) {
    using byteruns::AnyByteEqual;
    return byteruns::AnyByteBelow(word, '\r' + 1) | AnyByteEqual(word, '"') |
           AnyByteEqual(word, '&') | AnyByteEqual(word, '<') | AnyByteEqual(word, '>');
}

bool IsXmlEscaped(char c) { return c == '&' || c == '<' || c == '>' || c == '"' || c == '\''; }

std::uint64_t XmlEscapedInWord(std::uint64_t word) {
    using byteruns::AnyByteEqual;
    return AnyByteEqual(word, '&') | AnyByteEqual(word, '<') | AnyByteEqual(word, '>') |
           AnyByteEqual(word, '"') | AnyByteEqual(word, '\'');
}

std::string_view XmlEntityFor(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return "&quot;";
        case '\'':
            return "&apos;";
        default:
            return {};
    }
}

}  // namespace

std::string HtmlEscape(std::string_view in) {
    std::string out;
    AppendHtmlEscaped(out, in);
    return out;
}

void AppendHtmlEscaped(std::string& out, std::string_view in) {
    out.reserve(out.size() + in.size() + in.size() / 8);
    bool afterCrLf = false;  // the output ends in "&#13;&#10;"
    char prev = 0;
    size_t runStart = 0;  // bytes kept as they are are appended as whole runs
    size_t retryFrom = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (!IsHtmlEscaped(c)) {
            afterCrLf = false;
            i = byteruns::SkipPlainWordsOnce(in, i + 1, retryFrom, HtmlEscapedInWord) - 1;
            prev = in[i];
            continue;
        }
        out.append(in.data() + runStart, i - runStart);
        runStart = i + 1;
        if (c == '\n' && afterCrLf) continue;
        afterCrLf = (c == '\n' && prev == '\r');
        prev = c;
        switch (c) {
            case '\t':
                out += "&#9;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            default:  // '>'
                out += "&gt;";
        }
    }
    out.append(in.data() + runStart, in.size() - runStart);
}

std::string ParenthesisEscape(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const std::string_view rest = in.substr(i);
        if (in[i] == '(') {
            out += "&#040;";
        } else if (in[i] == ')') {
            out += "&#041;";
        } else if (rest.starts_with("%28")) {
            out += "&#040;";
            i += 2;
        } else if (rest.starts_with("%29")) {
            out += "&#041;";
            i += 2;
        } else if (rest.starts_with("%2F")) {
            out += "&#047;";
            i += 2;
        } else {
            out += in[i];
        }
    }
    return out;
}

std::string EscapeControlChars(std::string_view in) {
    return EscapeEach(in, [](char c) -> std::string_view {
        switch (c) {
            case '\t':
                return "\\t";
            case '\n':
                return "\\n";
            case '\r':
                return "\\r";
            default:
                return {};
        }
    });
}

std::u16string WideHtmlEscape(std::u16string_view in) {
    std::u16string out;
    out.reserve(in.size() + 8);
    // A LF that follows CR LF is dropped: the same as collapsing "&#13;&#10;&#10;" to
    // "&#13;&#10;" until none is left, in one pass (hostile runs of line ends stay linear).
    bool afterCrLf = false;
    char16_t prev = 0;
    for (char16_t c : in) {
        if (c == u'\n' && afterCrLf) continue;
        afterCrLf = (c == u'\n' && prev == u'\r');
        prev = c;
        switch (c) {
            case u'\t':
                out += u"&#9;";
                break;
            case u'\n':
                out += u"&#10;";
                break;
            case u'\r':
                out += u"&#13;";
                break;
            case u'"':
                out += u"&quot;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::u16string JavaScriptStringEscape(std::u16string_view in) {
    return EscapeEach(in, [](char16_t c) -> std::u16string_view {
        switch (c) {
            case u'\t':
                return u"\\t";
            case u'\n':
                return u"\\n";
            case u'\r':
                return u"\\r";
            case u'"':
                return u"' + String.fromCharCode(34) + '";
            case u'\'':
                return u"\\'";
            case u'\\':
                return u"\\\\";
            default:
                return {};
        }
    });
}

std::string XmlTextEscape(std::string_view in) {
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    AppendXmlTextEscaped(out, in);
    return out;
}

void AppendXmlTextEscaped(std::string& out, std::string_view in) {
    size_t runStart = 0;
    size_t retryFrom = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        if (!IsXmlEscaped(in[i])) {
            i = byteruns::SkipPlainWordsOnce(in, i + 1, retryFrom, XmlEscapedInWord) - 1;
            continue;
        }
        out.append(in.data() + runStart, i - runStart);
        out += XmlEntityFor(in[i]);
        runStart = i + 1;
    }
    out.append(in.data() + runStart, in.size() - runStart);
}

std::string JsonStringEscape(std::string_view in) { return kJsonEscaper.Escape(in); }

std::string ScriptStringEscape(std::string_view in) { return kScriptEscaper.Escape(in); }
