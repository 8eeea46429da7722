#include <gtest/gtest.h>

#include "kernel/CIniParser.h"
#include "support/TestSupport.h"

namespace {

using Entries = CIniParser::Entries;

struct ParseRow {
    const char* name;
    std::string text;
    Entries expected;
};

class ParseIniTextTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseIniTextTest, StoresExactlyTheExpectedPairs) {
    EXPECT_EQ(CIniParser::ParseIniText(GetParam().text), GetParam().expected);
}

// clang-format off
const ParseRow kParseRows[] = {
    {"PlainPairs", "a=1\nb=2\n", {{"a", "1"}, {"b", "2"}}},
    {"LastLineWithoutLineEnd", "a=1\nb=2", {{"a", "1"}, {"b", "2"}}},
    {"BlanksAroundKeyAndLeadingBlanksOfValueDropped", "  a  =  1\n", {{"a", "1"}}},
    {"TrailingBlanksTrimmedAtLineEnd", "key=value   \n", {{"key", "value"}}},
    {"TrailingBlanksKeptAtEndOfText", "key=value   ", {{"key", "value   "}}},
    {"InnerBlanksOfValueKept", "k=two  words\n", {{"k", "two  words"}}},
    {"UrlKeepsOnlyEscapedEquals", "url=http://h/p?x\\=1&y=2\n", {{"url", "http://h/p?x=1&y2"}}},
    {"BareEqualsInsideValueDropped", "a=b=c\n", {{"a", "bc"}}},
    {"EscapedSpecialsReachValue", "v=a\\#b\\\"c\\\\d\\=e\n", {{"v", "a#b\"c\\d=e"}}},
    {"EscapedTabIsStillDropped", "a=x\\\ty\n", {{"a", "xy"}}},
    {"EscapedBlankCannotStartValue", "a=\\ x\n", {{"a", "x"}}},
    {"BackslashAtEndOfText", "a=1\\", {{"a", "1"}}},
    {"ContinuationKeepsLeadingBlanks", "a=first\\\n  word\nb=2\n", {{"a", "first  word"}, {"b", "2"}}},
    {"EscapedLineEndInsideKey", "a\\\nb=1\n", {{"ab", "1"}}},
    {"CommentLinesIgnored", "# head\na=1\n#tail", {{"a", "1"}}},
    {"CommentAfterValueDoesNotCommitItsLine", "a=1 # note\nb=2\n", {{"a", "1 b2"}}},
    {"CommentInsideKeyAbsorbsNextLineIntoKey", "ab#c=1\nd=2\n", {{"abd", "2"}}},
    {"QuotedHashCutsValueAndNextLinesContinueIt", "a=\"x#y\"\nb=2\nc=3\n", {{"a", "xb2c3"}}},
    {"QuotedValueSpansLinesWithoutLineEnds", "a=\"x\ny\"\nb=2\n", {{"a", "xy"}, {"b", "2"}}},
    {"QuotesDoNotKeepBlanks", "a=\"  x  \"\n", {{"a", "x"}}},
    {"UnclosedQuoteCommitsAtEndOfText", "a=\"x\nb=2", {{"a", "xb2"}}},
    {"QuoteInsideKeyIsLiteral", "a\"b=1\n", {{"a\"b", "1"}}},
    {"BlanksAndTabsInsideKeyDropped", "two words=1\nt\tab=2\n", {{"twowords", "1"}, {"tab", "2"}}},
    {"TabsInsideValueDropped", "a=c\td\n", {{"a", "cd"}}},
    {"SectionTitlePrefixesNextKey", "[main]\na=1\n", {{"[main]a", "1"}}},
    {"EmptyValueTakesNextLine", "a=\nb=2\n", {{"a", "b2"}}},
    {"EmptyValueAtEndNotStored", "a=\n", {}},
    {"KeyAloneNotStored", "a", {}},
    {"ValueWithoutKeySwallowsFollowingLines", "=1\nb=2\n", {}},
    {"FirstOccurrenceWins", "a=1\na=2\n", {{"a", "1"}}},
    {"CrLfLineEnds", "a=1  \r\nb=2\r\n", {{"a", "1"}, {"b", "2"}}},
    {"EmptyText", "", {}},
    {"CommentsOnly", "# one\n#two\n", {}},
    {"NulByteIsOrdinary", std::string("a=\0b\n", 5), {{"a", std::string("\0b", 2)}}},
    {"KeysOrderedByBytes", "b=1\nB=2\n_=3\n", {{"B", "2"}, {"_", "3"}, {"b", "1"}}},
    {"KeysCaseSensitive", "Key=1\nkey=2\n", {{"Key", "1"}, {"key", "2"}}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, ParseIniTextTest, ::testing::ValuesIn(kParseRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoadIniFileTest, MissingFileThrowsWithPathAfterLeadingBlank) {
    testsupport::TempDir dir;
    const std::string path = dir.str() + "absent.ini";
    try {
        CIniParser::LoadIniFile(path);
        FAIL() << "no exception";
    } catch (const CIniParser::CIniParserException& e) {
        EXPECT_EQ(std::string(e.what()), " Can not open: " + path);
    }
}

TEST(LoadIniFileTest, DirectoryIsReportedAsUnopenable) {
    testsupport::TempDir dir;
    EXPECT_THROW(CIniParser::LoadIniFile(dir.path().string()), CIniParser::CIniParserException);
}

TEST(LoadIniFileTest, CrLfFileContinuesLineAfterBackslash) {
    testsupport::TempDir dir;
    const auto path = dir.Write("x.ini", "a=first\\\r\n  word\r\nb=2\r\n");
    EXPECT_EQ(CIniParser::LoadIniFile(path), (Entries{{"a", "first  word"}, {"b", "2"}}));
}

TEST(LoadIniFileTest, CrLfSplitAcrossReadChunksIsStillOneLineEnd) {
    testsupport::TempDir dir;
    // The CR is the 1023rd byte and the LF the 1024th: one chunk ends between them.
    const std::string first = "a=" + std::string(1019, 'x') + "\\";
    ASSERT_EQ(first.size(), 1022u);
    const auto path = dir.Write("x.ini", first + "\r\n y\r\n");
    EXPECT_EQ(CIniParser::LoadIniFile(path), (Entries{{"a", std::string(1019, 'x') + " y"}}));
}

TEST(LoadIniFileTest, LongFileReadWhole) {
    testsupport::TempDir dir;
    std::string text;
    Entries expected;
    for (int i = 0; i < 500; ++i) {
        const std::string key = "key" + std::to_string(i);
        const std::string value = std::string(40, static_cast<char>('a' + i % 26));
        text += key + " = " + value + "\n";
        expected[key] = value;
    }
    EXPECT_EQ(CIniParser::LoadIniFile(dir.Write("big.ini", text)), expected);
}

}  // namespace
