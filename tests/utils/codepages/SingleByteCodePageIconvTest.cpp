// The code-page tables against the C library's iconv, which no one here wrote.
#include <errno.h>
#include <gtest/gtest.h>
#include <iconv.h>

#include <memory>
#include <optional>
#include <string>

#include "utils/codepages/LanguageCodePages.h"
#include "utils/codepages/SingleByteCodePage.h"

namespace {

struct IconvCloser {
    void operator()(iconv_t* cd) const {
        iconv_close(*cd);
        delete cd;
    }
};
using Converter = std::unique_ptr<iconv_t, IconvCloser>;

Converter Open(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return Converter(new iconv_t(cd));
}

// The whole input converted, or nullopt when iconv refuses it.
std::optional<std::string> Convert(const Converter& cd, std::string in) {
    iconv(*cd, nullptr, nullptr, nullptr, nullptr);
    char out[16];
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out;
    size_t outLeft = sizeof out;
    if (iconv(*cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    return std::string(out, static_cast<size_t>(outPtr - out));
}

std::string Utf16Le(char16_t unit) {
    return {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
}

struct PageCase {
    const char* iconvName;
    const SingleByteCodePage& (*page)();
};

class CodePageIconvTest : public ::testing::TestWithParam<PageCase> {
  protected:
    void SetUp() override {
        toUtf16 = Open("UTF-16LE", GetParam().iconvName);
        toUtf8 = Open("UTF-8", GetParam().iconvName);
        fromUtf16 = Open(GetParam().iconvName, "UTF-16LE");
        if (!toUtf16 || !toUtf8 || !fromUtf16)
            GTEST_SKIP() << "iconv lacks " << GetParam().iconvName;
    }
    const SingleByteCodePage& page() const { return GetParam().page(); }

    Converter toUtf16, toUtf8, fromUtf16;
};

TEST_P(CodePageIconvTest, EveryByteDecodesAsIconvDoesOrStandsForItsOwnValue) {
    int undefined = 0;
    for (int b = 0; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const auto utf16 = Convert(toUtf16, byte);
        const auto utf8 = Convert(toUtf8, byte);
        if (utf16) {
            EXPECT_TRUE(page().Defines(static_cast<unsigned char>(b))) << std::hex << b;
            EXPECT_EQ(Utf16Le(page().ToUnicode(static_cast<unsigned char>(b))), *utf16)
                << std::hex << b;
            ASSERT_TRUE(utf8.has_value());
            EXPECT_EQ(page().ToUtf8(byte), *utf8) << std::hex << b;
        } else {
            ++undefined;
            EXPECT_FALSE(page().Defines(static_cast<unsigned char>(b))) << std::hex << b;
            EXPECT_EQ(page().ToUnicode(static_cast<unsigned char>(b)), static_cast<char16_t>(b))
                << std::hex << b;
        }
    }
    EXPECT_LT(undefined, 0x80);
}

TEST_P(CodePageIconvTest, EveryBmpCodePointEncodesAsIconvDoesOrFallsBack) {
    for (char32_t cp = 0; cp <= 0xFFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const auto encoded = Convert(fromUtf16, Utf16Le(static_cast<char16_t>(cp)));
        const unsigned char expected = encoded      ? static_cast<unsigned char>((*encoded)[0])
                                       : cp <= 0xFF ? static_cast<unsigned char>(cp)
                                                    : 'w';
        if (encoded) {
            ASSERT_EQ(encoded->size(), 1u);
        }
        ASSERT_EQ(page().FromUnicode(cp), expected)
            << "U+" << std::hex << static_cast<unsigned>(cp);
    }
}

TEST_P(CodePageIconvTest, EveryByteSurvivesTheRoundTrip) {
    for (int b = 0; b <= 0xFF; ++b)
        EXPECT_EQ(page().FromUnicode(page().ToUnicode(static_cast<unsigned char>(b))), b)
            << std::hex << b;
}

INSTANTIATE_TEST_SUITE_P(WindowsPages, CodePageIconvTest,
                         ::testing::Values(PageCase{"CP1250", &SingleByteCodePage::Windows1250},
                                           PageCase{"CP1251", &SingleByteCodePage::Windows1251},
                                           PageCase{"CP1252", &SingleByteCodePage::Windows1252},
                                           PageCase{"CP1253", &SingleByteCodePage::Windows1253}),
                         [](const auto& info) { return std::string(info.param.iconvName); });

TEST(LanguageCodePagesTest, LanguagesPickTheirPagesAndTheFirstRowWins) {
    EXPECT_EQ(LanguageCodePages::ForLanguage(LanguageCodePages::Pack("ru"))->number(), 1251);
    EXPECT_EQ(LanguageCodePages::ForLanguage(LanguageCodePages::Pack("ua"))->number(), 1251);
    EXPECT_EQ(LanguageCodePages::ForLanguage(LanguageCodePages::Pack("el"))->number(), 1253);
    EXPECT_EQ(LanguageCodePages::ForLanguage(LanguageCodePages::Pack("cy"))->number(), 1252);
    EXPECT_EQ(LanguageCodePages::ForLanguage(LanguageCodePages::Pack("du"))->number(), 1250);
    EXPECT_EQ(LanguageCodePages::ForLanguage(LanguageCodePages::kReinterpretLanguage)->number(),
              1250);
    EXPECT_EQ(LanguageCodePages::Pack("am"), 0x616D);
    EXPECT_EQ(LanguageCodePages::ForLanguage(LanguageCodePages::Pack("zz")), nullptr);
    EXPECT_EQ(LanguageCodePages::Pack("a"), 0);
}

TEST(SingleByteCodePageTest, CodePointsOutsideThePageFallBackToOwnValueOrW) {
    const auto& cyrillic = SingleByteCodePage::Windows1251();
    EXPECT_EQ(cyrillic.FromUnicode(0x00E9), 0xE9);  // own value, although 0xE9 means U+0439 here
    EXPECT_EQ(cyrillic.FromUnicode(0x4E2D), 'w');
    EXPECT_EQ(cyrillic.FromUnicode(0x1F600), 'w');
    EXPECT_EQ(cyrillic.ToUtf8("\xC0\xFF"), "\xD0\x90\xD1\x8F");
}

}  // namespace
