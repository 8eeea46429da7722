#include "utils/UTFChecker.h"

namespace {

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

// Continuation bytes a lead byte 0xF0-0xFD announces; 0 for 0xFE and 0xFF, which lead nothing.
int LongFormLength(unsigned char lead) {
    if (lead <= 0xF7) return 3;
    if (lead <= 0xFB) return 4;
    if (lead <= 0xFD) return 5;
    return 0;
}

}  // namespace

void UTFChecker::Check(std::string_view text) {
    int expected = 0;  // continuation bytes still due
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsContinuation(byte)) {
            if (expected == 0) VERB_THROW(InvalidUTF8Exception, kInvalidMessage);
            --expected;
            continue;
        }
        if (expected != 0) VERB_THROW(InvalidUTF8Exception, kInvalidMessage);
        if (byte >= 0xF0) {
            // A long form is only taken as such when all its continuation bytes follow.
            // Otherwise the byte is single-byte text such as Windows-1250 "ü" (0xFC) and the
            // value must be reinterpreted, not kept as it is.
            const int length = LongFormLength(byte);
            int following = 0;
            while (following < length && i + 1 + following < text.size() &&
                   IsContinuation(static_cast<unsigned char>(text[i + 1 + following])))
                ++following;
            if (length == 0 || following < length)
                VERB_THROW(InvalidUTF8Exception, kInvalidMessage);
            if (byte <= 0xF4) {  // a four-byte character: the text model carries it
                expected = length;
                continue;
            }
            VERB_THROW(UnsupportedUTF8Exception, kUnsupportedMessage);
        }
        if (byte >= 0xE0)
            expected = 2;
        else if (byte >= 0xC0)
            expected = 1;
    }
    // A sequence cut short by the end is no character either: "caf\xE9" is single-byte text.
    if (expected != 0) VERB_THROW(InvalidUTF8Exception, kInvalidMessage);
}
