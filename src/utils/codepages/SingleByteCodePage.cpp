#include "utils/codepages/SingleByteCodePage.h"

namespace {

void AppendUtf8(std::string& out, char16_t unit) {
    const unsigned cp = unit;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

bool SingleByteCodePage::Defines(unsigned char byte) const {
    return byte < kFirstTableByte || high_[byte - kFirstTableByte] != kUnmapped;
}

char16_t SingleByteCodePage::ToUnicode(unsigned char byte) const {
    return Defines(byte) && byte >= kFirstTableByte ? high_[byte - kFirstTableByte]
                                                    : char16_t{byte};
}

unsigned char SingleByteCodePage::FromUnicode(char32_t codePoint) const {
    if (codePoint < kFirstTableByte) return static_cast<unsigned char>(codePoint);
    for (size_t i = 0; i < high_.size(); ++i)
        if (high_[i] != kUnmapped && high_[i] == codePoint)
            return static_cast<unsigned char>(kFirstTableByte + i);
    return codePoint <= 0xFF ? static_cast<unsigned char>(codePoint) : kUnmappableByte;
}

std::string SingleByteCodePage::ToUtf8(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
    return out;
}
