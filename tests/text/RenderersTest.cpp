// Decorators and renderers: the marked text for the dialog, the check-as-you-type scripts and
// the Flash client, the display conversion of plain text, and the word lists.
#include <gtest/gtest.h>

#include "text/DefaultErrorDecorator.h"
#include "text/EIncorrectPosition.h"
#include "text/FlashErrorDecorator.h"
#include "text/KwrlErrorDecorator.h"
#include "text/TextRenderers.h"
#include "text/TextTestSupport.h"
#include "text/WordEncodings.h"

using namespace texttest;

namespace {

struct Fixture {
    explicit Fixture(std::string_view text, const FilteringParams& params = {})
        : processor("", params) {
        processor.SetText(text);
    }
    Fixture& Problem(int position, int length, int id = 0) {
        processor.AddProblem(position, length, id);
        return *this;
    }
    TextProcessor processor;
};

std::string Link(int index, const char* word, int position, int length, int id, const char* ident,
                 bool current = false) {
    return "<a name='sg_" + std::to_string(index) +
           "' href=\"javascript:void(0);\" onclick=\"submit_bot('suggest', '" + word + "', " +
           std::to_string(position) + ", " + std::to_string(length) + ", " + std::to_string(index) +
           ", " + std::to_string(id) + ", '" + ident + "');\"" + (current ? " class=cerr" : "") +
           ">";
}

}  // namespace

// Word encodings

TEST(WordEncodings, ScriptAndIdentifierForms) {
    EXPECT_EQ(u"a\\tb\\nc\\rd' + String.fromCharCode(34) + 'e\\'f\\\\g",
              ScriptEscape(u"a\tb\nc\rd\"e'f\\g"));
    EXPECT_EQ(u"don-39t-32-48-57caf-233", IdentifierForm(u"don't 09caf\u00e9"));
}

// Default decorator

TEST(DefaultDecorator, MarksEachProblemAndTheCurrentOne) {
    Fixture f("teh cat sat on teh mat");
    f.Problem(0, 3, 11).Problem(8, 3, 12).Problem(15, 3, 13);
    DefaultErrorDecorator decorator(u"suggest", 2);
    EXPECT_EQ(Link(0, "teh", 0, 3, 11, "teh") + "teh</a> cat " + Link(1, "sat", 8, 3, 12, "sat") +
                  "sat</a> on " + Link(2, "teh", 15, 3, 13, "teh", true) + "teh</a> mat ",
              RenderDecorated(f.processor, decorator));
}

TEST(DefaultDecorator, SkipsAProblemThatStartsInsideThePreviousOne) {
    Fixture f("abc def ghi");
    // The second and third start inside the first; a skipped problem still moves the end on,
    // so the fourth (inside the third) is skipped too, and the fifth is marked.
    f.Problem(0, 3).Problem(0, 3).Problem(2, 3).Problem(4, 3).Problem(8, 3);
    DefaultErrorDecorator decorator(u"suggest", -1);
    const std::string out = RenderDecorated(f.processor, decorator);
    EXPECT_EQ(Link(0, "abc", 0, 3, 0, "abc") + "abc</a> def " + Link(4, "ghi", 8, 3, 0, "ghi") +
                  "ghi</a> ",
              out);
}

TEST(DefaultDecorator, RendersTheFilteredViewOfHtmlWithoutDisplayConversion) {
    Fixture f("<p onclick=x>Teh  <blink>cat</blink></p>\n");
    f.Problem(1, 3);  // the P tag reads as a blank at 0
    DefaultErrorDecorator decorator(u"suggest", 0);
    EXPECT_EQ("<p >" + Link(0, "Teh", 1, 3, 0, "Teh", true) + "Teh</a>  cat</p>\n ",
              RenderDecorated(f.processor, decorator));
}

TEST(DefaultDecorator, RenderingTwiceGivesTheSameText) {
    Fixture f("one two");
    f.Problem(4, 3);
    DefaultErrorDecorator decorator(u"suggest", 0);
    const std::string first = RenderDecorated(f.processor, decorator);
    EXPECT_EQ(first, RenderDecorated(f.processor, decorator));
    EXPECT_EQ("one two ", f.processor.GetText());
}

