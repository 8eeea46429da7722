#include <gtest/gtest.h>

#include "cmdhandlers/Grammar/GrammarAnswers.h"
#include "cmdhandlers/Grammar/Grammar_CH.h"
#include "cmdhandlers/Grammar/Suggram_CH.h"
#include "cmdhandlers/RegistryTestSupport.h"
#include "cmdhandlers/SpellHandlerTestSupport.h"
#include "cmdhandlers/Thes/Antonym_CH.h"
#include "cmdhandlers/Thes/Synonym_CH.h"
#include "cmdhandlers/Thes/Thes_Ant_CH.h"
#include "cmdhandlers/Thes/Thes_CH.h"
#include "cmdhandlers/Thes/ThesaurusAnswers.h"
#include "kernel/ServerRedirectInfo.h"
#include "kernel/settings/MaxProblems_SS.h"

namespace {

constexpr char kUnavailable[] = "The Verbarium Service is currently unavailable.";

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class GrammarThesTest : public SpellHandlerTest {
  protected:
    void SetUp() override {
        SpellHandlerTest::SetUp();
        data.Insert(idkey::SpellLang, std::string("en_US"));
    }
    void GrammarAnswers(const std::string& explanation, const std::string& variants,
                        const std::string& ranges, const std::string& numbers) {
        server.SetScript({{wire::BuildOkAnswer({explanation, variants, ranges, numbers})}});
    }
    // The message of the command-handler exception `run` throws ("" when none).
    std::string FailureOf(void (GrammarThesTest::*run)(), bool* critical = nullptr) {
        try {
            (this->*run)();
        } catch (const CommandHandler::exception& e) {
            if (critical) *critical = dynamic_cast<const CommandHandler::criticalException*>(&e);
            return e.what();
        }
        return "";
    }
};

}  // namespace

TEST(GrammarThesRegistryTest, EveryCommandResolvesToItsHandler) {
    EXPECT_TRUE(ResolvesTo<Grammar_CH>("grammar"));
    EXPECT_TRUE(ResolvesTo<Suggram_CH>("suggram"));
    EXPECT_TRUE(ResolvesTo<Thes_CH>("thes"));
    EXPECT_TRUE(ResolvesTo<Thes_Ant_CH>("ants"));
    EXPECT_TRUE(ResolvesTo<Synonym_CH>("getthes"));
    EXPECT_TRUE(ResolvesTo<Antonym_CH>("getants"));
}

TEST_F(GrammarThesTest, GrammarSendsItsArgumentsAndMarksEveryRange) {
    map["text"] = "as as <b>a</b> apple";
    map["ignoregr"] = "4";
    map["igposgr"] = "9";
    // The two ranges overlap: both are problems of the dialog.
    GrammarAnswers("x", "y", "0,5;6,7;;8,1;", "1,2");
    Run<Grammar_CH>();
    EXPECT_EQ(LastCall().function, "check_grammar");
    EXPECT_EQ(LastCall().params, (std::vector<std::string>{"4", "9", "as as a apple ", "-1"}));
    EXPECT_EQ(map["problemid"], "0");
    EXPECT_EQ(map["loaddlg"], "submit_bot('suggram','as as',0,5,0,1,'as-32as');");
    EXPECT_NE(map["view"].find("submit_bot('suggram'"), std::string::npos) << map["view"];

    map[":chng_pos:"] = "3";
    Run<Grammar_CH>();
    EXPECT_EQ(map["problemid"], "1");
    EXPECT_EQ(map["loaddlg"], "submit_bot('suggram','a apple',6,7,1,2,'a-32apple');");
}

// A text full of problems marks no more of them than spelling would (":max_problems:").
TEST_F(GrammarThesTest, GrammarMarksAtMostTheProblemLimit) {
    map["text"] = "as as x as as y as as";
    map[MaxProblems_SS::kKey] = "2";
    GrammarAnswers("x", "y", "0,5;8,5;16,5;", "1,1,1");
    Run<Grammar_CH>();
    EXPECT_EQ(Count(map["view"], "<a name='sg_"), 2u) << map["view"];
}

