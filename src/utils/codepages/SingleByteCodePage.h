#pragma once
// One Windows single-byte code page: the byte-to-UTF-16 table of the bytes 0x80-0xFF.
//
// Contract:
//  - A byte the table does not map (every byte below 0x80, and the bytes the code page leaves
//    undefined) stands for the code point of the same value, so every byte converts.
//  - In the reverse direction a code point the table maps gives its byte; any other code point
//    gives its own value when it is at most 0xFF and kUnmappableByte ('w') otherwise.
// The four tables are immutable process-wide objects, safe to share between threads.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class SingleByteCodePage {
  public:
    static constexpr unsigned char kFirstTableByte = 0x80;
    static constexpr unsigned char kUnmappableByte = 'w';
    static constexpr char16_t kUnmapped =
        0;  // table entry of a byte the code page leaves undefined

    using HighTable = std::array<char16_t, 0x80>;  // entries for bytes 0x80..0xFF

    constexpr SingleByteCodePage(int number, const HighTable& high)
        : number_(number), high_(high) {}

    static const SingleByteCodePage& Windows1250();
    static const SingleByteCodePage& Windows1251();
    static const SingleByteCodePage& Windows1252();
    static const SingleByteCodePage& Windows1253();

    int number() const { return number_; }

    // True when the code page itself defines the byte (as opposed to the same-value fallback).
    bool Defines(unsigned char byte) const;
    char16_t ToUnicode(unsigned char byte) const;
    unsigned char FromUnicode(char32_t codePoint) const;

    // Every byte through the table, then UTF-8 encoded. Never fails.
    std::string ToUtf8(std::string_view bytes) const;

  private:
    int number_;
    HighTable high_;
};
