#include <gtest/gtest.h>

#include <string>

#include "utils/UrlDecode.h"

namespace {

struct Row {
    std::string in;
    std::string out;
};

TEST(UrlDecodeTest, HostileAndOrdinaryEscapes) {
    const Row rows[] = {
        {"", ""},
        {"plain", "plain"},
        {"a+b++", "a b  "},
        {"%41%zz+%4", std::string("Azz \x04", 5)},
        {"%41%42", "AB"},
        {"%e9", "\xE9"},
        {"%E9", "\xE9"},
        {"%00", "00"},  // never a NUL byte
        {"%0", "0"},
        {"%", ""},  // trailing "%" dropped
        {"100%", "100"},
        {"%%41", "%41"},                  // "%%" reads no digit: keeps the second "%"
        {"%4z", std::string("\x04", 1)},  // one digit still consumes both characters
        {"%z4", "z4"},
        {"%2B", "+"},  // an encoded plus stays a plus
        {"%25", "%"},
        {"%2541", "%41"},  // decoded once only
        {"%0D%0A", "\r\n"},
        {"%+1", "+1"},  // the scan reads hex digits only, no sign
        {" %20", "  "},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& row : rows) EXPECT_EQ(UrlDecode(row.in), row.out) << "input: " << row.in;
    // Plain runs are read eight bytes at a time: escapes at every offset around those words.
    for (size_t at = 0; at < 20; ++at) {
        const std::string before(at, 'x'), after(19 - at, 'y');
        EXPECT_EQ(UrlDecode(before + "%41+" + after), before + "A " + after) << at;
        EXPECT_EQ(UrlDecode(before + "%" + after), before + after) << at;  // "%y" reads "y"
    }
}

// Decoding that stops after a byte reads exactly the text that gave it, so the rest decodes
// apart into another buffer with the same result as decoding the whole.
TEST(UrlDecodeTest, StopsRightAfterTheByteAskedFor) {
    const struct {
        std::string in;
        std::string decoded;
        size_t read;
    } rows[] = {
        {"a%3Db=c", "a=", 4}, {"ab", "ab", 2},    {"%=x", "=", 2},
        {"a+=", "a =", 3},    {"=", "=", 1},      {"%", "", 1},
        {"x%", "x", 2},       {"%3d%3D", "=", 3}, {"a%0D%0A=b", "a\r\n=", 8},
    };
    for (const auto& row : rows) {
        std::string out = "kept";
        EXPECT_EQ(UrlDecodeAppend(out, row.in, '='), row.read) << row.in;
        EXPECT_EQ(out, "kept" + row.decoded) << row.in;
        out.clear();
        UrlDecodeAppend(out, std::string_view(row.in).substr(row.read));
        EXPECT_EQ(row.decoded + out, UrlDecode(row.in)) << row.in;
    }
    for (size_t at = 0; at < 20; ++at) {  // the stop byte at every offset of the words
        const std::string in = std::string(at, 'x') + "=" + std::string(19 - at, 'y') + "=";
        std::string out;
        EXPECT_EQ(UrlDecodeAppend(out, in, '='), at + 1) << at;
        EXPECT_EQ(out, in.substr(0, at + 1)) << at;
    }
}

}  // namespace
