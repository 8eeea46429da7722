#pragma once
// The renderer and escapes as first written, one code unit at a time: the differential fuzz
// checks compare the run-by-run versions the service uses with these.
#include <string>
#include <string_view>

#include "text/CText.h"
#include "text/WordEncodings.h"

namespace reference {

inline bool HasMarker(std::u16string_view markers, std::u16string_view marker) {
    return markers.find(marker) != std::u16string_view::npos;
}

// The HTML filter's switch rule (own switch "htmf", group switch "html").
inline bool HtmlFilterEnabled(std::u16string_view m) {
    const bool ownOn = HasMarker(m, u"[+htmf]");
    return !(HasMarker(m, u"[-htmf]") || (HasMarker(m, u"[-html]") && !ownOn) ||
             (HasMarker(m, u"[-allf]") && !HasMarker(m, u"[+html]") && !ownOn));
}

// '<' and '>' as references, and '&' too with `ampersand`.
inline std::u16string Replace(std::u16string_view text, bool ampersand) {
    std::u16string out;
    for (char16_t c : text) {
        if (c == u'&' && ampersand)
            out += u"&amp;";
        else if (c == u'<')
            out += u"&lt;";
        else if (c == u'>')
            out += u"&gt;";
        else
            out += c;
    }
    return out;
}

inline std::size_t ReferenceLength(std::u16string_view text) {
    const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    const auto letter = [](char16_t c) { return (c | 0x20) >= u'a' && (c | 0x20) <= u'z'; };
    const auto hex = [&](char16_t c) {
        return digit(c) || ((c | 0x20) >= u'a' && (c | 0x20) <= u'f');
    };
    std::size_t i = 1;
    std::size_t bodyStart = 0;
    if (i < text.size() && text[i] == u'#') {
        ++i;
        const bool isHex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
        if (isHex) ++i;
        bodyStart = i;
        while (i < text.size() && (isHex ? hex(text[i]) : digit(text[i]))) ++i;
    } else if (i < text.size() && letter(text[i])) {
        bodyStart = i;
        while (i < text.size() && (letter(text[i]) || digit(text[i]))) ++i;
    } else {
        return 0;
    }
    return i > bodyStart && i < text.size() && text[i] == u';' ? i + 1 : 0;
}

inline std::u16string KeepingReferences(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t length = text[i] == u'&' ? ReferenceLength(text.substr(i)) : 0;
        if (length != 0) {
            out += text.substr(i, length);
            i += length - 1;
        } else {
            out += Replace(text.substr(i, 1), true);
        }
    }
    return out;
}

inline std::u16string Render(const CText& text, CText::PlainText plainText) {
    const std::u16string& markers = text.MarkerString();
    const bool filteredView = HasMarker(markers, u"[_fvw_]");
    const bool keepMarkup = HasMarker(markers, u"[_mkp_]");
    const bool htmlInput = HtmlFilterEnabled(markers);
    const bool safe = plainText == CText::PlainText::kHtmlSafe;
    std::u16string out;
    for (const TextElement& element : text.Elements()) {
        if (element.kind == ElementKind::kTag || element.kind == ElementKind::kEscapedTag) {
            if (element.strayClosingTag && safe) continue;
            if (!filteredView)
                out += element.source;
            else if (element.keep)
                out += element.kind == ElementKind::kEscapedTag ? EscapedTagText(element.view)
                                                                : element.view;
        } else if (element.kind == ElementKind::kDecoration) {
            if (keepMarkup) out += element.source;
        } else if (!safe) {
            out += element.source;
        } else if (element.kind == ElementKind::kNamedRef ||
                   element.kind == ElementKind::kNumericRef) {
            out += Replace(element.source, false);
        } else {
            out += htmlInput ? KeepingReferences(element.source) : Replace(element.source, true);
        }
    }
    return out;
}

inline std::u16string DisplayConvert(std::u16string_view rendered) {
    std::u16string out;
    bool crSeen = false, lfSeen = false, inTag = false, afterWord = true;
    char16_t previous = 0;
    const std::size_t budget = rendered.size() * 3 + 4096;
    for (char16_t c : rendered) {
        if (out.size() >= budget) {
            out += c;
            continue;
        }
        switch (c) {
            case u'\t':
                if (inTag)
                    out += c;
                else
                    for (int i = 0; i < 8; ++i) out += u"&nbsp;";
                afterWord = true;
                break;
            case u'\n':
                if (crSeen) {
                    crSeen = false;
                } else {
                    out += u"&nbsp;<br />";
                    lfSeen = true;
                }
                break;
            case u'\r':
                if (!lfSeen) {
                    out += u"&nbsp;<br />";
                    crSeen = true;
                }
                lfSeen = false;
                afterWord = false;
                break;
            case u' ':
                if (inTag) {
                    out += c;
                } else if (afterWord) {
                    out += c;
                    afterWord = false;
                } else {
                    out += u"&nbsp;";
                }
                break;
            case u'<':
                out += c;
                if (previous != u'<') inTag = true;
                break;
            case u'>':
                out += c;
                inTag = false;
                break;
            default:
                out += c;
                afterWord = true;
        }
        previous = c;
    }
    return out;
}

// The byte HTML escape of echoed values: references for TAB, LF, CR, '"', '&', '<', '>', and a
// LF right after CR LF dropped.
inline std::string HtmlEscape(std::string_view in) {
    std::string out;
    bool afterCrLf = false;
    char prev = 0;
    for (char c : in) {
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
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace reference
