// The check-as-you-type commands and the web-service API against a scripted engine server.
#include <gtest/gtest.h>

#include <typeinfo>

#include "cmdhandlers/Common/GetOpt_CH.h"
#include "cmdhandlers/Spell/APIVersion_CH.h"
#include "cmdhandlers/Spell/CheckSpelling_CH.h"
#include "cmdhandlers/Spell/KwrlAddWord_CH.h"
#include "cmdhandlers/Spell/KwrlSpellText_CH.h"
#include "cmdhandlers/Spell/KwrlSpell_CH.h"
#include "cmdhandlers/Spell/KwrlSuggest_CH.h"
#include "cmdhandlers/Spell/SC_CH.h"
#include "cmdhandlers/Spell/SpellCheck_CH.h"
#include "cmdhandlers/SpellHandlerTestSupport.h"
#include "kernel/CommandRegistry.h"
#include "kernel/ServerRedirectInfo.h"
#include "templates/CheckSpellingResults.h"

namespace {

constexpr char kDojo2[] = "dojo.io.script.jsonp_dojoIoScript2._jsonpCallback";
constexpr char kDojo5[] = "dojo.io.script.jsonp_dojoIoScript5._jsonpCallback";

template <typename Expected>
bool ResolvesTo(const std::string& command) {
    auto factory = CommandRegistry::Of(Program::Orthd).Resolve(command);
    if (factory == nullptr) return false;
    CommandHandlerRef handler(factory());
    return typeid(*handler) == typeid(Expected);
}

struct Params : std::vector<std::pair<std::string, std::string>> {
    using vector::vector;
    void ApplyTo(StringMap& map) const {
        for (const auto& [key, value] : *this) map[key] = value;
    }
};

class TypingCommandsTest : public SpellHandlerTest {
  protected:
    template <typename Handler>
    std::string ErrorOf() {
        try {
            Run<Handler>();
        } catch (const Error::ErrorMessage& e) {
            return e.message();
        }
        return "(no error)";
    }
};

}  // namespace

TEST(TypingCommandRegistryTest, EveryCommandResolvesToItsHandler) {
    EXPECT_TRUE(ResolvesTo<SpellCheck_CH>("spellcheck"));
    EXPECT_TRUE(ResolvesTo<SC_CH>("sc"));
    EXPECT_TRUE(ResolvesTo<KwrlSpell_CH>("kwirl_spell"));
    EXPECT_TRUE(ResolvesTo<KwrlSpellText_CH>("kwirl_spelltext"));
    EXPECT_TRUE(ResolvesTo<KwrlSuggest_CH>("kwirl_suggest"));
    EXPECT_TRUE(ResolvesTo<KwrlAddWord_CH>("kwirl_add_word"));
    EXPECT_TRUE(ResolvesTo<CheckSpelling_CH>("check_spelling"));
    EXPECT_TRUE(ResolvesTo<APIVersion_CH>("api_version"));
    EXPECT_TRUE(ResolvesTo<orthd::GetOpt_CH>("get_opt"));
}

