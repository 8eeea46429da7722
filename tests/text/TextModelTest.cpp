// The text model: element splitting, the check stream, position mapping, replacements,
// decorations and the UTF-8 boundary.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "text/EIncorrectPosition.h"
#include "text/TextProcessor.h"
#include "text/TextTestSupport.h"

using namespace texttest;

TEST(TextModel, EmptyTextChecksAsOneBlank) {
    Loaded model("");
    EXPECT_EQ(" ", model.Check());
    EXPECT_EQ("1: ", Describe(model.text));
}

TEST(TextModel, NamedReferenceBetweenLettersIsOneElement) {
    Loaded model("a&amp;b");
    EXPECT_EQ("1:a|3:&amp;|1:b|1: ", Describe(model.text));
    EXPECT_EQ("a&b ", model.Check());
    EXPECT_EQ(u"b", model.text.Word(2, 1));
}

TEST(TextModel, SeparatingTagsAddABlankOthersJoinLetters) {
    EXPECT_EQ("a b ", Loaded("a<br>b").Check());
    EXPECT_EQ("ab ", Loaded("a<b>b").Check());
    EXPECT_EQ("ab ", Loaded("a<B>b</B>").Check());
    EXPECT_EQ("a b ", Loaded("a<P class=x>b").Check());
}

TEST(TextModel, WideSpacesReadAndComeBackAsBlanks) {
    for (const char* space : {"\u2002", "\u2003", "\u2009", "\u200C", "\u200D"}) {
        TextProcessor processor("", {});
        processor.SetText(std::string("one") + space + "two");
        EXPECT_EQ("one two ", processor.GetCheckText()) << space;
        EXPECT_EQ("one two ", processor.GetText()) << space;
    }
}

TEST(TextModel, FailedFilterLeavesPlainTextWhole) {
    Loaded model("AT&T [x] #zz <");
    EXPECT_EQ("1:AT&T [x] #zz <|1: ", Describe(model.text));
}

TEST(TextModel, CheckStartsOfMarkupAreRunningOffsetMinusOne) {
    Loaded model("<b>ab</b>c");
    std::vector<std::pair<int, int>> starts;
    for (const auto& e : model.text.Elements()) starts.emplace_back(e.checkStart, e.checkLength);
    const std::vector<std::pair<int, int>> expected = {{-1, 0}, {0, 2}, {1, 0}, {2, 1}, {3, 1}};
    EXPECT_EQ(expected, starts);
}

TEST(TextModel, WordOutsideTheStreamRaises) {
    Loaded model("abc");
    EXPECT_THROW(model.text.Word(4, 1), EIncorrectPosition);
    EXPECT_THROW(model.text.Word(2, 3), EIncorrectPosition);
    EXPECT_THROW(model.text.Word(-1, 1), EIncorrectPosition);
    EXPECT_THROW(model.text.Word(0, -1), EIncorrectPosition);
    EXPECT_EQ(u"bc ", model.text.Word(1, 3));
}

TEST(TextModel, WordSpansMarkup) {
    Loaded model("a<b>b</b>&eacute;c");
    EXPECT_EQ(u"ab\u00e9c", model.text.Word(0, 4));
}

// Replacement

TEST(TextModel, ReplacingInsideOneElementKeepsTheReference) {
    TextProcessor processor("", {});
    processor.SetText("a&amp;b");
    processor.ReplaceRange(u"xy", 0, 1);
    EXPECT_EQ("xy&amp;b ", processor.GetText());
    EXPECT_EQ("xy&b ", processor.GetCheckText());
}

TEST(TextModel, ReplacingAcrossElementsMergesThemIntoPlainText) {
    Loaded model("a&amp;b");
    ASSERT_TRUE(model.text.ReplaceRange(u"new", 0, 3));
    EXPECT_EQ("1:new|1: ", Describe(model.text));
}

TEST(TextModel, ReplacingAcrossTagsKeepsTheTagsInOrder) {
    Loaded model("one <b>two</b> three");
    // "two" sits at 4..6; replace "one two" (0..6) by "1 2".
    ASSERT_TRUE(model.text.ReplaceRange(u"1 2", 0, 7));
    EXPECT_EQ("1 2<b></b> three ", U8(model.text.SourceText()));
    EXPECT_EQ("1 2 three ", model.Check());
}

