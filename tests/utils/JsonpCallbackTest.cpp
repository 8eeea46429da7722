#include <gtest/gtest.h>

#include <string>

#include "utils/JsonpCallback.h"
#include "utils/TextEscapes.h"

TEST(JsonpCallbackTest, AcceptsDottedIdentifierPathsOnly) {
    const struct {
        std::string name;
        bool valid;
    } rows[] = {
        {"kwirl.call", true},
        {"dojo.io.script.jsonp_dojoIoScript2._jsonpCallback", true},
        {"cb[3]", true},
        {"$x[0][12].y_1", true},
        {std::string(128, 'a'), true},
        {std::string(129, 'a'), false},
        {"", false},
        {"alert(document.cookie)//", false},
        {"a</script>", false},
        {"a..b", false},
        {"a.", false},
        {".a", false},
        {"1a", false},
        {"a[]", false},
        {"a[1", false},
        {"a[x]", false},
        {"a b", false},
        {"a;b", false},
        {"caf\xC3\xA9", false},
    };
    for (const auto& row : rows) EXPECT_EQ(IsValidJsonpCallback(row.name), row.valid) << row.name;
}

TEST(JsonpCallbackTest, ScriptStringEscapeLeavesNoWayOutOfTheString) {
    const struct {
        std::string in, out;
    } rows[] = {
        {"plain caf\xC3\xA9", "plain caf\xC3\xA9"},
        {"x\"]);alert(1);//", "x\\\"]);alert(1);//"},
        {"it's", "it\\u0027s"},
        {"</script><b>&amp;", "\\u003C/script\\u003E\\u003Cb\\u003E\\u0026amp;"},
        {"a\\b\n\x01", "a\\\\b\\n\\u0001"},
        {"\xE2\x80\xA8\xE2\x80\xA9", "\\u2028\\u2029"},
    };
    for (const auto& row : rows) EXPECT_EQ(ScriptStringEscape(row.in), row.out) << row.in;
    EXPECT_EQ(JsonStringEscape("it's <b>"), "it's <b>");
}