TEST(GrammarRangesTest, PairsRangesWithNumbersAndDropsBadItems) {
    using R = std::vector<GrammarRange>;
    EXPECT_EQ(GrammarRanges("0,3;2,4;", "5,6", 20), (R{{{0, 3}, 5}, {{2, 4}, 6}}));
    EXPECT_EQ(GrammarRanges("0,3;x,1;5,2;", "1,2,3", 20), (R{{{0, 3}, 1}, {{5, 2}, 3}}));
    EXPECT_EQ(GrammarRanges("0,3;5,2;", "7", 20), (R{{{0, 3}, 7}, {{5, 2}, 0}}));
    EXPECT_EQ(GrammarRanges("18,2;3,0;-1,2;", "1,1,1", 20), R{});
    EXPECT_EQ(GrammarRanges("", "", 20), R{});
}

TEST_F(GrammarThesTest, SuggramListsEachVariantAsARadioRow) {
    map["text"] = "a apple";
    map["problemid"] = "0";
    GrammarAnswers("<b>Article.</b>", "an apple -OR- one apple -OR- apple", "", "");
    Run<Suggram_CH>();
    EXPECT_EQ(LastCall().params.at(3), "0");
    const std::string& list = map["suggestlist"];
    EXPECT_EQ(list.rfind("<b>Article.</b><table", 0), 0u) << list;
    EXPECT_EQ(Count(list, "<input type=\"radio\""), 3u);
    EXPECT_EQ(Count(list, " CHECKED"), 1u);
    EXPECT_NE(list.find("value=\"an apple\" onclick=\"set_new_word(this)\" "
                        "ondblclick=\"javascript:submit_mid('gr_ch')\" CHECKED>"),
              std::string::npos);
    EXPECT_NE(list.find("document.forms[0].new_word.value =\"an apple\";</script>\n"),
              std::string::npos);

    GrammarAnswers("only text", "", "", "");
    Run<Suggram_CH>();
    EXPECT_EQ(map["suggestlist"], "only text");
}

