#pragma once
// The UTF-8 check of request values.
//
// Check returns normally for well-formed UTF-8 (RFC 3629: one- to four-byte shortest forms of
// U+0000 to U+10FFFF, no surrogates), and throws:
//  - UnsupportedUTF8Exception for a complete form of a code point above U+10FFFF (a four-byte
//    form beyond it, a five- or six-byte form, each followed by all its continuation bytes);
//  - InvalidUTF8Exception for anything else that is no UTF-8: a stray continuation byte, a
//    sequence cut short or interrupted ("caf\xE9" is Windows-125x text), an over-long form
//    ("\xC0\xBC" is no "<"), an encoded surrogate, 0xFE or 0xFF.
// The first fault found decides.
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
