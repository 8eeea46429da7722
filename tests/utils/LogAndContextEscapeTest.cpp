#include <gtest/gtest.h>

#include <string>

#include "utils/ContextEscape.h"
#include "utils/RequestValueRecord.h"
#include "utils/logging/LogFieldEscape.h"

namespace {

TEST(LogFieldEscapeTest, EscapesAreTellableFromText) {
    const struct {
        std::string field;
        std::string logged;
    } rows[] = {
        {"plain", "plain"},
        {"a\\tb", "a\\\\tb"},  // a backslash typed by the user is doubled
        {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"\x1B[31mred\x07\x0B\x0C\x7F", "\\x1b[31mred\\x07\\x0b\\x0c\\x7f"},
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
    };
    for (const auto& row : rows) EXPECT_EQ(LogFieldEscape(row.field), row.logged) << row.field;
}

TEST(LogFieldEscapeTest, LongFieldIsCappedWithAMarker) {
    const std::string logged = LogFieldEscape(std::string(kMaxLogFieldBytes + 10, 'x'));
    EXPECT_EQ(logged, std::string(kMaxLogFieldBytes, 'x') + "\\[+10 bytes]");
    EXPECT_EQ(LogFieldEscape(std::string(kMaxLogFieldBytes, 'x')).size(), kMaxLogFieldBytes);
}

TEST(ContextEscapeTest, ContentTypeChoosesTheEscape) {
    EXPECT_EQ(EscapeContextOf("text/html; charset=UTF-8"), EscapeContext::kHtml);
    EXPECT_EQ(EscapeContextOf("text/xml; charset=UTF-8"), EscapeContext::kXml);
    EXPECT_EQ(EscapeContextOf("text/xsl"), EscapeContext::kXml);
    EXPECT_EQ(EscapeContextOf("text/javascript; charset=UTF-8"), EscapeContext::kScript);
    EXPECT_EQ(EscapeContextOf("application/json"), EscapeContext::kScript);
    EXPECT_EQ(EscapeContextOf("text/css"), EscapeContext::kHtml);
    EXPECT_EQ(EscapeFor(EscapeContext::kHtml, "a'b\\c<\"&"), "a&#39;b&#92;c&lt;&quot;&amp;");
    EXPECT_EQ(EscapeFor(EscapeContext::kXml, "a\x01<b\t"), "a&lt;b\t");
    EXPECT_EQ(EscapeFor(EscapeContext::kScript, "a\"\xE2\x80\xA8"), "a\\\"\\u2028");
    EXPECT_EQ(EscapeFor(EscapeContext::kHeader, "a\r\nb\x7F"), "ab");
}

TEST(RequestValueRecordTest, TellsRequestTextFromTheCommandsOwn) {
    RequestValueRecord record;
    record.Fill("udn", "<i>");
    record.Fill("slang", "a&b");
    record.NoteHtmlEscaped("slang", "a&amp;b");
    EXPECT_EQ(record.OriginOf("udn", "<i>")->requestText, "<i>");
    EXPECT_FALSE(record.OriginOf("udn", "<i>")->htmlEscaped);
    EXPECT_FALSE(record.OriginOf("udn", "<b>written</b>"));
    EXPECT_FALSE(record.OriginOf("view", "<i>"));
    EXPECT_TRUE(record.OriginOf("slang", "a&amp;b")->htmlEscaped);
    EXPECT_EQ(record.OriginOf("slang", "a&amp;b")->requestText, "a&b");
}

}  // namespace