TEST(TextModel, ReplacementSplitsAroundMarkupThatFallsInside) {
    Loaded model("ab<b>cd</b>ef");
    ASSERT_TRUE(model.text.ReplaceRange(u"ABCDEF", 0, 6));
    EXPECT_EQ("AB<b>CD</b>EF ", U8(model.text.SourceText()));
    EXPECT_EQ(u"ABCDEF ", model.text.CheckText());
}

TEST(TextModel, ReplacedTextReadsBackAsTheSameCharacters) {
    struct Row {
        const char* input;
        int position, length;
        const char16_t* replacement;
        const char* source;
    };
    const Row rows[] = {
        {"a&lt;b c", 0, 3, u"a<b", "a&lt;b c "},    // a reference merged into the range
        {"x&amp;y z", 0, 3, u"x&y", "x&amp;y z "},  // stays one character, not a name
        {"teh z", 0, 3, u"<i>the</i>", "&lt;i&gt;the&lt;/i&gt; z "},  // typed, not markup
        {"a&lt;b<i>c</i>d", 0, 5, u"a<bcd", "a&lt;b<i>c</i>d "},      // markup inside, escaped
    };
    for (const Row& row : rows) {
        Loaded model(row.input);
        ASSERT_TRUE(model.text.ReplaceRange(row.replacement, row.position, row.length));
        const std::u16string check = model.text.CheckText();
        EXPECT_EQ(row.source, U8(model.text.SourceText())) << row.input;
        Loaded again(U8(model.text.SourceText()));
        EXPECT_EQ(check + u" ", again.text.CheckText()) << row.input;  // plus the final blank
        EXPECT_EQ(static_cast<int>(check.size()), model.text.CheckLength()) << row.input;
    }
}

// Every part of every element, the markers and the renderings: what tells two models apart.
std::string Everything(CText& text) {
    std::string out = U8(text.GetMarkers());
    for (const TextElement& e : text.Elements())
        out += "|" + std::to_string(static_cast<int>(e.kind)) + "," + U8(e.source) + "," +
               U8(e.view) + "," + U8(e.check) + "," + std::to_string(e.checkStart) + "," +
               std::to_string(e.checkLength) + "," + std::to_string(e.keep) +
               std::to_string(e.strayClosingTag) + std::to_string(e.nearUnreadRun);
    const std::u16string markers = text.MarkerString();
    text.SetMarkers(u"[_fvw_]");
    out += "|" + U8(text.Render()) + "|" + U8(text.Render(CText::PlainText::kHtmlSafe));
    text.SetMarkers(markers);
    return out;
}

// A model that replaced a word keeps standing for its text only where loading that text again
// gives the very same model; elsewhere the caller must load it.
TEST(TextModel, AModelStandsForItsOwnTextOnlyWhereALoadWouldGiveTheSame) {
    struct Row {
        const char* input;
        const char* word;  // its first occurrence in the check stream is replaced; none: no change
        const char16_t* replacement;
        bool kept;
    };
    const Row rows[] = {
        {"teh house", "teh", u"the", true},
        {"x &amp; <i>y</i> [b]z[/b] #ff0000 w &#233;", nullptr, nullptr, true},
        {"a <b>teh</b> x", "teh", u"the", true},
        {"teh&amp;x", "teh", u"the", true},
        {"<p>teh</p>", "teh", u"the", true},  // a tag before the final blank
        {"[B]teh[/B]", "teh", u"the", true},
        {"[b]teh[/b]", "teh", u"the", false},  // not a forum tag: brackets in the element
        {"a\u00e9 teh", "teh", u"th\u00e9", true},
        {"teh x", "teh", u"", true},
        {"<b>teh</b>", "teh", u"", false},        // the element would vanish
        {"a & teh", "teh", u"the", false},        // a bare ampersand in the element
        {"teh", "teh", u"a<b", false},            // markup typed into the text
        {"teh", "teh", u"a;b", false},            // a closing character
        {"teh", "teh", u"a\u2002b", false},       // reads as a blank
        {"teh", "teh", u"\xD800", false},         // half a surrogate pair
        {"#ab<b>zz</b> yy", "zz", u"ad", false},  // a colour run not read: hex digits would read
        {"x<b>#ab</b>", "x", u"y", false},        // a run without end: the final blank ends it
        {"teh x", "teh x", u"the x", true},
        {"teh<i>x</i>", "tehx", u"the", false},  // across elements
    };
    for (const Row& row : rows) {
        Loaded model(row.input);
        if (row.word != nullptr) {
            const int at = static_cast<int>(model.text.CheckText().find(U(row.word)));
            ASSERT_GE(at, 0) << row.input;
            ASSERT_TRUE(
                model.text.ReplaceRange(row.replacement, at, static_cast<int>(U(row.word).size())))
                << row.input;
        }
        const std::string before = Everything(model.text);
        const std::u16string source = model.text.SourceText();
        ASSERT_EQ(model.text.LoadOwnSource(), row.kept) << row.input;
        if (!row.kept) {
            EXPECT_EQ(Everything(model.text), before) << row.input;
            continue;
        }
        Loaded again(U8(source));
        EXPECT_EQ(Everything(model.text), Everything(again.text)) << row.input;
        EXPECT_EQ(model.text.SourceText(), again.text.SourceText()) << row.input;
    }
}

