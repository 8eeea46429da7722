#pragma once
// The UTF-8 check of request values.
//
// Check returns normally for text made of one- to four-byte sequences, and throws:
//  - InvalidUTF8Exception for a continuation byte (0x80-0xBF) where none is expected, a
//    single or lead byte where a continuation byte is expected, 0xFE or 0xFF, or a lead byte
//    0xF0-0xFD that its continuation bytes do not follow (single-byte text such as "\xFC"), or
//    a sequence that the end of the text cuts short ("caf\xE9" is Windows-125x text);
//  - UnsupportedUTF8Exception for a five- or six-byte form or a four-byte lead above 0xF4,
//    each followed by its continuation bytes.
// The check is deliberately lenient about what it lets through: over-long forms and surrogate
// code points pass. Callers needing strictly
// valid UTF-8 must check again.
#include <string>
#include <string_view>

#include "utils/ErrorBase.h"

class UTFChecker {
  public:
    class UTFException : public ErrorBase {
      public:
        UTFException(std::string message, std::string file, int line)
            : ErrorBase(std::move(file), line), message_(std::move(message)) {}
        const char* what() const noexcept override { return message_.c_str(); }

      private:
        std::string message_;
    };
    class InvalidUTF8Exception : public UTFException {
      public:
        using UTFException::UTFException;
    };
    class UnsupportedUTF8Exception : public UTFException {
      public:
        using UTFException::UTFException;
    };

    static constexpr char kInvalidMessage[] = "Invalid utf-8 string detected.";
    static constexpr char kUnsupportedMessage[] =
        "4,5 and 6 byte utf-8 charackters are not supportd.";

    static void Check(std::string_view text);
};