TEST_F(TypingCommandsTest, SpellCheckAndScAnswerShapes) {
    const struct {
        bool sc;
        Params params;
        std::string engine;
        std::string view;
        std::string callback;
    } rows[] = {
        {false,
         {{"callback", kDojo2}, {"words", "teh,is,fine"}, {"langs_ver", "3"}, {"verlang", "3"}},
         "teh:the\nten;\\is,fine",
         "{\"incorrect\": [[\"teh\",[\"the\",\"ten\"]]],\"correct\": [\"is\",\"fine\"]})\n"
         "kwirl.props({fireOnContextMenu:function(){}}",
         kDojo2},
        {false,
         {{"c", kDojo5}, {"words", "x"}, {"slang", "de_DE"}, {"langs_ver", "4"}, {"verlang", "3"}},
         "",
         "{\"incorrect\": [],\"correct\": [], \"o\": {\"lang\": "
         "\"de_DE\"}});kwirl.opt({\"verLang\": 4}",
         kDojo5},
        {false,
         {{"callback", kDojo2}, {"bnr", "1"}, {"words", "x"}},
         "x\"]),alert(1)//:</script>;\\<b>",
         "{\"incorrect\": [[\"x\\\"]),alert(1)//\",[\"\\u003C/script\\u003E\"]]],\"correct\": "
         "[\"\\u003Cb\\u003E\"]}",
         kDojo2},
        {false,
         {{"callback", kDojo2}, {"langs_ver", "7"}},
         "",
         "{});kwirl.opt({\"verLang\": 7}",
         kDojo2},
        {true,
         {{"v", "2.1"}, {"c", "cb"}, {"words", "wrod"}, {"udn", "mine"}},
         "wrod:no_any_suggestions;",
         "{\"incorrect\": [[\"wrod\",[]]],\"correct\": []});kwirl.props({ "
         "\"userDictionaryName\":\"mine\"}",
         "cb"},
        {true,
         {{"v", "2.1"},
          {"words", "wrod"},
          {"cust_dic_ids", "3,'x'];alert(1)//"},
          {"udn", "a"},
          {"c_udn", "a"}},
         "",
         "{\"incorrect\": [],\"correct\": []});kwirl.props({ \"customDictionaryIds\":[3,"
         "\"\\u0027x\\u0027];alert\\u0026#040;1\\u0026#041;//\"]}",
         "kwirl.call"},
        {true,
         {{"v", "2.1"}, {"init", ""}, {"bnr", "1"}, {"uiTags", "['textarea','input']"}},
         "",
         "{});kwirl.opt({\"verLang\": 0}",
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.view);
        map.clear();
        SetUp();
        row.params.ApplyTo(map);
        EngineAnswers(row.engine);
        if (row.sc)
            Run<SC_CH>();
        else
            Run<SpellCheck_CH>();
        EXPECT_EQ(map["view"], row.view);
        EXPECT_EQ(map["callback"], row.callback);
        EXPECT_EQ(map["format"], "json");
    }
}

TEST_F(TypingCommandsTest, ScPropertiesNameTheBannerParametersOfTheIniOnly) {
    map["v"] = "2.1";
    map["words"] = "x";
    map["init"] = "";
    map["product"] = "acme.pro";
    map["acme_params"] = "size:2";
    map["uiTags"] = "alert(1)";
    EngineAnswers("");
    Run<SC_CH>();
    EXPECT_EQ(
        map["view"],
        "{\"incorrect\": [],\"correct\": []});kwirl.props({ \"ads\":{\"params\":{\"acme.pro\":{}}, "
        "\"active\":false},\"uiTags\":\"alert\\u0026#040;1\\u0026#041;\"}");
    data.Insert(idkey::IniKeys, std::vector<std::string>{"acme_params"});
    Run<SC_CH>();
    EXPECT_NE(map["view"].find("{\"acme.pro\":{size:2}}"), std::string::npos) << map["view"];
}

