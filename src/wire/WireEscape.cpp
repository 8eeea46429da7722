#include "wire/WireEscape.h"

#include <algorithm>

#include "utils/ByteRuns.h"

namespace wire {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char c) { return c < 0x20 || c >= 0x80 || c == '\\'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The end of the run of bytes from `at` that pass unchanged.
size_t PlainRunEnd(std::string_view raw, size_t at, size_t& retryFrom) {
    at = byteruns::SkipPlainWordsOnce(raw, at, retryFrom, [](std::uint64_t word) {
        return byteruns::AnyByteBelow(word, 0x20) | byteruns::AnyHighByte(word) |
               byteruns::AnyByteEqual(word, '\\');
    });
    while (at < raw.size() && !NeedsEscape(static_cast<unsigned char>(raw[at]))) ++at;
    return at;
}

}  // namespace

void AppendEscapedLine(std::string& out, std::string_view raw) {
    size_t retryFrom = 0;
    for (size_t at = 0; at < raw.size(); ++at) {
        const size_t end = PlainRunEnd(raw, at, retryFrom);
        out.append(raw.data() + at, end - at);  // runs of plain bytes are copied whole
        if (end == raw.size()) break;
        at = end;
        const auto c = static_cast<unsigned char>(raw[at]);
        out += '\\';
        switch (c) {
            case '\t':
                out += 't';
                break;
            case '\n':
                out += 'n';
                break;
            case '\r':
                out += 'r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += 'x';
                out += kHexDigits[c >> 4];
                out += kHexDigits[c & 0x0F];
        }
    }
}

std::string EscapeLine(std::string_view raw) {
    std::string out;
    out.reserve(raw.size() + raw.size() / 4);
    AppendEscapedLine(out, raw);
    return out;
}

bool UnescapeLine(std::string_view line, std::string& out) {
    out.clear();
    out.reserve(line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        const size_t backslash = std::min(line.find('\\', i), line.size());
        out.append(line.data() + i, backslash - i);
        if (backslash == line.size()) break;
        i = backslash;
        if (++i == line.size()) return false;
        switch (line[i]) {
            case '0':
                out += '\0';
                break;
            case '\\':
                out += '\\';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                if (i + 2 >= line.size()) return false;
                const int high = HexValue(line[i + 1]);
                const int low = HexValue(line[i + 2]);
                if (high < 0 || low < 0) return false;
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

}  // namespace wire
