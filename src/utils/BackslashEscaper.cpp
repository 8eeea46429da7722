#include "utils/BackslashEscaper.h"

namespace {

char ShortEscape(unsigned char byte) {
    switch (byte) {
        case '\t':
            return 't';
        case '\n':
            return 'n';
        case '\r':
            return 'r';
        case '\b':
            return 'b';
        default:
            return 'f';
    }
}

}  // namespace

std::string BackslashEscaper::Escape(std::string_view in) const {
    std::string out;
    out.reserve(in.size() + in.size() / 8);
    AppendEscaped(in, out);
    return out;
}

void BackslashEscaper::AppendEscaped(std::string_view in, std::string& out) const {
    std::size_t run = 0;  // start of the bytes kept since the last escape
    for (std::size_t i = 0; i < in.size(); ++i) {
        const auto byte = static_cast<unsigned char>(in[i]);
        const Kind kind = kinds_[byte];
        if (kind == kKeep) continue;
        // U+2028 and U+2029 are E2 80 A8 and E2 80 A9; any other sequence led by E2 is kept.
        if (kind == kLeadOfSeparator && !(i + 2 < in.size() && in[i + 1] == '\x80' &&
                                          (in[i + 2] == '\xA8' || in[i + 2] == '\xA9')))
            continue;
        out.append(in, run, i - run);
        switch (kind) {
            case kBackslash:
                out += '\\';
                out += in[i];
                break;
            case kShort:
                out += '\\';
                out += ShortEscape(byte);
                break;
            case kNumeric:
                AppendNumeric(byte, out);
                break;
            default:
                out += in[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
                i += 2;
                break;
        }
        run = i + 1;
    }
    out.append(in, run, in.size() - run);
}

void BackslashEscaper::AppendNumeric(unsigned char byte, std::string& out) const {
    static constexpr char kLower[] = "0123456789abcdef";
    static constexpr char kUpper[] = "0123456789ABCDEF";
    if (form_ == NumericForm::kHexByte) {
        out += "\\x";
        out += kLower[byte >> 4];
        out += kLower[byte & 0xF];
    } else {
        out += "\\u00";
        out += kUpper[byte >> 4];
        out += kUpper[byte & 0xF];
    }
}
