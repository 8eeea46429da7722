// The pure readers and builders behind the check-as-you-type and web-service answers.
#include <gtest/gtest.h>

#include "cmdhandlers/Spell/CheckAndSuggestions.h"
#include "cmdhandlers/Spell/TypingAnswers.h"
#include "cmdhandlers/Spell/WebServiceAnswers.h"

TEST(CheckAndSuggestionsTest, ReadsEntriesSuggestionsAndCorrectWords) {
    using Entries = std::vector<CheckAndSuggestions::Entry>;
    const struct {
        std::string answer;
        Entries incorrect;
        std::vector<std::string> correct;
    } rows[] = {
        {"", {}, {}},
        {"teh:the\nten;wrod:no_any_suggestions;\\is,,fine",
         {{"teh", {"the", "ten"}}, {"wrod", {}}},
         {"is", "fine"}},
        {";;\n\nteh:the;;\n;x", {{"teh", {"the"}}, {"x", {}}}, {}},
        {"\\only,correct", {}, {"only", "correct"}},
        {":orphan;a:\n\n;b:c\\d\\e", {{"a", {}}, {"b", {"c"}}}, {"d\\e"}},
        {"\\", {}, {}},
        {"\\,,a,", {}, {"a"}},
        {"x\\b,", {{"x", {}}}, {"b"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.answer);
        const CheckAndSuggestions parsed = ParseCheckAndSuggestions(row.answer);
        EXPECT_EQ(parsed.incorrect, row.incorrect);
        EXPECT_EQ(parsed.correct, row.correct);
    }
}

TEST(WholeWordOffsetsTest, FindsOnlyWholeWordsInUtf8Text) {
    const struct {
        std::string text, word;
        std::vector<int> offsets;
    } rows[] = {
        {"teh Tehran teh", "teh", {0, 11}},
        {"tehteh teh", "teh", {7}},
        {"Tehteh", "teh", {}},
        {"don't teh's teh2 _teh", "teh", {18}},
        {"a\xC3\xA9teh teh", "teh", {7}},             // é is a letter
        {"\xE2\x80\x94teh\xE2\x80\x94", "teh", {3}},  // em dashes are not
        {"teh\xE2\x80\x99s", "teh", {}},              // typographic apostrophe
        {"(teh),\"teh\"", "teh", {1, 7}},
        {"aaa", "aa", {}},
        {"aa aa", "aa", {0, 3}},
        {"x", "", {}},
        {"\x80\xFFteh", "teh", {2}},  // broken UTF-8 around a word
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(WholeWordOffsets(row.text, row.word), row.offsets);
    }
}

// The one-pass search finds what the search word by word finds.
TEST(WholeWordOffsetsTest, OnePassFindsWhatEachSearchFinds) {
    const struct {
        std::string text;
        std::vector<std::string> words;
    } rows[] = {
        {"teh Tehran teh tehteh", {"teh", "Tehran", "eh", "tehteh"}},
        {"e-mail e-mail-x e e-book", {"e-mail", "e", "e-book", "mail", "book"}},
        {"a-a-a a-a", {"a-a", "a"}},  // occurrences of a word do not overlap
        {"don't teh's tehâs", {"don't", "teh's", "tehâs", "teh"}},
        {"Ã©tÃ© Ã©tÃ©s", {"Ã©tÃ©", "tÃ©"}},
        {"ÿteh Ãteh teÃ", {"teh", "teÃ", "Ãteh", "-teh"}},
        {"(teh) -teh- teh-", {"teh", "-teh", "teh-", "(teh)"}},
        {"x", {"", "x"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const std::vector<std::string_view> words(row.words.begin(), row.words.end());
        const std::vector<std::vector<int>> each = WholeWordOffsetsOfEach(row.text, words);
        ASSERT_EQ(each.size(), words.size());
        for (size_t i = 0; i < words.size(); ++i)
            EXPECT_EQ(each[i], WholeWordOffsets(row.text, words[i])) << words[i];
    }
}

TEST(WebServiceAnswersTest, ReadsSuggestionLinesAndOccurrences) {
    EXPECT_TRUE(ReadAllSuggestions("teh:the", "teh", false).positions.empty());
    const CheckSpellingResults results = ReadAllSuggestions(
        "teh:the,ten\r\n\r\nwrod:\nteh:x\nnone:no_any_suggestions\n:y", "teh wrod teh none", true);
    EXPECT_EQ(results.words.at("teh"), (std::vector<std::string>{"x"}));
    EXPECT_EQ(results.words.at("wrod"), (std::vector<std::string>{""}));
    EXPECT_TRUE(results.words.at("none").empty());
    EXPECT_EQ(results.positions,
              (CheckSpellingPositions{
                  {"teh", {0, 3}}, {"teh", {9, 3}}, {"wrod", {4, 4}}, {"none", {13, 4}}}));
}

TEST(TypingAnswersTest, SmallPiecesOfTheScriptAnswers) {
    EXPECT_EQ(DojoCallNumber("dojo.io.script.jsonp_dojoIoScript12._jsonpCallback"), 12);
    EXPECT_EQ(DojoCallNumber("dojoIoScript.x"), 0);
    EXPECT_EQ(DojoCallNumber("dojoIoScript2"), std::nullopt);
    EXPECT_EQ(DojoCallNumber("myFunction"), std::nullopt);
    EXPECT_EQ(VersionStatement("", "3"), "");
    EXPECT_EQ(VersionStatement("3", "03"), "");
    EXPECT_EQ(VersionStatement("4", "x"), ");kwirl.opt({\"verLang\": 4}");
    EXPECT_EQ(NoWordsView(""), "{});kwirl.opt({\"verLang\": 0}");
    EXPECT_EQ(ErrorView("a\"b</script>"),
              "{\"error\": true, \"text\": \"a\\\"b\\u003C/script\\u003E\"}");
    EXPECT_EQ(SpellTextView("a]]>b", false), "<text><![CDATA[a]]]]><![CDATA[>b]]></text>");
}

TEST(TypingAnswersTest, ScriptListLiteralKeepsOnlyPlainLists) {
    const struct {
        std::string value, written;
    } rows[] = {
        {"['textarea','input']", "['textarea','input']"},
        {"[1, 2.5, \"a b\"]", "[1, 2.5, \"a b\"]"},
        {"textarea", "textarea"},
        {"alert(1)", "\"alert(1)\""},
        {"['a'];x=1", "\"[\\u0027a\\u0027];x=1\""},
        {"'unclosed", "\"\\u0027unclosed\""},
        {"'a\\'b'", "\"\\u0027a\\\\\\u0027b\\u0027\""},
        {"`x`", "\"`x`\""},
        {"{a:1}", "\"{a:1}\""},
        {"'</script>'", "\"\\u0027\\u003C/script\\u003E\\u0027\""},
    };
    for (const auto& row : rows) EXPECT_EQ(ScriptListLiteral(row.value), row.written) << row.value;
}
