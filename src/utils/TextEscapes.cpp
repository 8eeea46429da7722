#include "utils/TextEscapes.h"

std::string HtmlEscape(std::string_view in) {
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    bool afterCrLf = false;  // the output ends in "&#13;&#10;"
    char prev = 0;
    for (char c : in) {
        if (c == '\n' && afterCrLf) continue;
        afterCrLf = (c == '\n' && prev == '\r');
        prev = c;
        switch (c) {
            case '\t': out += "&#9;"; break;
            case '\n': out += "&#10;"; break;
            case '\r': out += "&#13;"; break;
            case '"': out += "&quot;"; break;
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += c;
        }
    }
    return out;
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
    std::string out;
    out.reserve(in.size());
    for (char c : in) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}