TEST(SuggramOutputTest, VariantsCannotEscapeTheirPlace) {
    const std::string out =
        SuggramOutput("", "\"><script>alert(1)</script> -OR- \";alert(1)//\xE2\x80\xA8");
    EXPECT_EQ(out.find("<script>alert"), std::string::npos) << out;
    EXPECT_NE(out.find("value=\"&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("<td width=90%>&quot;;alert(1)//\xE2\x80\xA8</td>"), std::string::npos);
    EXPECT_NE(out.find("new_word.value =\"\\\"\\u003E\\u003Cscript\\u003Ealert(1)\\u003C/"
                       "script\\u003E\";"),
              std::string::npos)
        << out;
}

TEST_F(GrammarThesTest, ServerChoiceFollowsGrammarHostAndTheRedirect) {
    map["text"] = "as as";
    GrammarAnswers("", "", "", "");
    const std::string fake = "127.0.0.1:" + std::to_string(server.port());
    EngineIsDown();
    map["grammar_host"] = fake;
    Run<Grammar_CH>();
    EXPECT_EQ(server.requests().size(), 1u);

    // A redirect for grammar in the spelling language wins over both.
    ServerRedirectInfo redirects;
    redirects.Set(ServiceKind::Grammar, "en_US", {"127.0.0.1", server.port()});
    data.Insert<const ServerRedirectInfo*>(idkey::ServerRedirects, &redirects);
    map["grammar_host"] = "127.0.0.1:" + std::to_string(testsupport::UnusedLoopbackPort());
    Run<Suggram_CH>();
    EXPECT_EQ(server.requests().size(), 2u);

    // Without ':' the command fails before any call.
    map["grammar_host"] = "gram";
    bool critical = false;
    EXPECT_EQ(FailureOf(&GrammarThesTest::Run<Grammar_CH>, &critical), kUnavailable);
    EXPECT_TRUE(critical);
    EXPECT_EQ(FailureOf(&GrammarThesTest::Run<Synonym_CH>), kUnavailable);
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(GrammarThesTest, TextThesaurusUsesThesHost) {
    map["text"] = "good day";
    EngineAnswers("0,4;");
    EngineIsDown();
    map["thes_host"] = "127.0.0.1:" + std::to_string(server.port());
    Run<Thes_CH>();
    EXPECT_EQ(LastCall().function, "text_thesaurus");
    EXPECT_EQ(LastCall().params, std::vector<std::string>{"good day "});
    EXPECT_EQ(map["loaddlg"], "submit_bot('getthes','good',0,4,0,0,'good');");
    Run<Thes_Ant_CH>();
    EXPECT_EQ(LastCall().function, "text_antonyms");
    EXPECT_EQ(map["loaddlg"], "submit_bot('getants','good',0,4,0,0,'good');");

    map["thes_host"] = "thes";
    EXPECT_EQ(FailureOf(&GrammarThesTest::Run<Thes_CH>), kUnavailable);
}

TEST_F(GrammarThesTest, WordLookupsListCategoriesAsHiddenFields) {
    map["word"] = "good";
    EngineAnswers("general use:fine,ok\r\n\r\n(adj) well-being.x:healthy\n");
    Run<Synonym_CH>();
    EXPECT_EQ(LastCall().function, "get_syn_list");
    EXPECT_EQ(LastCall().params, std::vector<std::string>{"good"});
    EXPECT_EQ(map[":word_org:"], "good");
    EXPECT_EQ(map["synlist"],
              "\n<input type=hidden name=cat_l value=\"general use,(adj) well-being.x\">"
              "\n<input type=hidden name=\"general_use\" value=\"fine,ok\">"
              "\n<input type=hidden name=\"(adj)_well_being_x\" value=\"healthy\">");
    Run<Antonym_CH>();
    EXPECT_EQ(LastCall().function, "get_ant_list");
}

TEST(ThesaurusFieldsTest, EngineTextIsEscapedInEveryAttribute) {
    EXPECT_EQ(ThesaurusFields("a\"b:<x>&\nnocolon\n:skipped"),
              "\n<input type=hidden name=cat_l value=\"a&quot;b,nocolon\">"
              "\n<input type=hidden name=\"a&quot;b\" value=\"&lt;x&gt;&amp;\">"
              "\n<input type=hidden name=\"nocolon\" value=\"\">");
    EXPECT_EQ(ThesaurusFields(""), "\n<input type=hidden name=cat_l value=\"\">");
}

TEST_F(GrammarThesTest, FailuresFollowEachCommandsTable) {
    struct Row {
        void (GrammarThesTest::*run)();
        const char* callFailed;  // the message when the engine refuses the call
    };
    const Row rows[] = {
        {&GrammarThesTest::Run<Grammar_CH>, "Check grammar - failed."},
        {&GrammarThesTest::Run<Suggram_CH>, kUnavailable},
        {&GrammarThesTest::Run<Thes_CH>, "Thesaurus - failed."},
        {&GrammarThesTest::Run<Thes_Ant_CH>, "Thesaurus - failed."},
        {&GrammarThesTest::Run<Synonym_CH>, kUnavailable},
        {&GrammarThesTest::Run<Antonym_CH>, kUnavailable},
    };
    map["text"] = map["word"] = "good";
    for (const Row& row : rows) {
        SetUp();
        server.AnswerWith("VerbarError\r\nThesaurus is not available");
        bool critical = false;
        EXPECT_EQ(FailureOf(row.run, &critical), row.callFailed);
        EXPECT_TRUE(critical) << row.callFailed;
        EngineIsDown();
        map["appserver_hostname"] = "";
        EXPECT_EQ(FailureOf(row.run), kUnavailable) << row.callFailed;
    }
}

TEST_F(GrammarThesTest, MissingTypedValuesAreLanguageErrors) {
    map["text"] = map["word"] = "good";
    data.Erase(idkey::SpellLang);
    for (auto run : {&GrammarThesTest::Run<Grammar_CH>, &GrammarThesTest::Run<Synonym_CH>}) {
        try {
            (this->*run)();
            ADD_FAILURE() << "no failure";
        } catch (const CommandHandler::exception& e) {
            ADD_FAILURE() << e.what();
        } catch (const Error::ErrorMessage& e) {
            EXPECT_STREQ(e.what(), "The default language is not configured correctly.");
        }
    }
    EXPECT_TRUE(server.requests().empty());
}
