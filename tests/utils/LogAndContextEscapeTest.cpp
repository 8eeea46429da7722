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
        {"\xE2\x82\xAC \xF0\x9F\x98\x80", "\xE2\x82\xAC \xF0\x9F\x98\x80"},
        // C1 controls, raw or encoded; bidi controls; line and paragraph separators.
        {"a\x9B"
         "31mb",
         "a\\x9b31mb"},
        {"a\x85"
         "b",
         "a\\x85b"},
        {"\xC2\x85\xC2\x9B"
         "1m",
         "\\xc2\\x85\\xc2\\x9b1m"},
        {"\xC2\xA0", "\xC2\xA0"},
        {"x\xE2\x80\xAEtxt.exe", "x\\xe2\\x80\\xaetxt.exe"},
        {"\xE2\x81\xA6\xE2\x81\xA9\xE2\x80\x8F\xD8\x9C",
         "\\xe2\\x81\\xa6\\xe2\\x81\\xa9\\xe2\\x80\\x8f\\xd8\\x9c"},
        {"a\xE2\x80\xA8"
         "b\xE2\x80\xA9",
         "a\\xe2\\x80\\xa8b\\xe2\\x80\\xa9"},
        {"\xE2\x80\x94", "\xE2\x80\x94"},  // a dash is text
        {"\xC0\xBC\xE9t", "\\xc0\\xbc\\xe9t"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LogFieldEscape(row.field), row.logged) << row.field;
        std::string line = "before\t";  // appended in place, the same escapes after what was there
        AppendLogFieldEscaped(row.field, line);
        EXPECT_EQ(line, "before\t" + row.logged) << row.field;
    }
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