TEST(DefaultDecorator, ProblemOutsideTheStreamRaises) {
    Fixture f("abc");
    f.Problem(2, 5);
    DefaultErrorDecorator decorator(u"suggest", 0);
    EXPECT_THROW(RenderDecorated(f.processor, decorator), EIncorrectPosition);
    EXPECT_EQ(u"", f.processor.Text().MarkerString());
}

// Display conversion of plain text

TEST(DisplayConversion, BlanksTabsAndLineEnds) {
    struct Row {
        std::u16string in;
        std::u16string out;
    };
    const std::vector<Row> rows = {
        {u"a  b", u"a &nbsp;b"},
        {u" a", u" a"},
        {u"a\r\nb", u"a&nbsp;<br />b"},
        {u"a\n\rb", u"a&nbsp;<br />b"},
        {u"a\n\nb", u"a&nbsp;<br />&nbsp;<br />b"},
        {u"a\r b", u"a&nbsp;<br />&nbsp;b"},
        {u"a\tb", u"a&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;b"},
        {u"<a x='1  2'\t>w  </a>", u"<a x='1  2'\t>w &nbsp;</a>"},
        {u"<<b", u"<<b"},
        {u"word\r\n\r\nnext", u"word&nbsp;<br />&nbsp;<br />next"},
        {u"\u00e9t\u00e9  x", u"\u00e9t\u00e9 &nbsp;x"},  // runs of any other characters
        {u"a>b  c", u"a>b &nbsp;c"},
        {u"<i\t>\t", u"<i\t>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.out, DisplayConvert(row.in)) << U8(row.in);
}

TEST(DisplayConversion, GrowsAtMostThreefoldPlusAnAllowance) {
    const struct {
        std::u16string text;
        bool expandedThrough;  // the last character was still converted
    } rows[] = {
        {std::u16string(85, u'\t'), true},  // 85 * 48 units: within 3 * 85 + 4096
        {std::u16string(100000, u'\t'), false},
        {u"a" + std::u16string(100000, u' '), false},
        {std::u16string(100000, u'\n'), false},
        {std::u16string(100000, u'x'), true},
        {u"a\tb  c\r\n", true},
    };
    for (const auto& row : rows) {
        const std::u16string out = DisplayConvert(row.text);
        EXPECT_LE(out.size(), row.text.size() * 4 + 4096 + 48) << row.text.size();
        const bool lastKept = out.back() == row.text.back();
        EXPECT_EQ(lastKept && row.text.back() != u'x', !row.expandedThrough) << row.text.size();
    }
}

TEST(DisplayConversion, AppliesToPlainTextOnly) {
    Fixture plain("two  blanks");
    KwrlErrorDecorator kwrl;
    EXPECT_EQ("two &nbsp;blanks ", RenderDecorated(plain.processor, kwrl));
    Fixture html("two  <b>blanks</b>");
    EXPECT_EQ("two  <b>blanks</b> ", RenderDecorated(html.processor, kwrl));
}

// Markup injection through plain text

TEST(PlainTextInjection, TextNeverBecomesMarkupInHtmlRenderings) {
    struct Row {
        const char* in;
        const char* out;  // rendered with the default decorator, no problems
    };
    const std::vector<Row> rows = {
        {"x <svg onload=alert(1) ", "x &lt;svg onload=alert(1) &nbsp;"},
        {"AT&T > 3", "AT&amp;T &gt; 3 "},
        {"&lt <svg onload=alert(1)>;", "&lt &lt;svg onload=alert(1)&gt;; "},
        {"[B <svg onload=alert(1)>]", "[B &lt;svg onload=alert(1)&gt;] "},
        {"#<a/b> x", "#&lt;a/b&gt; x "},
        {"<i>&lt;</i> 1 < 2", "<i>&lt;</i> 1 &lt; 2 "},
    };
    for (const auto& row : rows) {
        Fixture f(row.in);
        DefaultErrorDecorator decorator(u"suggest", 0);
        EXPECT_EQ(row.out, RenderDecorated(f.processor, decorator)) << row.in;
    }
}

TEST(PlainTextInjection, DecorationAfterAStrayAngleStaysOutsideIt) {
    Fixture f("<svg onload=alert(1) teh");
    f.Problem(21, 3);
    DefaultErrorDecorator decorator(u"suggest", 0);
    const std::string out = RenderDecorated(f.processor, decorator);
    EXPECT_EQ(0u, out.find("&lt;svg onload=alert(1) <a name='sg_0'")) << out;
}

TEST(PlainTextInjection, WordsInDecorationAttributesAreReferences) {
    Fixture f("x&#38;#39);alert(1)// y");
    f.Problem(0, 17);
    DefaultErrorDecorator decorator(u"suggest", 0);
    const std::string out = RenderDecorated(f.processor, decorator);
    EXPECT_NE(std::string::npos, out.find("'x&amp;#39);alert(1)//'")) << out;
    KwrlErrorDecorator kwrl;
    EXPECT_NE(std::string::npos,
              RenderDecorated(f.processor, kwrl).find("name=\"x&amp;#39);alert(1)//\""));
}

// Check-as-you-type and Flash decorators

TEST(KwrlDecorator, WrapsWordsInSpans) {
    Fixture f("<b>don't</b> wory");
    f.Problem(0, 5).Problem(6, 4);
    KwrlErrorDecorator decorator;
    // The closing text goes before the element holding the end position, so after the tag.
    EXPECT_EQ(
        "<b><span type=\"kwrl_word\" name=\"don\\'t\">don't</b></span> "
        "<span type=\"kwrl_word\" name=\"wory\">wory</span> ",
        RenderDecorated(f.processor, decorator));
}

TEST(KwrlDecorator, GivesTheCallersMarkupBackSanitisedLikeTheDialog) {
    const char* payloads[] = {
        "<img src=x onerror=alert(1)> wory",
        "<a href=\"javascript:alert(1)\">wory</a>",
        "<div onclick=\"steal()\" style=\"x:expression(alert(1))\">wory</div>",
        "<script>alert(1)</script> wory",
        "<b onmouseover=alert(1)>wory</b>",
    };
    for (const char* payload : payloads) {
        Fixture f(payload);
        KwrlErrorDecorator kwrl;
        const std::string typed = RenderDecorated(f.processor, kwrl);
        for (const char* unsafe :
             {"onerror", "onclick", "onmouseover", "javascript:", "<script", "expression("})
            EXPECT_EQ(typed.find(unsafe), std::string::npos) << payload << " -> " << typed;
    }
}

TEST(FlashDecorator, NeverConvertsOrEscapes) {
    Fixture f("a  b<c");
    f.Problem(3, 1);
    FlashErrorDecorator decorator;
    EXPECT_EQ("a  ##b:0#b##<c ", RenderDecorated(f.processor, decorator));
}

// Word lists

TEST(WordLists, XmlListsWordsWithSuggestionsForTheFirstTwo) {
    Fixture f("teh wrod an bda");
    f.Problem(0, 3).Problem(4, 4).Problem(12, 3);
    const StringMap strings = {{"sug_len", "3"}};
    EXPECT_EQ(
        "<words><word id = \"teh\" suggestions = \"the,ten\"/><word id = \"wrod\" suggestions = "
        "\"word,wood,rod\"/><word id = \"bda\"/></words>",
        RenderWordsXml(f.processor, strings, "teh:the,ten\r\nwrod:word,wood,rod,wordy\r\nbda:bad"));
}

TEST(WordLists, JsonListsTheSame) {
    Fixture f("teh wrod an bda");
    f.Problem(0, 3).Problem(4, 4).Problem(12, 3);
    const StringMap strings = {{"sug_len", "2"}};
    EXPECT_EQ(
        "\"words\":[{\"id\": \"teh\",\"suggestions\":[\"the\",\"ten\"]},{\"id\": "
        "\"wrod\",\"suggestions\":[\"word\",\"wood\"]},{\"id\": \"bda\"}]",
        RenderWordsJson(f.processor, strings, "teh:the,ten\nwrod:word,wood,rod\nbda:bad"));
}

TEST(WordLists, SugLenZeroOrMissingGivesEmptySuggestions) {
    Fixture f("teh");
    f.Problem(0, 3);
    EXPECT_EQ("<words><word id = \"teh\" suggestions = \"\"/></words>",
              RenderWordsXml(f.processor, {{"sug_len", "0"}}, "teh:the"));
    EXPECT_EQ("\"words\":[{\"id\": \"teh\",\"suggestions\":[]}]",
              RenderWordsJson(f.processor, {}, "teh:the"));
}

TEST(WordLists, AtMostFifteenSuggestions) {
    Fixture f("x");
    f.Problem(0, 1);
    std::string line = "x:";
    for (int i = 0; i < 20; ++i) line += (i ? "," : "") + std::to_string(i);
    const std::string out = RenderWordsXml(f.processor, {{"sug_len", "20"}}, line);
    EXPECT_NE(std::string::npos, out.find("\"0,1,2,3,4,5,6,7,8,9,10,11,12,13,14\"")) << out;
}

TEST(WordLists, SkipsLength63AndAdjacentProblems) {
    Fixture f("abcdef ghi");
    f.Problem(0, 3).Problem(3, 3).Problem(7, 63).Problem(7, 3);
    EXPECT_EQ("<words><word id = \"abc\" suggestions = \"\"/><word id = \"ghi\"/></words>",
              RenderWordsXml(f.processor, {}, ""));
}

TEST(WordLists, ApostrophesWidenTheWordButNotTheS) {
    Fixture f("'tis Jame's");
    f.Problem(1, 3).Problem(5, 4);
    const std::string json = RenderWordsJson(f.processor, {}, "");
    EXPECT_EQ(
        "\"words\":[{\"id\": \"\\u0027tis\",\"suggestions\":[]},{\"id\": "
        "\"Jame\\u0027\",\"suggestions\":[]}]",
        json);
    const std::string xml = RenderWordsXml(f.processor, {}, "");
    EXPECT_EQ(
        "<words><word id = \"&apos;tis\" suggestions = \"\"/><word id = \"Jame&apos;\" suggestions "
        "= "
        "\"\"/></words>",
        xml);
}

TEST(WordLists, WordsAndSuggestionsAreEscapedForTheirPlace) {
    Fixture f("a\"b<c");
    f.Problem(0, 5);
    const std::string answer = "x:it's,</script>,a\\b,\"q\"&";
    EXPECT_EQ(
        "<words><word id = \"a&quot;b&lt;c\" suggestions = "
        "\"it&apos;s,&lt;/script&gt;,a\\b,&quot;q&quot;&amp;\"/>"
        "</words>",
        RenderWordsXml(f.processor, {{"sug_len", "9"}}, answer));
    EXPECT_EQ(
        "\"words\":[{\"id\": "
        "\"a\\\"b\\u003Cc\",\"suggestions\":[\"it\\u0027s\",\"\\u003C/"
        "script\\u003E\",\"a\\\\b\",\"\\\"q\\\"\\u0026\"]}]",
        RenderWordsJson(f.processor, {{"sug_len", "9"}}, answer));
}

TEST(WordLists, NoSuggestionsMarkerIsNoSuggestion) {
    Fixture f("qqq zzz");
    f.Problem(0, 3).Problem(4, 3);
    const std::string answer = "qqq:no_any_suggestions\nzzz:zz,no_any_suggestions";
    EXPECT_EQ(
        "<words><word id = \"qqq\" suggestions = \"\"/><word id = \"zzz\" suggestions = "
        "\"zz\"/></words>",
        RenderWordsXml(f.processor, {{"sug_len", "5"}}, answer));
    EXPECT_EQ(
        "\"words\":[{\"id\": \"qqq\",\"suggestions\":[]},{\"id\": "
        "\"zzz\",\"suggestions\":[\"zz\"]}]",
        RenderWordsJson(f.processor, {{"sug_len", "5"}}, answer));
}

TEST(WordLists, HostileProblemsAndAnswersNeverFail) {
    Fixture f("abc");
    f.Problem(-5, 2).Problem(2, 1000).Problem(2147483647, 2147483647).Problem(9, -4);
    for (const char* answer : {"", ":", "\r\n\r\n", "no colon", ":,,,,", "a:b\r"}) {
        RenderWordsXml(f.processor, {{"sug_len", "99999999999999999999"}}, answer);
        RenderWordsJson(f.processor, {{"sug_len", "-3"}}, answer);
    }
}

TEST(WordLists, AnswerLinesAreReadInTurnAndStartOverAtTheEnd) {
    Fixture f("aa bb");
    f.Problem(0, 2).Problem(3, 2);
    EXPECT_EQ(
        "<words><word id = \"aa\" suggestions = \"x\"/><word id = \"bb\" suggestions = "
        "\"x\"/></words>",
        RenderWordsXml(f.processor, {{"sug_len", "5"}}, "aa:x"));
}
