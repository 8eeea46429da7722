#include "utils/logging/LogFieldEscape.h"

#include <cstdio>

std::string LogTextEscape(std::string_view kept) {
    std::string out;
    out.reserve(kept.size() + 16);
    for (char c : kept) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char buf[5];
                    std::snprintf(buf, sizeof buf, "\\x%02x", byte);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string LogFieldEscape(std::string_view field) {
    const std::string_view kept = field.substr(0, kMaxLogFieldBytes);
    std::string out = LogTextEscape(kept);
    if (kept.size() < field.size())
        out += "\\[+" + std::to_string(field.size() - kept.size()) + " bytes]";
    return out;
}
