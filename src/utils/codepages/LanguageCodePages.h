#pragma once
// Which single-byte code page stands for the text of a language, for requests that are not
// UTF-8. Languages are two-letter codes packed into 16 bits: first letter in the high byte,
// second in the low byte ("am" -> 0x616D).
#include <cstdint>
#include <string_view>

#include "utils/codepages/SingleByteCodePage.h"

class LanguageCodePages {
  public:
    // The language whose code page (Windows-1250) reinterprets a request that is not UTF-8; its
    // packed code is what InternalData key InputCodePage holds afterwards.
    static constexpr uint16_t kReinterpretLanguage = 0x616D;  // "am"

    static constexpr uint16_t Pack(char first, char second) {
        return static_cast<uint16_t>((static_cast<unsigned char>(first) << 8) |
                                     static_cast<unsigned char>(second));
    }
    // Packs the first two bytes of `code`; 0 when it is shorter.
    static uint16_t Pack(std::string_view code);

    // The code page of the first table row with this language, or nullptr when none has it.
    static const SingleByteCodePage* ForLanguage(uint16_t packedLanguage);
};