// Replacing many ranges at once writes what replacing them one after another from the last
// writes: the same sources and check stream, markup kept in place.
TEST(TextModel, ReplacingManyRangesAtOnceEqualsOneAfterAnother) {
    struct Row {
        const char* input;
        std::vector<int> positions;
        int length;
        const char16_t* replacement;
    };
    const Row rows[] = {
        {"teh x teh tehran teh", {0, 6, 17}, 3, u"the"},
        {"teh x teh tehran teh", {0, 6, 17}, 3, u""},
        {"a&lt;b te<b>h</b> t&amp;h", {0, 6, 11}, 3, u"<i>"},
        {"ab<b>cd</b>ef ab<i>c</i>d ab<u></u>cd", {0, 9, 14}, 4, u"ABCDEF"},
        {"x&#128512;y x&#128512;y", {0, 5}, 2, u"z"},
        {"one two three", {0, 2, 4}, 3, u"Q"},  // overlapping: the middle range is skipped
        {"one two", {-1, 4, 99}, 3, u"Q"},      // outside the stream
    };
    for (const Row& row : rows) {
        Loaded one(row.input);
        int expected = 0;
        int limit = INT_MAX;
        for (auto at = row.positions.rbegin(); at != row.positions.rend(); ++at)
            if (*at + row.length <= limit &&
                one.text.ReplaceRange(row.replacement, *at, row.length)) {
                ++expected;
                limit = *at;
            }
        Loaded all(row.input);
        EXPECT_EQ(expected, all.text.ReplaceRanges(row.replacement, row.positions, row.length))
            << row.input;
        EXPECT_EQ(U8(one.text.SourceText()), U8(all.text.SourceText())) << row.input;
        EXPECT_EQ(one.text.CheckText(), all.text.CheckText()) << row.input;
        EXPECT_EQ(static_cast<int>(all.text.CheckText().size()), all.text.CheckLength());
        EXPECT_EQ(U8(one.text.Render()), U8(all.text.Render())) << row.input;
    }
}

TEST(TextModel, ReplacementOutsideTheStreamChangesNothing) {
    Loaded model("abc");
    EXPECT_FALSE(model.text.ReplaceRange(u"x", 3, 2));
    EXPECT_FALSE(model.text.ReplaceRange(u"x", 9, 1));
    EXPECT_FALSE(model.text.ReplaceRange(u"x", 0, -2));
    EXPECT_FALSE(model.text.ReplaceRange(u"x", 2147483647, 2));
    EXPECT_EQ("abc ", U8(model.text.SourceText()));
}

TEST(TextModel, ReplacementKeepsLaterPositionsMapped) {
    Loaded model("teh <i>cat</i> sat");
    ASSERT_TRUE(model.text.ReplaceRange(u"the", 0, 3));
    ASSERT_TRUE(model.text.ReplaceRange(u"dog", 4, 3));
    EXPECT_EQ("the <i>dog</i> sat ", U8(model.text.SourceText()));
    EXPECT_EQ(u"sat", model.text.Word(8, 3));
}

