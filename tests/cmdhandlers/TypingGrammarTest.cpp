// "kwirl_grammar": the typing client's grammar command against a scripted engine server, and
// its answer built from hostile engine results.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <typeinfo>

#include "cmdhandlers/Grammar/KwirlGrammar_CH.h"
#include "cmdhandlers/Grammar/TypingGrammarAnswer.h"
#include "cmdhandlers/SpellHandlerTestSupport.h"
#include "kernel/CommandRegistry.h"

namespace {

using nlohmann::json;

// The matches of an answer as "offset+length rule message [replacements]" lines.
std::string Summary(const std::optional<std::string>& answer) {
    if (!answer) return "(none)";
    std::string out;
    const json parsed = json::parse(*answer);
    for (const json& m : parsed.at("matches")) {
        out += std::to_string(m.at("offset").get<size_t>()) + "+" +
               std::to_string(m.at("length").get<size_t>()) + " " +
               m.at("rule").get<std::string>() + " " + m.at("message").get<std::string>() + " [";
        for (const json& r : m.at("replacements")) out += r.get<std::string>() + "|";
        out += "]\n";
    }
    return out;
}

}  // namespace

TEST(TypingGrammarAnswerTest, EngineResultsOfAnyShapeGiveMatchesInsideTheText) {
    const std::string text = "a apple \xF0\x9F\x98\x80 an car";  // the emoji is two UTF-16 units
    const struct {
        const char* engine;
        const char* summary;
    } rows[] = {
        {R"({"matches":[{"offset":0,"length":7,"rule":2,"message":"Use an.","replacements":["an apple"]}]})",
         "0+7 GRAMMAR_RULE_2 Use an. [an apple|]\n"},
        // misspellings are not the grammar command's
        {R"({"matches":[{"offset":2,"length":5,"rule":0,"message":"x"}]})", ""},
        // offsets count UTF-16 units: "an car" starts at 11; a length past the end is cut
        {R"({"matches":[{"offset":11,"length":60,"rule":3,"message":"m","replacements":["a car"]}]})",
         "11+6 GRAMMAR_RULE_3 m [a car|]\n"},
        {R"({"matches":[{"offset":17,"length":1,"rule":3}]})", ""},
        {R"({"matches":[{"offset":2,"length":0,"rule":3}]})", ""},
        {R"({"matches":[{"offset":-1,"length":2,"rule":3},{"offset":"0","length":2,"rule":3},)"
         R"({"offset":0,"length":2,"rule":"3"},{"offset":0,"length":2},7,null]})",
         ""},
        // wrong-typed texts read empty, non-string replacements are left out
        {R"({"matches":[{"offset":0,"length":1,"rule":4,"message":5,"replacements":[1,"A",null]}]})",
         "0+1 GRAMMAR_RULE_4  [A|]\n"},
        {R"({"matches":[{"offset":0,"length":1,"rule":4,"replacements":["1","2","3","4","5","6","7","8","9"]}]})",
         "0+1 GRAMMAR_RULE_4  [1|2|3|4|5|6|7|8|]\n"},
        {R"({"matches":{}})", "(none)"},
        {R"([1,2])", "(none)"},
        {"not json", "(none)"},
        {"{\"matches\":[{\"offset\":0,\"length\":1,\"rule\":1,\"message\":\"\xFF\"}]}", "(none)"},
        {"", "(none)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Summary(TypingGrammarAnswer::Build(row.engine, text)), row.summary) << row.engine;
}

TEST(TypingGrammarAnswerTest, AnswerIsPlainAsciiWhateverTheEngineWrote) {
    const std::string
        engine =
            R"({"matches":[{"offset":0,"length":1,"rule":1,"message":"</script><b>\u2028\u00fc')",
        tail = R"(","replacements":["\")alert(1)//"]}]})";
    const std::optional<std::string> answer = TypingGrammarAnswer::Build(engine + tail, "x");
    ASSERT_TRUE(answer);
    for (const char c : *answer) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << *answer;
    const json parsed = json::parse(*answer);
    EXPECT_EQ(parsed["matches"][0]["message"], "</script><b>\u2028\u00fc'");
    EXPECT_EQ(parsed["matches"][0]["replacements"][0], "\")alert(1)//");
}

