#include <gtest/gtest.h>

#include <typeinfo>

#include "cmdhandlers/Spell/Check_CH.h"
#include "cmdhandlers/Spell/CommonSpell_CH.h"
#include "cmdhandlers/Spell/SpellAll_CH.h"
#include "cmdhandlers/Spell/Spell_CH.h"
#include "cmdhandlers/Spell/Suggest_CH.h"
#include "cmdhandlers/SpellHandlerTestSupport.h"
#include "kernel/CommandRegistry.h"
#include "kernel/ServerRedirectInfo.h"
#include "kernel/settings/MaxProblems_SS.h"

namespace {

// "teh" at 5, "wrod" at 12; the check stream ends with the blank the model appends.
constexpr char kText[] = "abcd teh wo wrod x";

template <typename Expected>
bool ResolvesTo(const std::string& command) {
    auto factory = CommandRegistry::Of(Program::Orthd).Resolve(command);
    if (factory == nullptr) return false;
    CommandHandlerRef handler(factory());
    return typeid(*handler) == typeid(Expected);
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(SpellCommandRegistryTest, EveryCommandResolvesToItsHandler) {
    EXPECT_TRUE(ResolvesTo<Spell_CH>("spell"));
    EXPECT_TRUE(ResolvesTo<Check_CH>("check"));
    EXPECT_TRUE(ResolvesTo<Suggest_CH>("suggest"));
    EXPECT_TRUE(ResolvesTo<SpellAll_CH>("spellsuggestall"));
}

// --- What the engine receives ---

TEST_F(SpellHandlerTest, SpellSendsSevenArgumentsInTheirOrder) {
    map["text"] = "<b>teh</b> x";
    map[":cstdicid:"] = "7";
    map["osp"] = "0100";
    map["ignoresp"] = "foo,bar";
    map["ud"] = "a,b";
    map["udn"] = "My words";
    map["igpossp"] = "3,9";
    EngineAnswers("");
    Run<Spell_CH>();
    const wire::WireCall call = LastCall();
    EXPECT_EQ(call.function, "check_spelling4");
    EXPECT_EQ(call.params, (std::vector<std::string>{"en_US", "7", "01001", "teh x ", "foo,bar",
                                                     "a,b,$My\x08words", "3,9"}));
}

TEST_F(SpellHandlerTest, EmptyOptionsSendTheCookieDefaultNotIgnoreCapitals) {
    map["text"] = "NASA";
    EngineAnswers("");
    Run<Spell_CH>();
    EXPECT_EQ(LastCall().params.at(2), "00011");
}

TEST_F(SpellHandlerTest, SixArgumentCommandsLeaveTheIgnoredPositionsOff) {
    map["text"] = "wrod";
    map["igpossp"] = "3,9";
    EngineAnswers("correct");
    Run<Check_CH>();
    EXPECT_EQ(LastCall().function, "check_is_correct4");
    EXPECT_EQ(LastCall().params, (std::vector<std::string>{"en_US", "", "00011", "wrod ", "", ""}));

    EngineAnswers("");
    Run<SpellAll_CH>();
    EXPECT_EQ(LastCall().function, "get_all_suggestions4");
    EXPECT_EQ(LastCall().params.size(), 6u);
}

TEST_F(SpellHandlerTest, SuggestSendsTheWordUnchanged) {
    map["word"] = " t<b>e</b>h&amp; ";
    EngineAnswers("the");
    Run<Suggest_CH>();
    EXPECT_EQ(LastCall().function, "get_suggestions4");
    EXPECT_EQ(LastCall().params,
              (std::vector<std::string>{"en_US", "", "00011", " t<b>e</b>h&amp; ", "", ""}));
    EXPECT_EQ(map[":word_org:"], " t<b>e</b>h&amp; ");
}

TEST(UserDictionarySpecTest, CombinesAcceptedWordsAndPersonalDictionary) {
    struct Row {
        const char* ud;
        const char* udn;
        const char* spec;
    };
    const Row rows[] = {
        {"[/]", "[/]", ""},
        {"", "", ""},
        {"a,b", "My words", "a,b,$My\x08words"},
        {"", "My  list", "$My\x08\x08list"},
        {"[/]", "x", "$x"},
        {"a", "[/]", "a"},
        {"a", "", "a"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(UserDictionarySpec(row.ud, row.udn), row.spec) << row.ud << "|" << row.udn;
}

TEST_F(SpellHandlerTest, RedirectedLanguageGoesToItsOwnServer) {
    ServerRedirectInfo redirects;
    redirects.Set(ServiceKind::Spell, "en_US", {"127.0.0.1", server.port()});
    data.Insert<const ServerRedirectInfo*>(idkey::ServerRedirects, &redirects);
    EngineIsDown();
    map["word"] = "teh";
    EngineAnswers("the");
    Run<Suggest_CH>();
    EXPECT_EQ(map["suggestlist"], "the");
}

TEST_F(SpellHandlerTest, ACommandReachesTheFirstWorkingServerOfAList) {
    const std::string down = "127.0.0.1:" + std::to_string(testsupport::UnusedLoopbackPort());
    const std::string up = "127.0.0.1:" + std::to_string(server.port());
    ServerRedirectInfo redirects;
    ASSERT_TRUE(redirects.ParseInto(ServiceKind::Spell, "de_DE->" + down + "," + up));
    data.Insert<const ServerRedirectInfo*>(idkey::ServerRedirects, &redirects);
    map["word"] = "teh";
    EngineAnswers("the");
    for (const char* language : {"en_US", "de_DE"}) {
        map["slang"] = language;
        map["appserver_hostname"] = down + ", " + up;
        map["suggestlist"] = "";
        Run<Suggest_CH>();
        EXPECT_EQ(map["suggestlist"], "the") << language;
    }
}

TEST_F(SpellHandlerTest, RedirectsApplyToTheirLanguageOnly) {
    ServerRedirectInfo redirects;
    redirects.Set(ServiceKind::Spell, "de_DE", {"127.0.0.1", testsupport::UnusedLoopbackPort()});
    redirects.Set(ServiceKind::Grammar, "en_US", {"127.0.0.1", testsupport::UnusedLoopbackPort()});
    const struct {
        const char* language;
        bool reachesTheConfiguredServer;
    } rows[] = {{"en_US", true}, {"de_DE", false}};
    data.Insert<const ServerRedirectInfo*>(idkey::ServerRedirects, &redirects);
    map["word"] = "teh";
    EngineAnswers("the");
    for (const auto& row : rows) {
        map["slang"] = row.language;
        map["suggestlist"] = "";
        if (row.reachesTheConfiguredServer) {
            Run<Suggest_CH>();
            EXPECT_EQ(map["suggestlist"], "the") << row.language;
        } else {
            EXPECT_THROW(Run<Suggest_CH>(), CommandHandler::criticalException) << row.language;
        }
    }
}

// --- spell ---

TEST_F(SpellHandlerTest, SpellMarksTheKeptMisspellingsAndStartsAtTheFirst) {
    map["text"] = kText;
    EngineAnswers("5,3;7,2;12,4;");
    Run<Spell_CH>();
    EXPECT_EQ(map["problemid"], "0");
    EXPECT_EQ(Count(map["view"], "<a name='sg_"), 2u);
    EXPECT_NE(map["view"].find(
                  "<a name='sg_0' href=\"javascript:void(0);\" onclick=\"submit_bot('suggest', "
                  "'teh', 5, 3, 0, 0, 'teh');\" class=cerr>teh</a>"),
              std::string::npos)
        << map["view"];
    EXPECT_NE(map["view"].find("submit_bot('suggest', 'wrod', 12, 4, 1, 0, 'wrod');\">wrod</a>"),
              std::string::npos);
    EXPECT_EQ(map["loaddlg"], "submit_bot('suggest','teh',5,3,0,0,'teh');");
    EXPECT_EQ(map["text"], std::string(kText) + " ");
}

TEST_F(SpellHandlerTest, SpellMarksAtMostTheConfiguredNumberOfProblems) {
    map["text"] = kText;
    map[MaxProblems_SS::kKey] = "1";
    map["max_problems"] = "5";  // a request parameter of the INI key's name changes nothing
    EngineAnswers("5,3;12,4;");
    Run<Spell_CH>();
    EXPECT_EQ(Count(map["view"], "<a name='sg_"), 1u) << map["view"];
    EXPECT_NE(map["view"].find("wrod"), std::string::npos);  // still shown, unmarked
}

TEST_F(SpellHandlerTest, SpellContinuesAfterTheChangePosition) {
    struct Row {
        const char* changePosition;
        const char* answer;
        const char* problemId;
    };
    const Row rows[] = {
        {"", "5,3;7,2;12,4;", "0"},
        {"6", "5,3;7,2;12,4;", "1"},  // the dropped (7,2) is not counted
        {"5", "5,3;12,4;", "1"},      // only a start after the position counts
        {"40", "5,3;12,4;", "40"},    // nothing after it: the position itself
        {"", "", "-1"},
        {"x7", "5,3;", "0"},  // not a number: as absent
    };
    for (const Row& row : rows) {
        map = {{"appserver_hostname", "127.0.0.1"},
               {"appserver_port", std::to_string(server.port())},
               {"appserver_wait_ms", kWaitMs},
               {"text", kText}};
        if (*row.changePosition) map[":chng_pos:"] = row.changePosition;
        EngineAnswers(row.answer);
        Run<Spell_CH>();
        EXPECT_EQ(map["problemid"], row.problemId) << row.changePosition << " / " << row.answer;
    }
}

TEST_F(SpellHandlerTest, SpellWithoutProblemAtTheIndexGivesTheFinishCall) {
    map["text"] = kText;
    map[":chng_pos:"] = "40";
    EngineAnswers("5,3;");
    Run<Spell_CH>();
    EXPECT_EQ(map["loaddlg"], "submit_bot('finish', '', 0, 0, 0, '', '');");
    EXPECT_EQ(Count(map["view"], "class=cerr"), 0u);
}

TEST_F(SpellHandlerTest, SpellSurvivesHostileMisspellingLists) {
    const char* answers[] = {
        "99999999999999999999,3;",  // overflows
        "5,99999999;",              // runs past the text
        "2147483647,2147483647;",
        "-5,3;5,-3;",
        "abc;;,;5;5,3,1;",
        "0,0;",
        "18,1;",  // the final blank
        "17,2;",
        ";;;,,,",
        "5,3;3,1;12,4;0,19;",
    };
    for (const char* answer : answers) {
        map["text"] = kText;
        EngineAnswers(answer);
        ASSERT_NO_THROW(Run<Spell_CH>()) << answer;
        EXPECT_EQ(map["text"], std::string(kText) + " ") << answer;
    }
    EXPECT_EQ(map["problemid"], "0");
    EXPECT_EQ(Count(map["view"], "<a name='sg_"), 2u);
}

// --- check ---

TEST_F(SpellHandlerTest, CheckIsOneOnlyForExactlyCorrect) {
    const std::pair<const char*, const char*> rows[] = {
        {"correct", "1"},   {"Correct", "0"}, {"correct ", "0"},
        {"incorrect", "0"}, {"", "0"},        {"CORRECT", "0"},
    };
    map["text"] = "word";
    for (const auto& [answer, check] : rows) {
        EngineAnswers(answer);
        Run<Check_CH>();
        EXPECT_EQ(map["check"], check) << answer;
        EXPECT_EQ(data.Get<std::string>(idkey::HttpStatus), "302 Found");  // every server redirects
    }
}

// --- suggest ---

TEST_F(SpellHandlerTest, SuggestListIsOneCommaSeparatedLine) {
    const std::pair<const char*, const char*> rows[] = {
        {"the\nten\nteeth", "the,ten,teeth"},  {"the", "the"}, {"", ""}, {"no_any_suggestions", ""},
        {"a<b>\nAT&T", "a&lt;b&gt;,AT&amp;T"},
    };
    map["word"] = "teh";
    for (const auto& [answer, list] : rows) {
        EngineAnswers(answer);
        Run<Suggest_CH>();
        EXPECT_EQ(map["suggestlist"], list) << answer;
    }
}

// --- spellsuggestall ---

TEST_F(SpellHandlerTest, SpellAllWritesOneHiddenFieldPerLine) {
    map["text"] = "teh wrod";
    EngineAnswers("teh:the,ten\r\nwrod:word");
    Run<SpellAll_CH>();
    EXPECT_EQ(map["spellsuggestall"],
              "\n<input type=hidden name=\"s_teh\" value=\"the,ten\">"
              "\n<input type=hidden name=\"s_wrod\" value=\"word\">");
}

TEST_F(SpellHandlerTest, SpellAllReadsAnswerLinesSafely) {
    struct Row {
        const char* answer;
        const char* fields;
    };
    const Row rows[] = {
        {"", ""},
        {"\r\n\n\r", ""},
        {"don't:do not,dont", "\n<input type=hidden name=\"s_don-39t\" value=\"do not,dont\">"},
        {"caf\xC3\xA9:cafe", "\n<input type=hidden name=\"s_caf-233\" value=\"cafe\">"},
        {"teh:no_any_suggestions", "\n<input type=hidden name=\"s_teh\" value=\"\">"},
        {"teh:::the", "\n<input type=hidden name=\"s_teh\" value=\"the\">"},
        {"x\":a\"b<c>&\td",
         "\n<input type=hidden name=\"s_x-34\" value=\"a&quot;b&lt;c&gt;&amp;&#9;d\">"},
        {"wrod", "\n<input type=hidden name=\"s_wrod\" value=\"\">"},
        {":orphan\r\n\r\na:b", "\n<input type=hidden name=\"s_a\" value=\"b\">"},
        {"<x>:y", "\n<input type=hidden name=\"s_-60x-62\" value=\"y\">"},
    };
    map["text"] = "teh";
    for (const Row& row : rows) {
        EngineAnswers(row.answer);
        Run<SpellAll_CH>();
        EXPECT_EQ(map["spellsuggestall"], row.fields) << row.answer;
    }
}

TEST_F(SpellHandlerTest, SpellAllListsAtMostTheConfiguredNumberOfWords) {
    const std::pair<const char*, size_t> rows[] = {{"1", 1}, {"2", 2}, {"3", 2}, {"junk", 2}};
    map["text"] = "teh wrod";
    for (const auto& [limit, fields] : rows) {
        map[MaxProblems_SS::kKey] = limit;
        EngineAnswers(":orphan\r\nteh:the\r\nwrod:word");
        Run<SpellAll_CH>();
        EXPECT_EQ(Count(map["spellsuggestall"], "<input"), fields) << limit;
        EXPECT_NE(map["spellsuggestall"].find("s_teh"), std::string::npos) << limit;
    }
}

// --- failures ---

TEST_F(SpellHandlerTest, EngineFailuresAreCritical) {
    struct Case {
        const char* name;
        void (SpellHandlerTest::*run)();
    };
    const Case cases[] = {
        {"spell", &SpellHandlerTest::Run<Spell_CH>},
        {"check", &SpellHandlerTest::Run<Check_CH>},
        {"suggest", &SpellHandlerTest::Run<Suggest_CH>},
        {"spellsuggestall", &SpellHandlerTest::Run<SpellAll_CH>},
    };
    map["text"] = map["word"] = "teh";
    for (const Case& c : cases) {
        for (int failure = 0; failure < 3; ++failure) {
            SetUp();
            if (failure == 0) EngineIsDown();
            if (failure == 1) server.AnswerWith("VerbarError\r\nLanguage is not supported");
            if (failure == 2) map["appserver_hostname"] = "";
            try {
                (this->*c.run)();
                ADD_FAILURE() << c.name << " did not fail";
            } catch (const CommandHandler::criticalException& e) {
                EXPECT_STREQ(e.what(), "The Verbarium Service is currently unavailable.") << c.name;
            }
        }
    }
}

TEST_F(SpellHandlerTest, FailedCheckAnswersMinusOne) {
    map["text"] = "teh";
    EngineIsDown();
    EXPECT_THROW(Run<Check_CH>(), CommandHandler::criticalException);
    EXPECT_EQ(map["check"], "-1");

    data.Erase(idkey::FilteringParams);
    map["check"] = "1";
    EXPECT_THROW(Run<Check_CH>(), Error::ErrorMessage);
    EXPECT_EQ(map["check"], "-1");
}

TEST_F(SpellHandlerTest, MissingFilteringParamsIsALanguageError) {
    struct Case {
        const char* module;
        void (SpellHandlerTest::*run)();
    };
    const Case cases[] = {
        {"cmdhandlers/Spell/Spell_CH", &SpellHandlerTest::Run<Spell_CH>},
        {"cmdhandlers/Spell/Check_CH", &SpellHandlerTest::Run<Check_CH>},
        {"cmdhandlers/Spell/SpellAll_CH", &SpellHandlerTest::Run<SpellAll_CH>},
    };
    data.Erase(idkey::FilteringParams);
    map["text"] = "teh";
    for (const Case& c : cases) {
        try {
            (this->*c.run)();
            ADD_FAILURE() << c.module << " did not fail";
        } catch (const CommandHandler::exception& e) {
            ADD_FAILURE() << c.module << " threw a command-handler exception: " << e.what();
        } catch (const Error::ErrorMessage& e) {
            EXPECT_STREQ(e.what(), "The default language is not configured correctly.");
            EXPECT_EQ(e.file(), c.module);
        }
    }
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(SpellHandlerTest, OtherFailuresAreInternalErrorsOfTheCommand) {
    struct Case {
        const char* message;
        void (SpellHandlerTest::*run)();
    };
    const Case cases[] = {
        {"SpellCommandHandler::apply() - internal error.", &SpellHandlerTest::Run<Spell_CH>},
        {"CheckCommandHandler::apply() - internal error.", &SpellHandlerTest::Run<Check_CH>},
        {"SpellsuggestallCommandHandler::apply() - internal error.",
         &SpellHandlerTest::Run<SpellAll_CH>},
        {"SuggestCommandHandler::apply() - internal error.", &SpellHandlerTest::Run<Suggest_CH>},
    };
    // A filtering-parameters value of another type; the redirect table of another type.
    data.Erase(idkey::FilteringParams);
    data.Insert(idkey::FilteringParams, 3);
    data.Insert(idkey::ServerRedirects, std::string("spell2:8080"));
    map["text"] = map["word"] = "teh";
    for (const Case& c : cases) {
        try {
            (this->*c.run)();
            ADD_FAILURE() << c.message << " not raised";
        } catch (const CommandHandler::criticalException& e) {
            ADD_FAILURE() << "critical: " << e.what();
        } catch (const CommandHandler::exception& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}
