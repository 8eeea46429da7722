#include <gtest/gtest.h>

#include <string>

#include "kernel/RedirectTarget.h"
#include "kernel/ResponseOutput.h"
#include "kernel/SettingsCookies.h"

namespace {

constexpr char kHost[] = "spell.example.com:8080";
constexpr char kAllowed[] = "https://app.example.com, http://intranet:8443/";

TEST(RedirectTargetTest, OnlyRelativeOwnHostOrListedOriginsPass) {
    const struct {
        const char* url;
        bool allowed;
    } rows[] = {
        {"", true},
        {"/done.html", true},
        {"done.html?x=1", true},
        {"?frame=2", true},
        {"#top", true},
        {"http://spell.example.com:8080/back", true},
        {"HTTPS://Spell.Example.com:8080", true},
        {"https://app.example.com/page", true},
        {"http://intranet:8443?x", true},
        {"https://evil.example/", false},
        {"http://spell.example.com/back", false},  // other port, other origin
        {"https://app.example.com.evil.example/", false},
        {"https://app.example.com@evil.example/", false},
        {"//evil.example/", false},
        {"/\\evil.example", false},
        {"\\\\evil.example", false},
        {"javascript:alert(1)", false},
        {"JaVaScRiPt:alert(1)", false},
        {"java\tscript:alert(1)", false},
        {"data:text/html,<script>alert(1)</script>", false},
        {"/ok\r\nSet-Cookie: a=1", false},
        {"ftp://spell.example.com:8080/", false},
        {"http://", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RedirectTarget::IsAllowed(row.url, kHost, kAllowed), row.allowed) << row.url;
    EXPECT_FALSE(RedirectTarget::IsAllowed("https://x.example/", "", ""));
}

TEST(SettingsCookiesTest, ValuesKeepTheirRules) {
    using namespace SettingsCookies;
    EXPECT_TRUE(IsValidOsp(""));
    EXPECT_TRUE(IsValidOsp("0001"));
    EXPECT_TRUE(IsValidOsp("01010101"));
    EXPECT_FALSE(IsValidOsp("010101010"));
    EXPECT_FALSE(IsValidOsp("0002"));
    EXPECT_FALSE(IsValidOsp("&amp;"));
    EXPECT_TRUE(IsValidCustomDictionaryIds("1,22,333"));
    EXPECT_FALSE(IsValidCustomDictionaryIds("1;2"));
    EXPECT_FALSE(IsValidCustomDictionaryIds(std::string(257, '1')));
    EXPECT_TRUE(IsValidCustomDictionaryIds(std::string(256, '1')));
    EXPECT_TRUE(IsValidDictionaryName("My words"));
    EXPECT_TRUE(IsValidDictionaryName("W\xC3\xB6rter"));
    EXPECT_TRUE(IsValidDictionaryName(std::string(100, 'a')));
    EXPECT_FALSE(IsValidDictionaryName(std::string(101, 'a')));
    EXPECT_FALSE(IsValidDictionaryName(std::string(4096, 'a')));  // the cookie bomb
    EXPECT_FALSE(IsValidDictionaryName(""));
    EXPECT_FALSE(IsValidDictionaryName("a,b"));
    EXPECT_FALSE(IsValidDictionaryName("a\r\nb"));
    EXPECT_FALSE(IsValidDictionaryName("caf\xE9"));
    EXPECT_TRUE(IsValidCookieWordList(std::string(4000, 'a')));
    EXPECT_FALSE(IsValidCookieWordList(std::string(4001, 'a')));
    EXPECT_TRUE(IsValidCookieWordList(std::string(3994, 'a') + "\xC3\xB6"));  // 4,000 encoded
    EXPECT_FALSE(IsValidCookieWordList(std::string(3995, 'a') + "\xC3\xB6"));
    EXPECT_FALSE(IsValidCookieWordList(std::string(1400, '\xE9')));
}

TEST(SettingsCookiesTest, PercentEncodingRoundTripsThroughOneDecode) {
    EXPECT_EQ(SettingsCookies::PercentEncode("My words"), "My%20words");
    EXPECT_EQ(SettingsCookies::PercentEncode("a;b=c%d+e\"<&>"), "a%3Bb%3Dc%25d%2Be%22%3C%26%3E");
    EXPECT_EQ(SettingsCookies::PercentEncode("\xC3\xB6-._~"), "%C3%B6-._~");
}

TEST(HeaderValueTest, EveryControlByteIsDropped) {
    EXPECT_EQ(HeaderValue("a\r\nb\tc\x01\x1B\x7F"
                          "d"),
              "abcd");
    EXPECT_EQ(HeaderValue("text/html; charset=UTF-8"), "text/html; charset=UTF-8");
}

// The date of the second before is kept: each row must give its own second, also when repeated.
TEST(HttpDateTest, EachSecondHasItsOwnDate) {
    const std::pair<std::time_t, const char*> rows[] = {
        {0, "Thu, 01 Jan 1970 00:00:00 GMT"},
        {0, "Thu, 01 Jan 1970 00:00:00 GMT"},
        {2145916800, "Fri, 01 Jan 2038 00:00:00 GMT"},
        {2145916801, "Fri, 01 Jan 2038 00:00:01 GMT"},
        {0, "Thu, 01 Jan 1970 00:00:00 GMT"},
    };
    for (const auto& [when, date] : rows) EXPECT_EQ(HttpDate(when), date) << when;
}

}  // namespace
