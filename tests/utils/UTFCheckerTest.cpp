#include <gtest/gtest.h>

#include <string>

#include "utils/UTFChecker.h"

namespace {

enum class Verdict { Passes, Invalid, Unsupported };

Verdict Check(const std::string& text) {
    try {
        UTFChecker::Check(text);
        return Verdict::Passes;
    } catch (const UTFChecker::InvalidUTF8Exception&) {
        return Verdict::Invalid;
    } catch (const UTFChecker::UnsupportedUTF8Exception&) {
        return Verdict::Unsupported;
    }
}

struct Row {
    std::string text;
    Verdict verdict;
};

TEST(UTFCheckerTest, ClassifiesHostileBytes) {
    const Row rows[] = {
        {"", Verdict::Passes},
        {"plain ascii", Verdict::Passes},
        {std::string("nul\0inside", 10), Verdict::Passes},
        {"caf\xC3\xA9", Verdict::Passes},
        {"\xE2\x82\xAC", Verdict::Passes},  // euro sign, three bytes
        // Over-long forms of markup characters and surrogates are no UTF-8: read as single-byte
        // text, they cannot become "<" or a quote when the answer is converted back.
        {"\xC0\xAF", Verdict::Invalid},
        {"\xC0\xBC", Verdict::Invalid},
        {"\xC1\xBE", Verdict::Invalid},
        {"\xC0\xA2x", Verdict::Invalid},
        {"\xE0\x80\xAF", Verdict::Invalid},
        {"\xE0\x80\xBC", Verdict::Invalid},
        {"\xE0\x9F\xBF", Verdict::Invalid},          // U+07FF in three bytes
        {"\xF0\x80\x80\xBC", Verdict::Invalid},      // four-byte "<"
        {"\xF0\x8F\xBF\xBF", Verdict::Invalid},      // U+FFFF in four bytes
        {"\xED\xA0\x80", Verdict::Invalid},          // surrogate U+D800
        {"\xED\xBF\xBF", Verdict::Invalid},          // surrogate U+DFFF
        {"\xED\x9F\xBF", Verdict::Passes},           // U+D7FF, the last before the surrogates
        {"\xEF\xBF\xBF", Verdict::Passes},           // U+FFFF
        {"\xF4\x8F\xBF\xBF", Verdict::Passes},       // U+10FFFF
        {"\xF4\x90\x80\x80", Verdict::Unsupported},  // U+110000
        {"\xE9", Verdict::Invalid},                  // cut short at the end: single-byte text
        {"ok\xE2\x82", Verdict::Invalid},
        {"un caf\xE9", Verdict::Invalid},
        {"Haus Men\xFC", Verdict::Invalid},
        {"M\xFCller", Verdict::Invalid},
        {"\xF0\x9F\x98", Verdict::Invalid},
        {"\xE9t\xE9", Verdict::Invalid},  // Latin-1 text
        {"\x80", Verdict::Invalid},       // stray continuation
        {"a\xBF", Verdict::Invalid},
        {"\xC3\xA9\xA9", Verdict::Invalid},  // one continuation too many
        {"\xC3\xC3\xA9", Verdict::Invalid},  // lead where a continuation is due
        {"\xE2\x82"
         "a",
         Verdict::Invalid},
        {"\xE2\xF0\x9F\x98\x80", Verdict::Invalid},      // lead of four inside a sequence
        {"\xF0\x9F\x98\x80", Verdict::Passes},           // four-byte emoji: the model carries it
        {"\xF0\x9F\x98\x80\xE9t", Verdict::Invalid},     // Latin-1 after an emoji
        {"\xF5\x80\x80\x80", Verdict::Unsupported},      // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", Verdict::Unsupported},  // five-byte form
        {"\xFC\x84\x80\x80\x80\x80", Verdict::Unsupported},
        {"\xF0", Verdict::Invalid},  // cut short at the end
        // Windows-125x letters 0xF0-0xFF are single-byte text, not long forms: reinterpret.
        {"Gr\xFC\xDF"
         "e",
         Verdict::Invalid},
        {"Espa\xF1"
         "a",
         Verdict::Invalid},
        {"\xF6l", Verdict::Invalid},
        {"\xFE", Verdict::Invalid},
        {"\xFF", Verdict::Invalid},
        {"\xF8\x88\x80\x80\xF0\x9F\x98\x80", Verdict::Invalid},  // five-byte lead cut short
    };
    for (const auto& row : rows)
        EXPECT_EQ(Check(row.text), row.verdict) << "row: " << ::testing::PrintToString(row.text);
    // ASCII is read eight bytes at a time: each row's bytes at every offset around those words.
    for (size_t at = 0; at < 20; ++at)
        for (const auto& row : rows)
            EXPECT_EQ(Check(std::string(at, 'x') + row.text + std::string(19 - at, 'y')),
                      row.verdict)
                << at << " " << ::testing::PrintToString(row.text);
}

TEST(UTFCheckerTest, ExceptionsCarryMessageAndPlaceAndShareTheBase) {
    try {
        UTFChecker::Check("\x80");
        FAIL();
    } catch (const ErrorBase& e) {
        EXPECT_STREQ(e.what(), "Invalid utf-8 string detected.");
        EXPECT_EQ(e.file(), "utils/UTFChecker");
        EXPECT_GT(e.line(), 0);
        EXPECT_NE(dynamic_cast<const UTFChecker::UTFException*>(&e), nullptr);
    }
    EXPECT_THROW(UTFChecker::Check("\xF5"), UTFChecker::UTFException);
}

}  // namespace