TEST_F(TypingCommandsTest, SpellCheckAndScAnswerTheirFailures) {
    const struct {
        bool sc;
        Params params;
        bool engineDown;
        std::string text;
        std::string callback;
    } rows[] = {
        {false,
         {{"callback", "myFunction"}, {"words", "x"}},
         false,
         "Invalid format",
         "myFunction"},
        {false,
         {{"callback", "alert(document.cookie)//dojoIoScript2."}, {"words", "x"}},
         false,
         "Invalid callback name.",
         "kwirl.call"},
        {true,
         {{"v", "2.1"}, {"c", "</script><script>x"}, {"words", "x"}},
         false,
         "Invalid callback name.",
         "kwirl.call"},
        {true, {{"v", "2.0"}, {"c", "cb"}}, false, "Unrecognize protocol version", "cb"},
        {true,
         {{"v", "2.1"}, {"words", "x"}},
         true,
         "The Verbarium Service is currently unavailable.",
         "kwirl.call"},
        {false,
         {{"callback", kDojo5}, {"words", "x"}},
         true,
         "The Verbarium Service is currently unavailable.",
         kDojo5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        map.clear();
        SetUp();
        row.params.ApplyTo(map);
        EngineAnswers("");
        if (row.engineDown) EngineIsDown();
        if (row.sc)
            Run<SC_CH>();
        else
            Run<SpellCheck_CH>();
        EXPECT_EQ(map["view"], "{\"error\": true, \"text\": \"" + row.text + "\"}");
        EXPECT_EQ(map["callback"], row.callback);
        EXPECT_EQ(map["format"], "json");
    }
}

TEST_F(TypingCommandsTest, MissingFilteringParametersAnswerTheLanguageError) {
    data = InternalData();
    map["callback"] = kDojo5;
    map["words"] = "x";
    Run<SpellCheck_CH>();
    EXPECT_EQ(map["view"],
              "{\"error\": true, \"text\": \"The default language is not configured correctly.\"}");
}

TEST_F(TypingCommandsTest, FailedLanguageFallsBackToEnglish) {
    ServerRedirectInfo redirects;
    redirects.Set(ServiceKind::Spell, "de_DE", {"127.0.0.1", testsupport::UnusedLoopbackPort()});
    data.Insert<const ServerRedirectInfo*>(idkey::ServerRedirects, &redirects);
    map["slang"] = "de_DE";
    map["callback"] = kDojo5;
    map["words"] = "wrod";
    EngineAnswers("wrod:word;");
    Run<SpellCheck_CH>();
    EXPECT_EQ(
        map["view"],
        "{\"incorrect\": [[\"wrod\",[\"word\"]]],\"correct\": [], \"o\": {\"lang\": \"en_US\", "
        "\"errorLang\": \"de_DE\"}}");
    EXPECT_EQ(map["slang"], "en_US");
}

TEST_F(TypingCommandsTest, KwirlSuggestReadsTheCheckAndSuggestionsAnswer) {
    std::string twenty;
    for (int i = 0; i < 20; ++i) twenty += "s" + std::to_string(i) + (i < 19 ? "\n" : "");
    const struct {
        std::string format, sugLen, text, engine, view;
    } rows[] = {
        {"xml", "2", "teh,,zzz,is", "teh:the\nten\ntea;\\is",
         "<words><word id=\"teh\" suggestions=\"the,ten\"/><correctWords><word id=\"zzz\"/>"
         "<word id=\"is\"/></correctWords></words>"},
        {"json", "20", "teh", "teh:" + twenty + ";",
         "[[\"teh\",[\"s0\",\"s1\",\"s2\",\"s3\",\"s4\",\"s5\",\"s6\",\"s7\",\"s8\",\"s9\",\"s10\","
         "\"s11\",\"s12\",\"s13\","
         "\"s14\"]]],[]"},
        {"json", "0", "wrod,ok", "wrod:word;\\ok", "[[\"wrod\",[\"\"]]],[\"ok\"]"},
        {"xml", "3", "<word id=\"a\"/>", "<word id=\"a\"/>:\"q&;",
         "<words><word id=\"&lt;word id=&quot;a&quot;/&gt;\" suggestions=\"&quot;q&amp;\"/>"
         "<correctWords></correctWords></words>"},
        {"json", "3", "x'])", "x'])://;", "[[\"x\\u0027])\",[\"//\"]]],[]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.view);
        map["format"] = row.format;
        map["sug_len"] = row.sugLen;
        map["text"] = row.text;
        EngineAnswers(row.engine);
        Run<KwrlSuggest_CH>();
        EXPECT_EQ(map["view"], row.view);
        EXPECT_EQ(LastCall().function, "check_and_suggestions");
    }
}

TEST_F(TypingCommandsTest, KwirlAddWordKeepsTheCookieListOrTheServerDictionary) {
    const struct {
        Params params;
        std::string ud, view;
        bool callsEngine;
    } rows[] = {
        {{{"ud", "[/]"}, {"text", "teh"}, {"format", "json"}},
         "teh",
         "{\"words\":[{\"id\":\"teh\"}]}",
         false},
        {{{"ud", "a,b"}, {"text", "teh"}}, "a,b,teh", "<addword name=\"teh\"/>", false},
        // The key comes as a parameter: a script request (GET) may change the dictionary.
        {{{"udn", "team words"},
          {"udk", "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk"},
          {"ud", "[/]"},
          {"text", "teh"}},
         "",
         "<addword name=\"teh\"/>",
         true},
        {{{"text", "x'}]});alert(1)//"}, {"format", "json"}},
         "x'}]});alert(1)//",
         "{\"words\":[{\"id\":\"x\\u0027}]});alert(1)//\"}]}",
         false},
        {{{"text", "<a\"b>"}}, "<a\"b>", "<addword name=\"&lt;a&quot;b&gt;\"/>", false},
    };
    data.Insert(idkey::SpellLang, std::string("en_US"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.view);
        for (const char* key : {"udn", "udk", "ud", "format"}) map.erase(key);
        row.params.ApplyTo(map);
        server.SetScript({{wire::BuildOkAnswer({})}});  // the call has no results
        const size_t callsBefore = server.requests().size();
        Run<KwrlAddWord_CH>();
        EXPECT_EQ(map["ud"], row.ud);
        EXPECT_EQ(map["view"], row.view);
        EXPECT_EQ(server.requests().size() > callsBefore, row.callsEngine);
        if (row.callsEngine) {
            EXPECT_EQ(LastCall().params,
                      (std::vector<std::string>{"team words", std::string(64, 'k'), "teh", ""}));
        }
    }
}

TEST_F(TypingCommandsTest, KwirlAddWordRefusesAWordTheEncodedCookieListHasNoRoomFor) {
    data.Insert(idkey::SpellLang, std::string("en_US"));
    const std::string umlaut = "\xC3\xB6";  // written into the cookie as "%C3%B6"
    std::string wide;
    while (wide.size() < 2600) wide += umlaut;  // 2,600 bytes, 7,800 in the cookie
    const struct {
        std::string cookies, ud, text;
        bool refused;
    } rows[] = {
        {"", std::string(3997, 'a'), "ab", false},             // 4,000 bytes
        {"", std::string(3997, 'a'), "abc", true},             // 4,001 bytes
        {std::string(8000, 'c'), "a", "abc", false},           // other cookies take no room
        {"", std::string(1330, 'a'), umlaut + umlaut, false},  // 1,330 + 1 + 12 encoded
        {"", wide, "x", true},
        {"", std::string(3995, 'a'), "\xC3\xB6", true},  // 3,995 + 1 + 6 encoded
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ud.size());
        map[":cookies:"] = row.cookies;
        map["ud"] = row.ud;
        map["text"] = row.text;
        EXPECT_EQ(ErrorOf<KwrlAddWord_CH>(),
                  row.refused ? "The list of ignored words is full." : "(no error)");
        EXPECT_EQ(map["ud"], row.refused ? row.ud : row.ud + "," + row.text);
    }
}

TEST_F(TypingCommandsTest, KwirlSpellAndSpellTextAnswerInBothFormats) {
    map["text"] = "abcd teh x";
    map["sug_len"] = "5";
    EngineAnswers("5,3;");
    const struct {
        bool spellText;
        std::string format, view;
    } rows[] = {
        {false, "json", "{\"words\":[{\"id\": \"teh\",\"suggestions\":[]}]}"},
        {false, "", "<words><word id = \"teh\" suggestions = \"\"/></words>"},
        {true, "",
         "<text><![CDATA[abcd <span type=\"kwrl_word\" name=\"teh\">teh</span> x ]]></text>"},
        {true, "json",
         "{\"text\":\"abcd \\u003Cspan type=\\\"kwrl_word\\\" name=\\\"teh\\\"\\u003Eteh\\u003C/"
         "span\\u003E x \"}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.view);
        map["format"] = row.format;
        if (row.spellText)
            Run<KwrlSpellText_CH>();
        else
            Run<KwrlSpell_CH>();
        EXPECT_EQ(map["view"], row.view);
        EXPECT_EQ(map["problemid"], "0");
    }
}

TEST_F(TypingCommandsTest, CommandsRefuseBadCallbacksAndTheApiBadVersions) {
    EngineAnswers("");
    const struct {
        std::string callback, version, error;
    } rows[] = {
        {"", "1.0", "(no error)"},
        {"kwirl.call", "1.0", "(no error)"},
        {"cb[3]", "1.0", "(no error)"},
        {"alert(document.cookie)//", "1.0", "Invalid callback name."},
        {"</script>", "1.0", "Invalid callback name."},
        {"cb", "1.00", "Unsupported API version."},
        {"cb", "", "Unsupported API version."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.callback + " " + row.version);
        map["callback"] = row.callback;
        map["version"] = row.version;
        EXPECT_EQ(ErrorOf<CheckSpelling_CH>(), row.error);
        const std::string callbackError =
            row.error == "Invalid callback name." ? row.error : "(no error)";
        EXPECT_EQ(ErrorOf<APIVersion_CH>(), callbackError);
        EXPECT_EQ(ErrorOf<orthd::GetOpt_CH>(), callbackError);
        EXPECT_EQ(ErrorOf<KwrlSuggest_CH>(), callbackError);
        EXPECT_EQ(ErrorOf<KwrlAddWord_CH>(), callbackError);
    }
}

TEST_F(TypingCommandsTest, CheckSpellingWithoutALanguageSaysSo) {
    map["version"] = "1.0";
    map["text"] = "teh";
    map["slang"] = "";
    EngineAnswers("");
    EXPECT_EQ(ErrorOf<CheckSpelling_CH>(),
              "No spelling language given: the parameter \"slang\" is missing.");
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(TypingCommandsTest, CheckSpellingStoresWholeWordOccurrences) {
    map["version"] = "1.0";
    map["out_type"] = "positions";  // an answer by words has no occurrences looked for
    map["text"] = "teh Tehran teh tehteh";
    EngineAnswers("teh:the,ten\r\nTehran:no_any_suggestions");
    Run<CheckSpelling_CH>();
    EXPECT_EQ(LastCall().function, "get_all_suggestions4");
    EXPECT_EQ(LastCall().params.at(3), "teh Tehran teh tehteh");
    const auto& words = data.Get<CheckSpellingSuggestions>(idkey::CheckSpellingSuggestions);
    EXPECT_EQ(words.at("teh"), (std::vector<std::string>{"the", "ten"}));
    EXPECT_TRUE(words.at("Tehran").empty());
    EXPECT_EQ(data.Get<CheckSpellingPositions>(idkey::CheckSpellingPositions),
              (CheckSpellingPositions{{"teh", {0, 3}}, {"teh", {11, 3}}, {"Tehran", {4, 6}}}));
}

TEST_F(TypingCommandsTest, CheckSpellingPositionsCountInTheTextAsSent) {
    map["version"] = "1.0";
    map["out_type"] = "positions";
    map["text"] = "a,,teh";  // what the engine checks: the no-break spaces became commas
    data.Set<std::string>(idkey::TextAsSent, "a\xC2\xA0\xC2\xA0teh");
    EngineAnswers("teh:the");
    Run<CheckSpelling_CH>();
    EXPECT_EQ(LastCall().params.at(3), "a,,teh");
    EXPECT_EQ(data.Get<CheckSpellingPositions>(idkey::CheckSpellingPositions),
              (CheckSpellingPositions{{"teh", {5, 3}}}));
}
