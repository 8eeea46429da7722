// Spelling functions through a real server with the installed dictionaries.
#include "EngineFixture.h"

using apptest::CallResult;
using apptest::SpellParams;

namespace {

class SpellingProtocolTest : public apptest::EngineFixture {};

TEST_F(SpellingProtocolTest, CheckSpellingReportsMisspeltWordsInTextOrder) {
    EXPECT_EQ(Misspelt("Thiss is a tset of teh system."), "0,5;11,4;19,3;");
    EXPECT_EQ(Misspelt("Nothing wrong here, isn't it?"), "");
    EXPECT_EQ(Misspelt(""), "");
}

TEST_F(SpellingProtocolTest, PositionsCountUtf16CodeUnits) {
    // U+1F600 takes two code units, "é" one (two UTF-8 bytes).
    EXPECT_EQ(Misspelt("\xF0\x9F\x98\x80 caf\xC3\xA9 wrold"), "3,4;8,5;");
    EXPECT_EQ(Misspelt("\xF0\x9F\x98\x80\xF0\x9F\x98\x80 teh"), "5,3;");
}

TEST_F(SpellingProtocolTest, ApostrophesInsideWordsBelongToThem) {
    EXPECT_EQ(Misspelt("don't won\xE2\x80\x99t can't"), "");
    EXPECT_EQ(Misspelt("dont't"), "0,6;");
}

struct OptionRow {
    const char* name;
    const char* options;
    const char* text;
    const char* expected;
};

TEST_F(SpellingProtocolTest, OptionsSkipTheWordsTheyName) {
    const OptionRow rows[] = {
        {"capitals checked", "00000", "XYZZYQ  fine", "0,6;"},
        {"capitals ignored", "10000", "XYZZYQ  fine", ""},
        {"digits checked", "00000", "abc123  fine", "0,6;"},
        {"digits ignored", "01000", "abc123  fine", ""},
        {"mixed case checked", "00000", "fooBarq  fine", "0,7;"},
        {"mixed case ignored", "00100", "fooBarq  fine", ""},
        {"domain checked", "00000", "see exmaple.com", "4,7;"},
        {"domain ignored", "00010", "see exmaple.com", ""},
        {"e-mail ignored", "00010", "mail jhon@exmaple.org now", ""},
        {"url ignored", "00010", "at http://wwww.exmaple.net/pagge now", ""},
        {"title case is not mixed", "00100", "Wrold", "0,5;"},
        {"short option string", "1", "XYZZYQ", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Misspelt(row.text, row.options), row.expected) << row.name;
}

TEST_F(SpellingProtocolTest, IgnoredWordsAndPositions) {
    EXPECT_EQ(Misspelt("teh wrod teh", "00011", "teh"), "4,4;");
    EXPECT_EQ(Misspelt("teh wrod teh", "00011", "", "", "0,9"), "4,4;");
    EXPECT_EQ(Misspelt("teh wrod teh", "00011", "", "", "x,,-1, 4"), "0,3;9,3;");
    EXPECT_EQ(Misspelt("Teh", "00011", "teh"), "0,3;");  // exact
}

TEST_F(SpellingProtocolTest, UserWordsCountAsCorrectAlsoCapitalised) {
    EXPECT_EQ(Misspelt("verbarium Verbarium VERBARIUM verbariums", "00001", "", "verbarium"),
              "30,10;");
    EXPECT_EQ(Misspelt("Glorbix glorbix", "00011", "", "Glorbix"), "8,7;");
}

TEST_F(SpellingProtocolTest, PersonalDictionariesNamedInTheUserList) {
    Done("update_user_dictionary", {"My words", "quuxify", "flarbish"});
    // Blanks of the name travel as 0x08.
    EXPECT_EQ(Misspelt("quuxify flarbish blorf", "00011", "", "blorf,$My\x08words"), "");
    EXPECT_EQ(Misspelt("quuxify flarbish", "00011", "", "$My words"), "");
    EXPECT_EQ(Misspelt("quuxify", "00011", "", "$Nobody"), "0,7;");
}

TEST_F(SpellingProtocolTest, IsCorrect) {
    EXPECT_EQ(One("check_is_correct4", SpellParams("en_US", "All good here.")), "correct");
    EXPECT_EQ(One("check_is_correct4", SpellParams("en_US", "All goood here.")), "incorrect");
}

TEST_F(SpellingProtocolTest, SuggestionsForOneWordSeparatedByLineFeeds) {
    const std::string list = One("get_suggestions4", SpellParams("en_US", "speling"));
    EXPECT_EQ(list.substr(0, list.find('\n')), "spelling");
    EXPECT_NE(list.find('\n'), std::string::npos);
    EXPECT_EQ(One("get_suggestions4", SpellParams("en_US", "")), "");
}

TEST_F(SpellingProtocolTest, AllSuggestionsOneLinePerDistinctMisspeltWord) {
    // The library's first suggestion loads its tables, which can take the whole time for
    // suggestions on a busy machine while the server still makes its indexes: done before.
    One("get_suggestions4", SpellParams("en_US", "speling"));
    const std::string answer =
        One("get_all_suggestions4", SpellParams("en_US", "teh wrod teh xqzvbnmkw"));
    const size_t first = answer.find("\r\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(answer.substr(0, 8), "teh:the,");
    const size_t second = answer.find("\r\n", first + 2);
    EXPECT_EQ(answer.substr(first + 2, 10), "wrod:word,");
    EXPECT_EQ(answer.substr(second + 2), "xqzvbnmkw:no_any_suggestions");
}

TEST_F(SpellingProtocolTest, SuggestionsForAtMost256WordsPerCall) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += std::string("wrold") + static_cast<char>('a' + i % 26) +
                static_cast<char>('a' + i / 26) + " ";
    const std::string answer = One("get_all_suggestions4", SpellParams("en_US", text));
    std::vector<std::string> lines;
    for (size_t start = 0; start <= answer.size();) {
        size_t end = answer.find("\r\n", start);
        if (end == std::string::npos) end = answer.size();
        lines.push_back(answer.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 300u);
    EXPECT_EQ(lines[0].find(":no_any_suggestions"), std::string::npos) << lines[0];
    for (size_t i = 256; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(":no_any_suggestions"), std::string::npos) << lines[i];
}

TEST_F(SpellingProtocolTest, CheckAndSuggestionsGivesIncorrectThenCorrectWords) {
    const std::string answer =
        One("check_and_suggestions", SpellParams("en_US", "teh,word,xqzvbnmkw,house,teh"));
    EXPECT_EQ(answer.substr(0, 8), "teh:the\n");
    const size_t backslash = answer.find('\\');
    ASSERT_NE(backslash, std::string::npos);
    EXPECT_NE(answer.find(";xqzvbnmkw:no_any_suggestions;\\"), std::string::npos) << answer;
    EXPECT_EQ(answer.substr(backslash + 1), "word,house");
    EXPECT_EQ(One("check_and_suggestions", SpellParams("en_US", "all,fine")), "\\all,fine");
}

TEST_F(SpellingProtocolTest, OtherLanguagesAndBackEnds) {
    EXPECT_EQ(Misspelt("Das ist ein Haus", "00011", "", "", "", "de_DE"), "");
    EXPECT_EQ(Misspelt("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "00011", "", "", "", "he"), "");
    // Hebrew is served for the regional name too.
    EXPECT_EQ(Misspelt("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "00011", "", "", "", "he_IL"), "");
    // Vietnamese has only a Hunspell dictionary.
    EXPECT_EQ(Misspelt("Xin ch\xC3\xA0o th\xE1\xBA\xBF gi\xE1\xBB\x9Bi sdfgh", "00011", "", "", "",
                       "vi_VN"),
              "18,5;");
}

TEST_F(SpellingProtocolTest, UnknownLanguageIsAnError) {
    EXPECT_EQ(ErrorOf("check_spelling4", SpellParams("xx_YY", "hello", "00011", "", "", "")),
              "Language is not supported");
    EXPECT_EQ(ErrorOf("get_suggestions4", SpellParams("", "hello")), "Language is not supported");
}

TEST_F(SpellingProtocolTest, TextThatIsNotUtf8IsAnError) {
    EXPECT_EQ(ErrorOf("check_spelling4", SpellParams("en_US", "caf\xE9", "00011", "", "", "")),
              "Text is not valid UTF-8");
}

class HunspellEnglishTest : public apptest::EngineFixture {
  protected:
    HunspellEnglishTest()
        : EngineFixture({"--backend", "en_US=hunspell", "--languages", "en_US"}) {}
};

TEST_F(HunspellEnglishTest, TheBackEndCanBeChosenPerLanguage) {
    EXPECT_EQ(Misspelt("Thiss is a tset."), "0,5;11,4;");
    const std::string list = One("get_suggestions4", SpellParams("en_US", "speling"));
    EXPECT_NE(list.find("spelling"), std::string::npos);
    EXPECT_EQ(ErrorOf("check_spelling4", SpellParams("de_DE", "Haus", "00011", "", "", "")),
              "Language is not supported");
}

// With no time for suggestions, every misspelt word is still listed, each without suggestions,
// and the answer keeps its form.
class NoSuggestionTimeTest : public apptest::EngineFixture {
  protected:
    NoSuggestionTimeTest() : EngineFixture({"--suggest-budget-ms", "0", "--languages", "en_US"}) {}
};

TEST_F(NoSuggestionTimeTest, WordsPastTheBudgetComeWithoutSuggestions) {
    EXPECT_EQ(One("check_and_suggestions", SpellParams("en_US", "teh,word,wrod")),
              "teh:no_any_suggestions;wrod:no_any_suggestions;\\word");
    EXPECT_EQ(One("get_all_suggestions4", SpellParams("en_US", "teh word wrod")),
              "teh:no_any_suggestions\r\nwrod:no_any_suggestions");
}

}  // namespace
