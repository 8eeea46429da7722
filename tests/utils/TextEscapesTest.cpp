#include <gtest/gtest.h>

#include "utils/TextEscapes.h"

TEST(TextEscapesTest, HtmlEscape) {
    const struct {
        std::string in, out;
    } rows[] = {
        {"plain", "plain"},
        {"\t\"&<>", "&#9;&quot;&amp;&lt;&gt;"},
        {"a\r\nb", "a&#13;&#10;b"},
        {"a\r\n\nb", "a&#13;&#10;b"},
        {"a\r\n\n\n\nb", "a&#13;&#10;b"},
        {"a\r\r\n\nb", "a&#13;&#13;&#10;b"},
        {"a\n\nb", "a&#10;&#10;b"},
        {"a\r\n\r\n\nb", "a&#13;&#10;&#13;&#10;b"},
        {"&#13;&#10;&#10;", "&amp;#13;&amp;#10;&amp;#10;"},  // literal references are not collapsed
        {std::string("\0\xC3\xA9", 3), std::string("\0\xC3\xA9", 3)},
    };
    for (const auto& row : rows) EXPECT_EQ(HtmlEscape(row.in), row.out) << row.in;
    // Plain runs are read eight bytes at a time: each escaped byte (and the other control bytes
    // the word test lets through) at every offset around those words.
    for (size_t at = 0; at < 20; ++at) {
        const std::string before(at, 'x'), after(19 - at, 'y');
        for (const char* raw : {"\t", "\"", "&", "<", ">", "\x01", "\x0C", "\r\n\n"}) {
            const std::string special = raw;
            EXPECT_EQ(HtmlEscape(before + special + after), before + HtmlEscape(special) + after)
                << at << " " << int(special[0]);
        }
    }
}

TEST(TextEscapesTest, ParenthesisEscape) {
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"f(x)", "f&#040;x&#041;"},
        {"%28a%29", "&#040;a&#041;"},
        {"a%2Fb", "a&#047;b"},
        {"a%2fb", "a%2fb"},  // upper-case F only
        {"%%2829", "%&#040;29"},
        {"%2", "%2"},
        {"", ""},
    };
    for (const auto& row : rows) EXPECT_EQ(ParenthesisEscape(row.in), row.out) << row.in;
}

TEST(TextEscapesTest, WideHtmlEscapeKeepsAmpersands) {
    EXPECT_EQ(WideHtmlEscape(u"a&b <\u00E9> \"\t\r\n\n\n"),
              u"a&b &lt;\u00E9&gt; &quot;&#9;&#13;&#10;");
}

TEST(TextEscapesTest, JavaScriptStringEscape) {
    EXPECT_EQ(JavaScriptStringEscape(u"it's \"q\" a\\b\t\r\n\u20AC"),
              u"it\\'s ' + String.fromCharCode(34) + 'q' + String.fromCharCode(34) + ' "
              u"a\\\\b\\t\\r\\n\u20AC");
}

TEST(TextEscapesTest, XmlTextEscape) {
    // Runs longer than the eight-byte scan, with the escaped bytes at every offset in a word.
    const struct {
        std::string in, out;
    } rows[] = {
        {"a&b<c>d\"e'f\xC3\xA9", "a&amp;b&lt;c&gt;d&quot;e&apos;f\xC3\xA9"},
        {"", ""},
        {"plainwordsonly, seventeen+", "plainwordsonly, seventeen+"},
        {"abcdefgh<", "abcdefgh&lt;"},
        {"abcdefg'hijklmnopq", "abcdefg&apos;hijklmnopq"},
        {"<<<<<<<<>", "&lt;&lt;&lt;&lt;&lt;&lt;&lt;&lt;&gt;"},
        {"0123456789abcde\"", "0123456789abcde&quot;"},
        {std::string("nul\0byte&\x7F\xFF", 11), std::string("nul\0byte&amp;\x7F\xFF", 15)},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(XmlTextEscape(row.in), row.out) << row.in;
        std::string appended = "kept:";
        AppendXmlTextEscaped(appended, row.in);
        EXPECT_EQ(appended, "kept:" + row.out) << row.in;
    }
}

TEST(TextEscapesTest, JsonStringEscape) {
    const struct {
        std::string in, out;
    } rows[] = {
        {"say \"hi\"", "say \\\"hi\\\""},
        {"a\\b", "a\\\\b"},
        {"\t\r\n\b\f", "\\t\\r\\n\\b\\f"},
        {std::string("\0\x1F\x7F", 3), "\\u0000\\u001F\\u007F"},
        {"x\xE2\x80\xA8y\xE2\x80\xA9", "x\\u2028y\\u2029"},
        {"\xE2\x82\xAC</script>", "\xE2\x82\xAC</script>"},
        {"\xE2\x80", "\xE2\x80"},
        {"\xE2\x80\xAA\xE2\xE2\x80\xA8", "\xE2\x80\xAA\xE2\\u2028"},
    };
    for (const auto& row : rows) EXPECT_EQ(JsonStringEscape(row.in), row.out) << row.in;
}
