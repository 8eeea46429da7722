#include <gtest/gtest.h>

#include <string>

#include "wire/WireEscape.h"

using namespace std::string_literals;

TEST(WireEscapeTest, ControlBytesBackslashAndHighBytesTravelOnOneSevenBitLine) {
    EXPECT_EQ(wire::EscapeLine("a\\b\tc\r\nd\xE9"), "a\\\\b\\tc\\r\\nd\\xE9");
    EXPECT_EQ(wire::EscapeLine("\x01\x1F\x7F"s), "\\x01\\x1F\x7F");
    EXPECT_EQ(wire::EscapeLine("\0"s), "\\x00");
    EXPECT_EQ(wire::EscapeLine("caf\xC3\xA9"), "caf\\xC3\\xA9");
    EXPECT_EQ(wire::EscapeLine(""), "");
    // Plain runs are read eight bytes at a time: each kind of byte at every offset around them.
    for (size_t at = 0; at < 20; ++at) {
        const std::string before(at, 'x'), after(19 - at, 'y');
        for (const std::string& special : {"\\"s, "\t"s, "\0"s, "\x1F"s, "\x7F"s, "\xE9"s, "\x80"s})
            EXPECT_EQ(wire::EscapeLine(before + special + after),
                      before + wire::EscapeLine(special) + after)
                << at << " " << int(static_cast<unsigned char>(special[0]));
    }
}

TEST(WireEscapeTest, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const std::string escaped = wire::EscapeLine(all);
    for (char c : escaped) {
        EXPECT_GE(static_cast<unsigned char>(c), 0x20);
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    }
    std::string back;
    ASSERT_TRUE(wire::UnescapeLine(escaped, back));
    EXPECT_EQ(back, all);
}

struct UnescapeRow {
    const char* name;
    std::string line;
    bool ok;
    std::string expected;
};

TEST(WireEscapeTest, UnescapeTable) {
    const UnescapeRow rows[] = {
        {"plain", "word", true, "word"},
        {"nul escape", "a\\0b", true, "a\0b"s},
        {"lower-case hex", "\\xe9\\xC3", true, "\xE9\xC3"},
        {"all named escapes", "\\t\\n\\r\\\\", true, "\t\n\r\\"},
        {"raw high bytes pass", "\xC3\xA9", true, "\xC3\xA9"},
        {"trailing backslash", "abc\\", false, ""},
        {"unknown escape q", "a\\qb", false, ""},
        {"x without digits", "\\x", false, ""},
        {"x with one digit at end", "\\xA", false, ""},
        {"x with a non-hex digit", "\\xAG", false, ""},
        {"x with blank", "\\x A", false, ""},
        {"escaped quote is not an escape", "\\\"", false, ""},
    };
    for (const auto& row : rows) {
        std::string out;
        EXPECT_EQ(wire::UnescapeLine(row.line, out), row.ok) << row.name;
        if (row.ok) {
            EXPECT_EQ(out, row.expected) << row.name;
        }
    }
}
