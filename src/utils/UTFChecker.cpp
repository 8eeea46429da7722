#include "utils/UTFChecker.h"

void UTFChecker::Check(std::string_view text) {
    int expected = 0;  // continuation bytes still due
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0xBF) {
            if (expected == 0) VERB_THROW(InvalidUTF8Exception, kInvalidMessage);
            --expected;
            continue;
        }
        if (expected != 0) VERB_THROW(InvalidUTF8Exception, kInvalidMessage);
        if (byte >= 0xF0) VERB_THROW(UnsupportedUTF8Exception, kUnsupportedMessage);
        if (byte >= 0xE0)
            expected = 2;
        else if (byte >= 0xC0)
            expected = 1;
    }
}
