#include "utils/logging/LogFieldEscape.h"

#include "utils/BackslashEscaper.h"
#include "utils/Utf8Sequence.h"

namespace {

// Characters a terminal or an editor acts on or hides rather than shows: the C1 controls
// (U+0080-U+009F, CSI among them), the bidirectional marks, embeddings, overrides and isolates,
// and the line and paragraph separators.
bool IsInvisibleControl(char32_t cp) {
    return (cp >= 0x80 && cp <= 0x9F) || cp == 0x061C || cp == 0x200E || cp == 0x200F ||
           (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

void AppendHexBytes(std::string_view bytes, std::string& out) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
}

}  // namespace

void AppendLogTextEscaped(std::string_view text, std::string& out) {
    out.reserve(out.size() + text.size() + text.size() / 8);
    std::size_t run = 0;  // start of the bytes not yet written
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const auto sequence = Utf8Sequence::At(text, i);
        if (sequence.length != 0 && !IsInvisibleControl(sequence.codePoint)) {
            i += sequence.length;
            continue;
        }
        kLogEscaper.AppendEscaped(text.substr(run, i - run), out);
        const std::size_t length = sequence.length != 0 ? sequence.length : 1;
        AppendHexBytes(text.substr(i, length), out);
        i += length;
        run = i;
    }
    kLogEscaper.AppendEscaped(text.substr(run), out);
}

std::string LogTextEscape(std::string_view text) {
    std::string out;
    AppendLogTextEscaped(text, out);
    return out;
}

void AppendLogFieldEscaped(std::string_view field, std::string& out) {
    const std::string_view kept = field.substr(0, kMaxLogFieldBytes);
    AppendLogTextEscaped(kept, out);
    if (kept.size() < field.size())
        out += "\\[+" + std::to_string(field.size() - kept.size()) + " bytes]";
}

std::string LogFieldEscape(std::string_view field) {
    std::string out;
    AppendLogFieldEscaped(field, out);
    return out;
}