TEST(TypingGrammarAnswerTest, AnswerIsBounded) {
    std::string many = R"({"matches":[)";
    for (size_t i = 0; i < TypingGrammarAnswer::kMaxMatches + 50; ++i)
        many += R"({"offset":0,"length":1,"rule":1,"message":")" +
                std::string(TypingGrammarAnswer::kMaxMessageBytes + 10, 'm') + "\"},";
    many.back() = ']';
    many += "}";
    const json parsed = json::parse(*TypingGrammarAnswer::Build(many, "x"));
    EXPECT_EQ(parsed["matches"].size(), TypingGrammarAnswer::kMaxMatches);
    EXPECT_EQ(parsed["matches"][0]["message"].get<std::string>().size(),
              TypingGrammarAnswer::kMaxMessageBytes);
}

TEST(TypingGrammarRegistryTest, CommandResolvesToItsHandler) {
    auto factory = CommandRegistry::Of(Program::Orthd).Resolve("kwirl_grammar");
    ASSERT_NE(factory, nullptr);
    CommandHandlerRef handler(factory());
    EXPECT_EQ(typeid(*handler), typeid(KwirlGrammar_CH));
}

class KwirlGrammarTest : public SpellHandlerTest {};

TEST_F(KwirlGrammarTest, AnswersAndFailuresAreScriptCalls) {
    const std::string found =
        R"({"language":"en_US","matches":[{"offset":0,"length":7,"rule":2,"message":"Use an.","replacements":["an apple"]}]})";
    const struct {
        const char* name;
        std::string text;
        std::string callback;
        std::string engine;  // empty: the engine is down
        bool engineAsked;
        std::string view;
        std::string callbackAnswered;
    } rows[] = {
        {"match", "a apple", "cb.r1", found, true,
         R"({"matches":[{"length":7,"message":"Use an.","offset":0,"replacements":["an apple"],"rule":"GRAMMAR_RULE_2","shortMessage":""}]})",
         "cb.r1"},
        {"empty text", "", "cb", found, false, R"({"matches":[]})", "cb"},
        {"default callback", "a apple", "", R"({"matches":[]})", true, R"({"matches":[]})",
         "kwirl.call"},
        {"unreadable engine answer", "a apple", "cb", "garbage", true,
         "{\"error\": true, \"text\": \"Check grammar - failed.\"}", "cb"},
        {"engine down", "a apple", "cb", "", false,
         "{\"error\": true, \"text\": \"The Verbarium Service is currently unavailable.\"}", "cb"},
        {"too long", std::string(KwirlGrammar_CH::kMaxTextBytes + 1, 'a'), "cb", found, false,
         "{\"error\": true, \"text\": \"Text too long.\"}", "cb"},
        {"bad callback", "a apple", "alert(1)//", found, false,
         "{\"error\": true, \"text\": \"Invalid callback name.\"}", "kwirl.call"},
    };
    const std::string port = map["appserver_port"];
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        map["appserver_port"] = port;
        map["view"] = map["format"] = "";
        map["text"] = row.text;
        map["callback"] = row.callback;
        if (row.engine.empty())
            EngineIsDown();
        else
            EngineAnswers(row.engine);
        const size_t before = server.requests().size();
        Run<KwirlGrammar_CH>();
        EXPECT_EQ(map["view"], row.view);
        EXPECT_EQ(map["callback"], row.callbackAnswered);
        EXPECT_EQ(map["format"], "json");
        EXPECT_EQ(server.requests().size() > before, row.engineAsked);
        if (row.engineAsked) {
            const wire::WireCall call = LastCall();
            EXPECT_EQ(call.function, "check_selected_matches");
            EXPECT_EQ(call.params,
                      (std::vector<std::string>{"en_US", "", row.text, "", "", "0;except:"}));
        }
    }
}
