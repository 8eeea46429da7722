#include <gtest/gtest.h>

#include "wire/WireHeader.h"
#include "wire/WireRequest.h"

TEST(WireRequestTest, BodyHasOneEscapedLinePerNameAndParameter) {
    EXPECT_EQ(wire::BuildRequestBody("check_spelling4", {"en_US", "", "a\\b\t\r\n\xE9"}),
              "check_spelling4\r\nen_US\r\n\r\na\\\\b\\t\\r\\n\\xE9\r\n");
}

TEST(WireRequestTest, MessageCarriesTheExactHeaderBlockAndBodyLength) {
    const std::string body = wire::BuildRequestBody("f", {"x"});
    EXPECT_EQ(wire::BuildRequestMessage(body),
              "GET /x.100 HTTP/1.0\r\nAccept: text/html\r\nAccept: image/Verbar\r\n"
              "Content-type: image/Verbar\r\nContent-length: 6\r\nOptions: version=3.0\r\n\r\n"
              "f\r\nx\r\n");
}

TEST(WireRequestTest, ParseIsTheInverseOfBuild) {
    const std::vector<std::string> params = {"", "two words", "\xF0\x9F\x98\x80", "a\r\nb", ""};
    const auto parsed = wire::ParseRequestBody(wire::BuildRequestBody("get_syn_list", params));
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.call.function, "get_syn_list");
    EXPECT_EQ(parsed.call.params, params);
}

struct ParseRow {
    const char* name;
    std::string body;
    wire::RequestParseError error;
    size_t paramCount;
};

TEST(WireRequestTest, HostileBodies) {
    using E = wire::RequestParseError;
    const ParseRow rows[] = {
        {"empty body", "", E::kEmptyBody, 0},
        {"only a line end", "\r\n", E::kEmptyFunction, 0},
        {"bare LF lines", "f\nx\ny\n", E::kNone, 2},
        {"last line without LF", "f\r\nx", E::kNone, 1},
        {"bad escape in a parameter", "f\r\nok\r\nbad\\q\r\n", E::kBadEscape, 0},
        {"backslash at end of name", "f\\\r\n", E::kBadEscape, 0},
        {"NUL bytes pass raw", std::string("f\r\na\0b\r\n", 8), E::kNone, 1},
    };
    for (const auto& row : rows) {
        const auto parsed = wire::ParseRequestBody(row.body);
        EXPECT_EQ(parsed.error, row.error) << row.name;
        if (row.error == E::kNone) {
            EXPECT_EQ(parsed.call.params.size(), row.paramCount) << row.name;
        }
    }
    EXPECT_EQ(wire::ParseRequestBody("f\r\nok\r\nbad\\q\r\n").badLine, 2u);
}