TEST(TextModel, ReplacingWithNothingDeletesTheWord) {
    Loaded model("a bad <b>word</b>");
    ASSERT_TRUE(model.text.ReplaceRange(u"", 2, 4));
    EXPECT_EQ("a <b>word</b> ", U8(model.text.SourceText()));
    EXPECT_EQ(u"word", model.text.Word(2, 4));
}

// Decoration

TEST(TextModel, DecorationWrapsTheRangeAndLeavesTheStreamAlone) {
    Loaded model("one two three");
    model.text.Decorate(4, u"[", 7, u"]");
    model.text.SetMarkers(u"[_mkp_]");
    EXPECT_EQ("one [two] three ", U8(model.text.Render()));
    model.text.SetMarkers(u"");
    EXPECT_EQ("one two three ", U8(model.text.Render()));
    EXPECT_EQ("one two three ", model.Check());
    EXPECT_EQ("one two three ", U8(model.text.SourceText()));
    model.text.RemoveDecorations();
    model.text.SetMarkers(u"[_mkp_]");
    EXPECT_EQ("one two three ", U8(model.text.Render()));
}

TEST(TextModel, DecoratingBackwardsGivesTheSameElementsAsForwards) {
    struct Range {
        int position;
        int length;
    };
    const struct {
        const char* text;
        std::vector<Range> ranges;  // in ascending order, none overlapping
    } rows[] = {
        {"one two three", {{0, 3}, {4, 3}, {8, 5}}},
        {"abcdef", {{0, 2}, {2, 2}, {4, 2}}},          // adjacent ranges
        {"abcdef", {{1, 0}, {1, 2}, {3, 0}, {3, 0}}},  // empty ranges at shared points
        {"ab<b>cd</b>ef", {{0, 2}, {2, 2}, {4, 2}}},   // tags at the points
        {"a&amp;b c&#233;d", {{0, 3}, {4, 3}}},        // references inside ranges
        {"x<br>y<br>z", {{0, 1}, {2, 1}, {4, 1}}},     // blanks of separating tags
        {"teh cat", {{0, 3}}},
    };
    for (const auto& row : rows) {
        Loaded forwards(row.text);
        Loaded backwards(row.text);
        int n = 0;
        for (const Range& r : row.ranges) {
            const std::u16string tag = u"(" + std::u16string(1, u'a' + n++);
            forwards.text.Decorate(r.position, tag, r.position + r.length, tag + u")");
        }
        backwards.text.SetDecorationOrder(CText::DecorationOrder::kBeforeExisting);
        for (auto it = row.ranges.rbegin(); it != row.ranges.rend(); ++it) {
            const std::u16string tag = u"(" + std::u16string(1, u'a' + --n);
            backwards.text.Decorate(it->position, tag, it->position + it->length, tag + u")");
        }
        EXPECT_EQ(Describe(forwards.text), Describe(backwards.text)) << row.text;
    }
}

TEST(TextModel, DecorationOutsideTheStreamChangesNothing) {
    Loaded model("abc");
    EXPECT_THROW(model.text.Decorate(1, u"[", 9, u"]"), EIncorrectPosition);
    EXPECT_THROW(model.text.Decorate(2, u"[", 1, u"]"), EIncorrectPosition);
    EXPECT_EQ("1:abc|1: ", Describe(model.text));
}

// UTF-8 boundary

TEST(TextModel, NonBmpCharactersRoundTripAndCountTwoUnits) {
    TextProcessor processor("", {});
    const std::string text = "\xF0\x9F\x98\x80 caf\xC3\xA9 \xF0\x90\x8D\x88x";  // U+1F600, U+10348
    processor.SetText(text);
    EXPECT_EQ(text + " ", processor.GetText());
    EXPECT_EQ(text + " ", processor.GetCheckText());
    EXPECT_EQ("caf\xC3\xA9", processor.GetWord(3, 4));
    EXPECT_EQ("\xF0\x90\x8D\x88x", processor.GetWord(8, 3));
}

