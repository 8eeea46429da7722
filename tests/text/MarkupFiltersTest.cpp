// The five markup filters: their tables, the runs they take, their switches, and the
// attribute sanitiser of the filtered view.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "text/AttributeSanitizer.h"
#include "text/CAmpCharFilter.h"
#include "text/CHtmlFilter.h"
#include "text/CUbbTagFilter.h"
#include "text/TextTestSupport.h"
#include "text/WordEncodings.h"

using namespace texttest;

namespace {

const char* const kEntityDir = "/usr/share/xml/w3c-sgml-lib/schema/dtd/REC-html401-19991224";

// name -> code point, from the HTML 4.01 entity sets as the w3c-sgml-lib package ships them.
std::map<std::string, int> ReferenceEntities() {
    std::map<std::string, int> entities;
    const std::regex declaration(R"(<!ENTITY\s+([A-Za-z0-9]+)\s+CDATA\s+"&#(\d+);")");
    for (const char* file : {"HTMLlat1.ent", "HTMLsymbol.ent", "HTMLspecial.ent"}) {
        std::ifstream in(std::filesystem::path(kEntityDir) / file);
        std::stringstream content;
        content << in.rdbuf();
        const std::string text = content.str();
        for (std::sregex_iterator it(text.begin(), text.end(), declaration), end; it != end; ++it)
            entities[(*it)[1]] = std::stoi((*it)[2]);
    }
    return entities;
}

}  // namespace

// Tables

TEST(MarkupTables, EntityTableIsHtml401WithoutSumAndWithBlankSpaces) {
    auto reference = ReferenceEntities();
    ASSERT_EQ(252u, reference.size()) << "w3c-sgml-lib entity sets not found under " << kEntityDir;
    reference.erase("sum");
    for (const char* blank : {"nbsp", "ensp", "emsp", "thinsp", "zwnj", "zwj"})
        reference[blank] = 0x20;
    std::map<std::string, int> ours;
    for (const auto& [name, unit] : CAmpCharFilter::EntityTable()) ours[U8(name)] = unit;
    EXPECT_EQ(251u, ours.size());
    EXPECT_EQ(reference, ours);
}

TEST(MarkupTables, TagTableHas104NamesWithTheirFlags) {
    const auto& table = CHtmlFilter::TagTable();
    EXPECT_EQ(104u, table.size());
    int skip = 0, blank = 0, keep = 0;
    for (const auto& [name, flags] : table) {
        skip += flags.skipContent;
        blank += flags.blank;
        keep += flags.keep;
    }
    EXPECT_EQ(4, skip);
    EXPECT_EQ(82, blank);  // 1 + 3 + 68 + 10
    EXPECT_EQ(90, keep);   // 1 + 68 + 21
    EXPECT_FALSE(table.at(u"A").blank || table.at(u"A").keep || table.at(u"A").skipContent);
    EXPECT_TRUE(table.at(u"STYLE").keep && table.at(u"STYLE").skipContent);
    EXPECT_FALSE(table.at(u"SCRIPT").keep);
    EXPECT_TRUE(table.at(u"IFRAME").blank && !table.at(u"IFRAME").keep);
}

TEST(MarkupTables, UbbSetIsCaseSensitive) {
    EXPECT_EQ(8u, CUbbTagFilter::TagSet().size());
    EXPECT_EQ("4:[B]|1:word|4:[/B]|1: ", Describe(Loaded("[B]word[/B]").text));
    EXPECT_EQ("1:[b]word[/b]|1: ", Describe(Loaded("[b]word[/b]").text));
}

// Runs taken by each filter: input, elements, check stream.

struct RunRow {
    const char* input;
    const char* elements;
    const char* check;
};

class FilterRuns : public testing::TestWithParam<RunRow> {};

TEST_P(FilterRuns, SplitAndCheck) {
    const RunRow& row = GetParam();
    Loaded model(row.input);
    EXPECT_EQ(row.elements, Describe(model.text));
    EXPECT_EQ(row.check, model.Check());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FilterRuns,
    testing::Values(
        // HTML tags and blocks
        RunRow{"a<SCRIPT>if (a<b) x();</SCRIPT>b",
               "1:a|2:<SCRIPT>if (a<b) x();</SCRIPT>|1:b|1: ", "a b "},
        RunRow{"a<script>bad</SCRIPT>b", "1:a|2:<script>|1:bad|2:</SCRIPT>|1:b|1: ", "abadb "},
        RunRow{"<style>p{}</style>x", "2:<style>p{}</style>|1:x|1: ", " x "},
        RunRow{"<title>t<title>u</title>", "2:<title>|1:t|2:<title>u</title>|1: ", "t  "},
        RunRow{"<script>never closed", "2:<script>|1:never closed|1: ", "never closed "},
        RunRow{"x<blink>y</blink>z", "1:x|2:<blink>|1:y|2:</blink>|1:z|1: ", "xyz "},
        RunRow{"a<br/>b", "1:a|2:<br/>|1:b|1: ", "a b "}, RunRow{"a < b", "1:a < b|1: ", "a < b "},
        // named references
        RunRow{"&copy;&nbsp;&Dagger;&dagger;",
               "3:&copy;|3:&nbsp;|3:&Dagger;|3:&dagger;|1: ", "\xC2\xA9 \xE2\x80\xA1\xE2\x80\xA0 "},
        RunRow{"&sum;&COPY;", "1:&sum;&COPY;|1: ", "&sum;&COPY; "},
        // numeric references
        RunRow{"caf&#233;", "1:caf|5:&#233;|1: ", "caf\xC3\xA9 "},
        RunRow{"&#x41;&#0;", "5:&#x41;|1:&#0;|1: ", "A&#0; "},
        RunRow{"it&#x2019;s", "1:it|5:&#x2019;|1:s|1: ", "it\xE2\x80\x99s "},
        RunRow{"&#X26;", "5:&#X26;|1: ", "& "},
        RunRow{"&#xZZ;&#x;&#x110000;", "1:&#xZZ;&#x;&#x110000;|1: ", "&#xZZ;&#x;&#x110000; "},
        RunRow{"&#128512;", "5:&#128512;|1: ", "\xF0\x9F\x98\x80 "},
        RunRow{"&#99999999999999999999;",
               "1:&#99999999999999999999;|1: ", "&#99999999999999999999; "},
        // forum tags merge, colour codes merge and include their blank
        RunRow{"[B][I]x[/I][/B]", "4:[B][I]|1:x|4:[/I][/B]|1: ", "x "},
        RunRow{"#ff00aa text", "7:#ff00aa |1:text|1: ", "text "},
        RunRow{"#fff #000 x", "7:#fff #000 |1:x|1: ", "x "},
        RunRow{"#hello there", "1:#hello there|1: ", "#hello there "}));

// Switches

struct SwitchRow {
    const char16_t* markers;
    const char* check;
};

constexpr const char* kSwitchText = "a<br>b&amp;c&#65;x[B]d #fff e";

class FilterSwitches : public testing::TestWithParam<SwitchRow> {};

TEST_P(FilterSwitches, DecideWhichRunsAreMarkup) {
    Loaded model(kSwitchText, {}, GetParam().markers);
    EXPECT_EQ(GetParam().check, model.Check()) << U8(GetParam().markers);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FilterSwitches,
    testing::Values(SwitchRow{u"", "a b&cAxd e "}, SwitchRow{u"[-html]", "a<br>b&amp;c&#65;xd e "},
                    SwitchRow{u"[-html][+ampf]", "a<br>b&c&#65;xd e "},
                    SwitchRow{u"[-htmf]", "a<br>b&cAxd e "},
                    SwitchRow{u"[-allf]", "a<br>b&amp;c&#65;x[B]d #fff e "},
                    SwitchRow{u"[-allf][+ubbf]", "a<br>b&amp;c&#65;xd #fff e "},
                    SwitchRow{u"[-allf][+clrf]", "a<br>b&amp;c&#65;x[B]d e "},
                    SwitchRow{u"[-allf][+html][-ccdf]", "a b&c&#65;x[B]d #fff e "},
                    SwitchRow{u"[-ubtf][-dscf]", "a b&cAx[B]d #fff e "}));

TEST(FilterSwitches, ColourFilterTakesWhatANumericReferenceLeaves) {
    // With the numeric filter off, "#65; " is a run of hexadecimal digits and punctuation.
    EXPECT_EQ("a& ", Loaded("a&#65; ", {}, u"[-ccdf]").Check());
}

TEST(FilterSwitches, HtmlFoundMarkerFollowsTheLastText) {
    CText text({});
    text.SetText(u"plain");
    EXPECT_EQ(u"", text.GetMarkers());
    text.SetText(u"<i>x</i>");
    EXPECT_EQ(u"[*htmf]", text.GetMarkers());
    text.SetMarkers(u"[-html]");
    text.SetText(u"<i>x</i>");
    EXPECT_EQ(u"[-html]", text.GetMarkers());
}

// Filtered view

TEST(FilteredView, HidesUnknownAndUnkeptTagsAndSkippedBlocks) {
    Loaded model("<blink>a</blink><SCRIPT>x</SCRIPT><a href=x>b</a><iframe>c<b>d</b>");
    EXPECT_EQ("abc<b>d</b> ", model.View());
}

struct SanitiseRow {
    const char* tag;
    const char* view;
};

class Sanitiser : public testing::TestWithParam<SanitiseRow> {};

TEST_P(Sanitiser, CleansKeptTagsWithoutWhiteLists) {
    Loaded model(GetParam().tag);
    EXPECT_EQ(std::string(GetParam().view) + " ", model.View()) << GetParam().tag;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Sanitiser,
    testing::Values(SanitiseRow{"<IMG src=javascript:alert(1)>", "<IMG >"},
                    SanitiseRow{"<img src=\"http://x/a.png\" onclick=\"go()\">",
                                "<img src=\"http://x/a.png\" >"},
                    SanitiseRow{"<img src='HTTPS://x'>", "<img src='HTTPS://x'>"},
                    SanitiseRow{"<img src = 'data:x' alt=y>", "<img  alt=y>"},
                    SanitiseRow{"<img /onerror=alert(1)>", "<img />"},
                    SanitiseRow{"<img/onerror=alert(1)>", ""},  // name "imgonerroralert1": unknown
                    SanitiseRow{"<div OnMouseOver='x' id=a>", "<div  id=a>"},
                    SanitiseRow{"<span style=\"color:red;font-size:2px\">",
                                "<span style=\"color:red;font-size:2px\">"},
                    SanitiseRow{"<span style=\"background:url(x)\">", "<span >"},
                    SanitiseRow{"<span style=\"a:&#40;b\">", "<span >"},
                    SanitiseRow{"<span style=\"a:b:c\">", "<span >"},
                    SanitiseRow{"<p onclick=\"x>", "<p >"},
                    // hostile rows: an unclosed quote would swallow the markup after the tag
                    SanitiseRow{"<p title=\"unclosed>", "<p >"},
                    SanitiseRow{"<p id=a title=\t'x>", "<p id=a >"},
                    SanitiseRow{"<img \tsrc\n=\njavascript:x>", "<img \t>"},
                    SanitiseRow{"<style onload=alert(1)>p{}</style>", "<style >p{}</style>"},
                    SanitiseRow{"<style>a</STYLE><script>alert(1)</script></style>", ""}));

TEST(FilteredView, AttributeWhiteListDropsTheRest) {
    Loaded model("<p ID=a class=b onclick=c>", Params({}, {u"id", u"onclick"}));
    EXPECT_EQ("<p ID=a  onclick=c> ", model.View());
}

TEST(FilteredView, TagWhiteListDropsInModeZeroAndEscapesInModeOne) {
    const char* input = "<b>x</b><i class=\"q\">y</i>";
    EXPECT_EQ("<b>x</b>y ", Loaded(input, Params({u"b"})).View());
    Loaded escaped(input, Params({u"B"}, {}, 1));
    EXPECT_EQ("<b>x</b>&lt;i class=&quot;q&quot;&gt;y&lt;/i&gt; ", escaped.View());
    EXPECT_EQ("2:<b>|1:x|2:</b>|9:<i class=\"q\">|1:y|9:</i>|1: ", Describe(escaped.text));
}

TEST(FilteredView, SanitiserCollapsesLineEndsOfEscapedTags) {
    EXPECT_EQ(u"&lt;i&#13;&#10;a&gt;", EscapedTagText(u"<i\r\n\n\na>"));
}

TEST(FilteredView, SanitiserSurvivesHostileTags) {
    for (const char16_t* tag :
         {u"<", u"<>", u"<=", u"< =\"", u"<a b='", u"<a =>", u"<::::>", u"<a b=c/d=e>"})
        SanitizeAttributes(tag, {});
}
