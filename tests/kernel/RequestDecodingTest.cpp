#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/RequestDecoding.h"
#include "utils/UTFChecker.h"

using RequestDecoding::Parameter;

namespace {

std::string Show(const std::vector<Parameter>& params) {
    std::string out;
    for (const auto& p : params) out += "[" + p.name + "|" + p.value + "]";
    return out;
}

struct ParseRow {
    std::string raw;
    std::string parsed;
};

TEST(RequestDecodingTest, ParsesPiecesLikeTheBrowsersSendThem) {
    const ParseRow rows[] = {
        {"", "[|]"},
        {"a=1&a=2", "[a|1][a|2]"},  // duplicates kept in order; the store keeps the last
        {"Cmd=Spell", "[cmd|Spell]"},
        {"x", "[x|x]"},
        {"X", "[x|X]"},
        {"&", "[|][|]"},
        {"=v", "[|v]"},
        {"a=", "[a|]"},
        {"a==b", "[a|=b]"},
        {"a%3Db=c", "[a|b=c]"},  // decoding comes before the split
        {"t=%0D%0A%0A", "[t|\r\n]"},
        {"t=%0D%0A%0A%0A", "[t|\r\n\n]"},
        {"t=%0d%0a%0a", "[t|\r\n\n]"},  // only the upper-case spelling is shortened
        {"t=a+b%2Bc", "[t|a b+c]"},
        {"t=%", "[t|]"},
        {"%41=%42", "[a|B]"},
        {"A%C3%89=1", "[a\xC3\x89|1]"},  // only ASCII letters are lowered
        {"a=1&&b=2", "[a|1][|][b|2]"},
        {"t=%%0D%0A%0A", "[t|%0D\n]"},  // shortened before decoding, whatever it then reads as
        {"a%3D%3Db=c", "[a|=b=c]"},
        {"%=x", "[|x]"},  // "%" without digits keeps the "=" after it, which splits
        {"a+=b+", "[a |b ]"},
        {"t=%41%41%41%0D%0A%0A", "[t|AAA\r\n]"},  // the sequence after other escapes
        {"t=%0D%0A%0&%0A", "[t|\r\n0][\n|\n]"},   // not across pieces
        {"t=%0D%0A%0D%0A%0A", "[t|\r\n\r\n]"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Show(RequestDecoding::ParseParameters(row.raw)), row.parsed) << row.raw;
}

TEST(RequestDecodingTest, PiecesBeyondTheParameterLimitAreIgnored) {
    const size_t limit = RequestDecoding::kMaxParameters;
    const struct {
        std::string raw;
        size_t count;
        std::string last;
    } rows[] = {
        {std::string(limit - 2, '&'), limit - 1, ""},
        {std::string(limit - 1, '&') + "a=1", limit, "a"},
        {std::string(limit, '&') + "a=1", limit, ""},
        {std::string(4u << 20, '&'), limit, ""},
    };
    for (const auto& row : rows) {
        const auto params = RequestDecoding::ParseParameters(row.raw);
        EXPECT_EQ(params.size(), row.count) << row.raw.size();
        ASSERT_FALSE(params.empty());
        EXPECT_EQ(params.back().name, row.last) << row.raw.size();
    }
}

TEST(RequestDecodingTest, ReservedNamesAreInternalConfigurationOnlyOrProgramOutput) {
    for (const char* name : {":app_path:",
                             ":ini_name:",
                             ":",
                             ":x",
                             "acl_file_name",
                             "include_file",
                             "appserver_hostname",
                             "appserver_port",
                             "service_host",
                             "server_id",
                             "rtl",
                             "view",
                             "loaddlg",
                             "right_to_left",
                             "e_message",
                             "product_website",
                             "tx_no10",
                             "tx_",
                             "service_ca_file",
                             "service_connect_timeout_ms",
                             "service_timeout_ms",
                             "no_cache"})
        EXPECT_TRUE(RequestDecoding::IsReservedParameterName(name)) << name;
    for (const char* name : {"", "cmd", "text", "slang", "udn", "x:", "acl_file_name2", "rtl ",
                             "viewer", "word", "tx"})
        EXPECT_FALSE(RequestDecoding::IsReservedParameterName(name)) << name;
}

TEST(RequestDecodingTest, ContentLengthReadsLikeAtoiButSaturates) {
    EXPECT_EQ(RequestDecoding::ParseContentLength("12"), 12);
    EXPECT_EQ(RequestDecoding::ParseContentLength("  12abc"), 12);
    EXPECT_EQ(RequestDecoding::ParseContentLength("+7"), 7);
    EXPECT_EQ(RequestDecoding::ParseContentLength("-5"), -5);
    EXPECT_EQ(RequestDecoding::ParseContentLength("abc"), 0);
    EXPECT_EQ(RequestDecoding::ParseContentLength(""), 0);
    EXPECT_EQ(RequestDecoding::ParseContentLength("99999999999999999999999"),
              std::numeric_limits<long long>::max());
}

TEST(RequestDecodingTest, BodyLimitTakesOnlyPositiveNumbers) {
    EXPECT_EQ(RequestDecoding::BodyLimit(std::nullopt, 10), 10u);
    EXPECT_EQ(RequestDecoding::BodyLimit("", 10), 10u);
    EXPECT_EQ(RequestDecoding::BodyLimit("0", 10), 10u);
    EXPECT_EQ(RequestDecoding::BodyLimit("-3", 10), 10u);
    EXPECT_EQ(RequestDecoding::BodyLimit("12k", 10), 10u);
    EXPECT_EQ(RequestDecoding::BodyLimit("100", 10), 100u);
}

TEST(RequestDecodingTest, ScanSkipsInternalKeysAndLooksPastUnsupportedValues) {
    StringMap map{{":app_path:", "/srv/\xE9/"}, {"a", "\xF8\x88\x80\x80\x80"}, {"b", "ok"}};
    auto scan = RequestDecoding::ScanValues(map);
    EXPECT_FALSE(scan.invalid);
    EXPECT_TRUE(scan.unsupported);

    map["c"] = "caf\xE9!";
    scan = RequestDecoding::ScanValues(map);
    EXPECT_TRUE(scan.invalid);
    EXPECT_EQ(scan.checkerFile, "utils/UTFChecker");
}

TEST(RequestDecodingTest, ReinterpretConvertsValuesButNotInternalKeys) {
    StringMap map{{":app_path:", "/srv/\xC3\xA9/"}, {"t", "\xE9t\xE9"}, {"u", "\xC3\xA9"}};
    RequestDecoding::ReinterpretValues(map, SingleByteCodePage::Windows1250());
    EXPECT_EQ(map[":app_path:"], "/srv/\xC3\xA9/");
    EXPECT_EQ(map["t"], "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(map["u"],
              "\xC4\x82\xC2\xA9");  // valid values are reinterpreted too: one encoding per request
}

class CookieTest : public ::testing::Test {
  protected:
    StringMap Apply(const std::string& header, StringMap map = {}) {
        RequestDecoding::ApplyCookies(map, header, SingleByteCodePage::Windows1250());
        return map;
    }
};

TEST_F(CookieTest, UdIsDecodedTwiceAndDefaultsApply) {
    auto map = Apply("ud=%2541");
    EXPECT_EQ(map["ud"], "A");
    EXPECT_EQ(map["osp"], "0001");
    EXPECT_EQ(map[":lng_pdef:"], "");
    EXPECT_EQ(map[":cookies:"], "ud=%2541");
}

TEST_F(CookieTest, CookiesReplaceParametersOfTheSameName) {
    auto map =
        Apply("osp=0100; LLng=de; ud=x", {{"osp", "1111"}, {"ud", "param"}, {":cookies:", "kept"}});
    EXPECT_EQ(map["osp"], "0100");
    EXPECT_EQ(map["ud"], "x");
    EXPECT_EQ(map[":lng_pdef:"], "de");
    EXPECT_EQ(map[":cookies:"], "kept");
}

TEST_F(CookieTest, UdnFollowsTheCookieUnlessDeletedOrGiven) {
    EXPECT_EQ(Apply("udn=mine")["udn"], "mine");
    EXPECT_EQ(Apply("udn=[/]")["udn"], "");
    EXPECT_EQ(Apply("udn=mine", {{"udn", "param"}})["udn"], "param");
    EXPECT_EQ(Apply("udn=[/]", {{"udn", "param"}, {"udn_override", "0"}})["udn"], "[/]");
    EXPECT_EQ(Apply("udn=mine", {{"udn", "param"}, {"udn_override", "0"}})["udn"], "mine");
    EXPECT_EQ(Apply("udn=mine")["c_udn"], "mine");
    // The key stays apart from the parameter "udk", and only in the engine's form.
    EXPECT_EQ(Apply("udk=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                    {{"udk", "param"}})[":udk:"],
              "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    EXPECT_EQ(Apply("udk=aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
                    {{"udk", "param"}})["udk"],
              "param");
    EXPECT_EQ(Apply("udk=x%0D%0A")[":udk:"], "");
}

TEST_F(CookieTest, CustomDictionariesFollowTheCookieUnlessInitOrDeleted) {
    EXPECT_EQ(Apply("cust_dic_ids=1,2")["cust_dic_ids"], "1,2");
    EXPECT_EQ(Apply("cust_dic_ids=1,2", {{"init", ""}})["cust_dic_ids"], "");
    EXPECT_EQ(Apply("cust_dic_ids=[/]")["cust_dic_ids"], "");
    EXPECT_EQ(Apply("cust_dic_ids=1,2", {{"cust_dic_ids", "3"}})["cust_dic_ids"], "3");
    EXPECT_EQ(Apply("cust_dic_ids=1,2")["c_cust_dic_ids"], "1,2");
}

TEST_F(CookieTest, CookieValuesThatAreNotUtf8AreConverted) {
    auto map = Apply("udn=caf%E9s; osp=%F0%9F%98%80");
    EXPECT_EQ(map["udn"], "caf\xC3\xA9s");
    EXPECT_EQ(map["osp"], "\xF0\x9F\x98\x80");
    // Over-long forms of "<" and a quote are single-byte text, not characters kept as they came.
    for (const char* header :
         {"udn=%C0%BCb", "osp=%E0%80%A2", "LLng=%F0%80%80%BC", "udn=%ED%A0%80"}) {
        const auto converted = Apply(header);
        for (const auto& [key, value] : converted)
            EXPECT_NO_THROW(UTFChecker::Check(value)) << header << " " << key;
    }
}

TEST_F(CookieTest, ApplyingCookiesCreatesNoOtherKeys) {
    const auto map = Apply("x=1");
    for (const auto& [key, value] : map)
        EXPECT_TRUE(key == ":cookies:" || key == "ud" || key == "c_udn" || key == "udn" ||
                    key == "c_cust_dic_ids" || key == "cust_dic_ids" || key == "osp" ||
                    key == ":lng_pdef:" || key == ":udk:")
            << key;
}

}  // namespace