TEST(TextModel, InvalidUtf8ReadsAsReplacementCharacters) {
    struct Row {
        std::string in;
        std::string text;
    };
    const std::string fffd = "\xEF\xBF\xBD";
    const std::vector<Row> rows = {
        {"a\x80z", "a" + fffd + "z "},                          // stray continuation byte
        {"a\xC3", "a" + fffd + " "},                            // truncated at the end
        {"\xE2\x82z", fffd + fffd + "z "},                      // truncated in the middle
        {"\xC0\xAF", fffd + fffd + " "},                        // overlong
        {"\xED\xA0\x80", fffd + fffd + fffd + " "},             // encoded surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd + " "},  // above U+10FFFF
        {"\xFF<b>", fffd + "<b> "},
    };
    for (const auto& row : rows) {
        TextProcessor processor("", {});
        processor.SetText(row.in);
        EXPECT_EQ(row.text, processor.GetText()) << testing::PrintToString(row.in);
    }
}

TEST(TextModel, LoneSurrogatesLeaveAsReplacementCharacters) {
    EXPECT_EQ(
        "a\xEF\xBF\xBD"
        "b\xEF\xBF\xBD",
        Utf16ToUtf8(std::u16string{u'a', 0xD83D, u'b', 0xDE00}));
    EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD", Utf16ToUtf8(std::u16string{0xDE00, 0xD83D}));
    // ASCII is converted several units at a time: other characters at every offset around
    // those words convert as they do alone.
    for (size_t at = 0; at < 20; ++at) {
        const std::string before(at, 'x'), after(19 - at, 'y');
        for (const char* raw : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x7F", "\xDF\xBF",
                                "\xE0\xA0\x80", "\xEF\xBF\xBD\xC2\x80"}) {
            const std::string special = raw;
            const std::string utf8 = before + special + after;
            EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(utf8)), utf8) << at;
            EXPECT_EQ(Utf8ToUtf16(utf8),
                      Utf8ToUtf16(before) + Utf8ToUtf16(special) + Utf8ToUtf16(after))
                << at;
        }
    }
}

// Dialog start script

TEST(TextModel, DialogCallNamesTheProblemWord) {
    TextProcessor processor("", {});
    processor.SetText("I can't spel caf\xC3\xA9");
    processor.AddProblem(2, 5, 7);
    processor.AddProblem(8, 4, 9);
    processor.AddProblem(13, 4, 3);
    EXPECT_EQ("submit_bot('suggest','can\\'t',2,5,0,7,'can-39t');",
              processor.MakeDialogCall("suggest", 0));
    EXPECT_EQ("submit_bot('suggest','caf\xC3\xA9',13,4,2,3,'caf-233');",
              processor.MakeDialogCall("suggest", 2));
}

TEST(TextModel, DialogCallOutsideTheListFinishes) {
    TextProcessor processor("", {});
    processor.SetText("abc");
    processor.AddProblem(0, 3, 1);
    const std::string finish = "submit_bot('finish', '', 0, 0, 0, '', '');";
    EXPECT_EQ(finish, processor.MakeDialogCall("suggest", -1));
    EXPECT_EQ(finish, processor.MakeDialogCall("suggest", 1));
}

TEST(TextModel, DialogCallKeepsBackslashesInsideTheIdentifierString) {
    TextProcessor processor("", {});
    processor.SetText("a\\b");
    processor.AddProblem(0, 3, 1);
    EXPECT_EQ("submit_bot('x','a\\\\b',0,3,0,1,'a\\\\b');", processor.MakeDialogCall("x", 0));
}

TEST(TextModel, ParseOptionsHaveNoEffect) {
    TextProcessor processor("[-allf]", {});
    processor.SetText("a<b>c");
    EXPECT_EQ("ac ", processor.GetCheckText());
}

TEST(TextModel, ProblemsSurviveReloading) {
    TextProcessor processor("", {});
    processor.SetText("abc");
    processor.AddProblem(0, 3, 5);
    processor.SetText("xyz");
    ASSERT_EQ(1u, processor.Problems().size());
    EXPECT_EQ(5, processor.Problems()[0].id);
}
