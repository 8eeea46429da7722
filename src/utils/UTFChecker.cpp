#include "utils/UTFChecker.h"

#include "utils/ByteRuns.h"
#include "utils/Utf8Sequence.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Continuation bytes a lead byte 0xF0-0xFD announces; 0 for 0xFE and 0xFF, which lead nothing.
std::size_t LongFormLength(unsigned char lead) {
    if (lead <= 0xF7) return 3;
    if (lead <= 0xFB) return 4;
    if (lead <= 0xFD) return 5;
    return 0;
}

// A malformed sequence at text[at] that is a complete long form for a code point above
// U+10FFFF (a four-byte form beyond it, a five- or six-byte form), as opposed to bytes that are
// no UTF-8 at all. A lead 0xF0-0xFD without all its continuation bytes is single-byte text such
// as Windows-1250 "ü" (0xFC), which must be reinterpreted, not kept as it is.
bool IsCompleteFormBeyondUnicode(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = LongFormLength(lead);
    if (lead < 0xF4 || length == 0 || text.size() - at <= length) return false;
    for (std::size_t k = 1; k <= length; ++k)
        if (!IsContinuation(static_cast<unsigned char>(text[at + k]))) return false;
    return lead > 0xF4 || static_cast<unsigned char>(text[at + 1]) >= 0x90;
}

}  // namespace

void UTFChecker::Check(std::string_view text) {
    std::size_t retryFrom = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {  // ASCII: the common case, valid
            i = byteruns::SkipPlainWordsOnce(text, i + 1, retryFrom, [](std::uint64_t word) {
                return byteruns::AnyHighByte(word);
            });
            continue;
        }
        const auto sequence = Utf8Sequence::At(text, i);
        if (sequence.length != 0) {
            i += sequence.length;
            continue;
        }
        if (IsCompleteFormBeyondUnicode(text, i))
            VERB_THROW(UnsupportedUTF8Exception, kUnsupportedMessage);
        VERB_THROW(InvalidUTF8Exception, kInvalidMessage);
    }
}
