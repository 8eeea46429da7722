// Grammar and thesaurus functions through a real server.
#include "EngineFixture.h"

using apptest::Call;
using apptest::CallResult;

namespace {

class GrammarThesaurusProtocolTest : public apptest::EngineFixture {
  protected:
    std::vector<std::string> Grammar(const std::string& text, const std::string& index = "-1",
                                     const std::string& rules = "",
                                     const std::string& positions = "") {
        const CallResult r = Call(port(), "check_grammar", {rules, positions, text, index}, 4);
        EXPECT_EQ(r.kind, CallResult::kOk) << r.message;
        EXPECT_EQ(r.decodeCode, 0);
        return r.results;
    }
};

TEST_F(GrammarThesaurusProtocolTest, GrammarRangesAndRuleNumbers) {
    const auto r = Grammar("She said it as as a joke. this is a apple and an car.");
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0], "");
    EXPECT_EQ(r[1], "");
    EXPECT_EQ(r[2], "12,5;26,4;34,7;46,6;");
    EXPECT_EQ(r[3], "1,4,2,3");
}

TEST_F(GrammarThesaurusProtocolTest, CurrentProblemGivesExplanationAndVariants) {
    const auto r = Grammar("He could of known. It is better then before.", "1");
    ASSERT_EQ(r.size(), 4u);
    EXPECT_NE(r[0].find("&quot;than&quot;"), std::string::npos) << r[0];
    EXPECT_EQ(r[1], "than");
    EXPECT_EQ(r[3], "5,6");
    EXPECT_EQ(Grammar("He could of known.", "0")[1], "could have");
    EXPECT_EQ(Grammar("He could of known.", "7")[0], "");
}

TEST_F(GrammarThesaurusProtocolTest, IgnoredRulesAndPositionsAreLeftOut) {
    const std::string text = "this is is fine. It is an car.";
    EXPECT_EQ(Grammar(text)[3], "4,1,3");
    EXPECT_EQ(Grammar(text, "-1", "4,3")[3], "1");
    EXPECT_EQ(Grammar(text, "-1", "", "5")[3], "4,3");
    // The index counts only the problems reported.
    EXPECT_EQ(Grammar(text, "0", "4")[1], "is");
}

TEST_F(GrammarThesaurusProtocolTest, GrammarPositionsCountUtf16CodeUnits) {
    EXPECT_EQ(Grammar("\xF0\x9F\x98\x80 It was a apple.")[2], "10,7;");
}

TEST_F(GrammarThesaurusProtocolTest, MalformedIndexIsAnError) {
    EXPECT_EQ(ErrorOf("check_grammar", {"", "", "text", "one"}, 4), "Invalid problem index");
}

TEST_F(GrammarThesaurusProtocolTest, TextThesaurusMarksWordsWithSynonyms) {
    EXPECT_EQ(One("text_thesaurus", {"good xqzvbnmkw house"}), "0,4;15,5;");
    EXPECT_EQ(One("text_antonyms", {"good xqzvbnmkw house"}), "0,4;");
}

TEST_F(GrammarThesaurusProtocolTest, SynonymAndAntonymListsByMeaning) {
    const std::string synonyms = One("get_syn_list", {"good"});
    EXPECT_EQ(synonyms.rfind("(adj) good:", 0), 0u) << synonyms.substr(0, 80);
    EXPECT_NE(synonyms.find("\r\n(noun) "), std::string::npos);
    const std::string antonyms = One("get_ant_list", {"Good"});
    EXPECT_NE(antonyms.find(":bad"), std::string::npos) << antonyms;
    EXPECT_NE(antonyms.find(":evil"), std::string::npos) << antonyms;
    EXPECT_EQ(One("get_syn_list", {"xqzvbnmkw"}), "");
}

}  // namespace
