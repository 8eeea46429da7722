#include <gtest/gtest.h>

#include "cmdhandlers/Dictionary/Add_CH.h"
#include "cmdhandlers/Dictionary/Change_CH.h"
#include "cmdhandlers/Dictionary/Dictionary_CH.h"
#include "cmdhandlers/Dictionary/IgnoreList.h"
#include "cmdhandlers/Dictionary/Ignore_CH.h"
#include "cmdhandlers/Dictionary/MessageFormat.h"
#include "cmdhandlers/Dictionary/NextCommand.h"
#include "cmdhandlers/Dictionary/Options_CH.h"
#include "cmdhandlers/RegistryTestSupport.h"
#include "cmdhandlers/Spell/KwrlAddWord_CH.h"
#include "cmdhandlers/SpellHandlerTestSupport.h"

namespace {

constexpr char kServerError[] = "VerbarError\r\nUser dictionary not found";

class DictionaryTest : public SpellHandlerTest {
  protected:
    void SetUp() override {
        SpellHandlerTest::SetUp();
        data.Insert(idkey::SpellLang, std::string("en_US"));
        map["tx_no82"] = "create [%s] failed (%d)";
        map["tx_no83"] = "created [%s]";
        map["tx_no84"] = "delete failed (%d): [%s]";
        map["tx_no85"] = "deleted [%s]";
        map["tx_no86"] = "rename [%s] failed (%d)";
        map["tx_no87"] = "renamed to [%s]";
        map["tx_no88"] = "restore [%s] failed";
        map["tx_no89"] = "restored [%s]";
        // A change needs an accepted POST (or the key as a parameter): the dialog's own form.
        setenv("REQUEST_METHOD", "POST", 1);
        unsetenv("HTTP_ORIGIN");
    }
    void TearDown() override { unsetenv("REQUEST_METHOD"); }
    void EngineAccepts() { server.SetScript({{wire::BuildOkAnswer({})}}); }
    void EngineRefuses() { server.AnswerWith(kServerError); }
    std::vector<std::string> Functions() const {
        std::vector<std::string> names;
        for (const std::string& request : server.requests()) {
            const size_t body = request.find("\r\n\r\n") + 4;
            names.push_back(request.substr(body, request.find("\r\n", body) - body));
        }
        return names;
    }
};

}  // namespace

TEST(DictionaryRegistryTest, EveryCommandResolvesToItsHandler) {
    EXPECT_TRUE(ResolvesTo<Dictionary_CH>("dictionary"));
    for (const char* name : {"ospshow", "ospsave", "kwirl_optshow"})
        EXPECT_TRUE(ResolvesTo<Options_CH>(name)) << name;
    EXPECT_TRUE(ResolvesTo<Add_CH>("sp_add"));
    for (const char* name : {"sp_ch", "sp_ch_all", "gr_ch", "th_ch"})
        EXPECT_TRUE(ResolvesTo<Change_CH>(name)) << name;
    for (const char* name : {"sp_ig", "sp_ig_all", "gr_ig", "gr_ig_all"})
        EXPECT_TRUE(ResolvesTo<Ignore_CH>(name)) << name;
}

TEST_F(DictionaryTest, DictionaryActionsCallTheEngineAndAnswerInJson) {
    struct Row {
        const char* action;
        bool accepted;
        const char* function;  // "" when no call is made
        std::vector<std::string> params;
        const char* view;
        const char* udn;
    };
    const Row rows[] = {
        {"create",
         true,
         "create_owned_user_dictionary",
         {"new", "a,b"},
         "{\"dname\": \"new\", \"action\": \"create\"}",
         "new"},
        {"delete",
         true,
         "delete_owned_user_dictionary",
         {"old", ""},
         "{\"dname\": \"old\", \"action\": \"delete\"}",
         ""},
        {"rename",
         true,
         "rename_owned_user_dictionary",
         {"old", "", "new"},
         "{\"dname\": \"new\", \"action\": \"rename\"}",
         "new"},
        {"restore",
         true,
         "check_user_dictionary",
         {"new"},
         "{\"dname\": \"new\", \"action\": \"restore\"}",
         "new"},
        {"getname", true, "", {}, "{\"dname\": \"old\", \"action\": \"getname\"}", "old"},
        // Without a known action: an error, and the dictionary cookie is left alone.
        {"other",
         true,
         "",
         {},
         "{\"text\": \"Unknown dictionary action.\", \"type\": \"0\", \"error\": true, \"dname\": "
         "\"old\"}",
         "old"},
        {"",
         true,
         "",
         {},
         "{\"text\": \"Unknown dictionary action.\", \"type\": \"0\", \"error\": true, \"dname\": "
         "\"old\"}",
         "old"},
        {"create",
         false,
         "create_owned_user_dictionary",
         {"new", "a,b"},
         "{\"text\": \"create [new] failed (-3)\", \"type\": \"-3\", \"error\": true, \"dname\": "
         "\"new\"}",
         "old"},
        {"delete",
         false,
         "delete_owned_user_dictionary",
         {"old", ""},
         "{\"text\": \"delete failed (-3): [old]\", \"type\": \"-3\", \"error\": true, \"dname\": "
         "\"old\"}",
         "old"},
        {"rename",
         false,
         "rename_owned_user_dictionary",
         {"old", "", "new"},
         "{\"text\": \"rename [old] failed (-3)\", \"type\": \"-3\", \"error\": true, \"dname\": "
         "\"old\"}",
         "old"},
        {"restore",
         false,
         "check_user_dictionary",
         {"new"},
         "{\"text\": \"restore [new] failed\", \"type\": \"-3\", \"error\": true, \"dname\": "
         "\"new\"}",
         "[/]"},
    };
    for (const Row& row : rows) {
        SetUp();
        const size_t before = server.requests().size();
        map["format"] = "json";
        map["action"] = row.action;
        map["udn"] = "old";
        map["dname"] = "new";
        map["ud"] = "a,b";
        map["view"] = "";
        row.accepted ? EngineAccepts() : EngineRefuses();
        Run<Dictionary_CH>();
        EXPECT_EQ(map["view"], row.view) << row.action;
        EXPECT_EQ(map["udn"], row.udn) << row.action;
        EXPECT_EQ(map["dname"], std::string(row.udn) == "[/]" ? "" : row.udn) << row.action;
        const bool called = *row.function != '\0';
        ASSERT_EQ(server.requests().size(), before + (called ? 1 : 0)) << row.action;
        if (called) {
            EXPECT_EQ(LastCall().function, row.function);
            EXPECT_EQ(LastCall().params, row.params);
        }
    }
}

TEST_F(DictionaryTest, DictionaryEdgeCases) {
    // Renaming to the same name fails with -3 and no call.
    map["format"] = "json";
    map["action"] = "rename";
    map["udn"] = map["dname"] = "same";
    Run<Dictionary_CH>();
    EXPECT_EQ(map["view"],
              "{\"text\": \"rename [same] failed (-3)\", \"type\": \"-3\", \"error\": true, "
              "\"dname\": \"same\"}");
    EXPECT_TRUE(server.requests().empty());

    // Outside JSON the failure is the error answer.
    map["format"] = "";
    try {
        Run<Dictionary_CH>();
        ADD_FAILURE() << "no failure";
    } catch (const Dictionary_CH::DictionaryError& e) {
        EXPECT_EQ(e.code(), -3);
        EXPECT_EQ(e.name(), "same");
    }

    // "getname" shows "[/]" as empty; the callback "c" wins.
    map["format"] = "json";
    map["action"] = "getname";
    map["udn"] = "[/]";
    map["c"] = "cb1";
    map["callback"] = "cb2";
    Run<Dictionary_CH>();
    EXPECT_EQ(map["view"], "{\"dname\": \"\", \"action\": \"getname\"}");
    EXPECT_EQ(map["callback"], "cb1");
}

TEST_F(DictionaryTest, AddwordGoesToTheDictionaryOrTheCookieList) {
    map["format"] = "json";
    map["action"] = "addword";
    map["word"] = "Verbar";
    map["udn"] = "[/]";
    map["ud"] = "[/]";
    Run<Dictionary_CH>();
    EXPECT_EQ(map["ud"], "Verbar");
    EXPECT_EQ(map["view"], "{\"word\": \"Verbar\", \"action\": \"addword\"}");
    EXPECT_TRUE(server.requests().empty());

    map["udn"] = "mine";
    map["ud"] = "x,y";
    EngineAccepts();
    Run<Dictionary_CH>();
    EXPECT_EQ(LastCall().function, "update_owned_user_dictionary");
    EXPECT_EQ(LastCall().params, (std::vector<std::string>{"mine", "", "Verbar", "x,y"}));
    EXPECT_EQ(map["ud"], "");
    EXPECT_EQ(map["udn"], "mine");

    EngineRefuses();
    EXPECT_THROW(Run<Dictionary_CH>(), CommandHandler::criticalException);
}

TEST_F(DictionaryTest, AWordTheCookieListHasNoRoomForIsRefusedNotLost) {
    const std::string nearlyFull(3995, 'w');
    const struct {
        const char* command;
        std::string ud;
        bool refused;
    } rows[] = {
        {"dictionary", nearlyFull, true},
        {"sp_add", nearlyFull, true},
        {"dictionary", std::string(3990, 'w'), false},  // 3990 + ",Verbar" fits
        {"sp_add", std::string(3990, 'w'), false},
    };
    for (const auto& row : rows) {
        SetUp();
        map["format"] = "json";
        map["action"] = "addword";
        map["word"] = "Verbar";
        map["text"] = "abc Verbar x";
        map["pos"] = "4";
        map["len"] = "6";
        map["udn"] = "[/]";
        map["ud"] = row.ud;
        EngineAnswers("");
        std::string failure;
        try {
            if (std::string(row.command) == "dictionary")
                Run<Dictionary_CH>();
            else
                Run<Add_CH>();
        } catch (const CommandHandler::exception& e) {
            failure = e.message();
        }
        if (row.refused) {
            EXPECT_EQ(map["ud"], row.ud) << row.command;
            EXPECT_EQ(map["udn"], "[/]") << row.command;
            const std::string shown =
                std::string(row.command) == "dictionary" ? map["view"] : failure;
            EXPECT_NE(shown.find("The list of ignored words is full."), std::string::npos)
                << row.command << ": " << shown;
        } else {
            EXPECT_EQ(map["ud"], row.ud + ",Verbar") << row.command;
            EXPECT_EQ(failure, "") << row.command;
        }
    }
}

TEST_F(DictionaryTest, JsonAnswersEscapeNamesWordsAndMessages) {
    const std::string hostile = "x\"}, evil: alert(1), a: {\"</script>\xE2\x80\xA8";
    const std::string escaped = "x\\\"}, evil: alert(1), a: {\\\"\\u003C/script\\u003E\\u2028";
    map["format"] = "json";
    map["action"] = "create";
    map["dname"] = hostile;
    EngineAccepts();
    Run<Dictionary_CH>();
    EXPECT_EQ(map["view"], "{\"dname\": \"" + escaped + "\", \"action\": \"create\"}");

    map["action"] = "addword";
    map["udn"] = "[/]";
    map["word"] = hostile;
    Run<Dictionary_CH>();
    EXPECT_EQ(map["view"], "{\"word\": \"" + escaped + "\", \"action\": \"addword\"}");

    map["action"] = "restore";
    map["dname"] = hostile;
    EngineRefuses();
    Run<Dictionary_CH>();
    EXPECT_EQ(map["view"], "{\"text\": \"restore [" + escaped + "] failed\", \"type\": \"-3\", " +
                               "\"error\": true, \"dname\": \"" + escaped + "\"}");
}

// A link on another site makes the browser send the cookies (udn and its key udk) with a plain
// GET: no change of the dictionary may follow. A change needs the key as a parameter or a POST
// from an accepted page, also through the relay; the engine gets the key and checks it.
TEST_F(DictionaryTest, AChangeNeedsTheKeyOrAnAcceptedPostAndTheEngineGetsTheKey) {
    const std::string cookieKey(64, 'c'), parameterKey(64, 'b');
    struct Request {
        const char* method;
        const char* origin;   // nullptr: none
        bool keyParameter;    // "udk" sent
        const char* relayed;  // through the relay: the browser's method; nullptr: direct
    };
    const Request link{"GET", nullptr, false, nullptr}, keyed{"GET", nullptr, true, nullptr},
        ownForm{"POST", "http://svc.example", false, nullptr},
        foreignForm{"POST", "https://evil.example", false, nullptr},
        listedPage{"POST", "https://listed.example", false, nullptr},
        relayedLink{"POST", nullptr, false, "GET"}, relayedForm{"POST", nullptr, false, "POST"};
    struct Row {
        const char* command;
        const char* action;
        Request request;
        const char* function;  // the engine function called first; "" none
        bool exists = false;   // the engine refuses a create: the name exists
    };
    const Row rows[] = {
        {"dictionary", "delete", link, ""},
        {"dictionary", "delete", keyed, "delete_owned_user_dictionary"},
        {"dictionary", "delete", ownForm, "delete_owned_user_dictionary"},
        {"dictionary", "delete", foreignForm, ""},
        {"dictionary", "delete", listedPage, "delete_owned_user_dictionary"},
        {"dictionary", "delete", relayedLink, ""},
        {"dictionary", "delete", relayedForm, "delete_owned_user_dictionary"},
        {"dictionary", "rename", link, ""},
        {"dictionary", "rename", keyed, "rename_owned_user_dictionary"},
        {"dictionary", "create", link, ""},
        // Without a change allowed, only a new dictionary can be made: an existing name fails.
        {"dictionary", "addword", link, "create_owned_user_dictionary", true},
        {"dictionary", "addword", keyed, "update_owned_user_dictionary"},
        {"ospsave", "delete", link, ""},
        {"ospsave", "delete", ownForm, "delete_owned_user_dictionary"},
        {"sp_add", "", link, ""},
        {"sp_add", "", ownForm, "update_owned_user_dictionary"},
        {"kwirl_add_word", "", link, "create_owned_user_dictionary", true},
        {"kwirl_add_word", "", keyed, "update_owned_user_dictionary"},
    };
    for (const Row& row : rows) {
        SetUp();
        const std::string what = std::string(row.command) + " " + row.action + " " +
                                 row.request.method + (row.request.relayed ? " relayed" : "");
        setenv("REQUEST_METHOD", row.request.method, 1);
        if (row.request.origin) setenv("HTTP_ORIGIN", row.request.origin, 1);
        map = {{"appserver_hostname", "127.0.0.1"},
               {"appserver_port", map["appserver_port"]},
               {"appserver_wait_ms", kWaitMs},
               {"slang", "en_US"},
               {"format", "json"},
               {"cmd", row.command},
               {"action", row.action},
               {"text", row.action},
               {"udn", "mine"},
               {"c_udn", "mine"},
               {"dname", "mine2"},
               {"word", "Verbar"},
               {":udk:", cookieKey},
               {"HTTP_HOST", "svc.example"},
               {"HTTP_OR_HTTPS", "http"},
               {"cors_allow_origins", "https://listed.example *"},
               {"tx_no84", "%d %s"}};
        if (std::string(row.command) == "ospsave") map["dname"] = "mine";
        if (std::string(row.command) == "sp_add") {
            map["text"] = "abc Verbar x";
            map["pos"] = "4";
            map["len"] = "6";
        }
        if (std::string(row.command) == "kwirl_add_word") map["text"] = "Verbar";
        if (row.request.keyParameter) map["udk"] = parameterKey;
        if (row.request.relayed) {
            map["settings"] = "ferrix";
            map["ferrix_method"] = row.request.relayed;
            map["ferrix_origin"] = map["ferrix_self"] = "https://customer.example";
        }
        row.exists ? EngineRefuses() : server.SetScript({{wire::BuildOkAnswer({})}});
        const size_t before = server.requests().size();
        try {
            if (std::string(row.command) == "dictionary") Run<Dictionary_CH>();
            if (std::string(row.command) == "ospsave") Run<Options_CH>();
            if (std::string(row.command) == "sp_add") Run<Add_CH>();
            if (std::string(row.command) == "kwirl_add_word") Run<KwrlAddWord_CH>();
        } catch (const CommandHandler::exception& e) {
            EXPECT_TRUE(*row.function == '\0' || row.exists) << what << ": " << e.message();
        }
        unsetenv("HTTP_ORIGIN");
        const std::vector<std::string> all = Functions();
        const std::vector<std::string> called(all.begin() + before, all.end());
        if (*row.function == '\0') {
            EXPECT_TRUE(called.empty()) << what << ": " << called.front();
            EXPECT_EQ(map["udn"], "mine") << what;
            EXPECT_EQ(map[":udk:"], cookieKey) << what;
            continue;
        }
        ASSERT_FALSE(called.empty()) << what;
        EXPECT_EQ(called.front(), row.function) << what;
        if (row.exists) {
            EXPECT_EQ(map["udn"], "mine") << what;
            EXPECT_EQ(map[":udk:"], cookieKey) << what;
            continue;
        }
        const std::string request = server.requests().at(before);
        const wire::WireCall call =
            wire::ParseRequestBody(std::string_view(request).substr(request.find("\r\n\r\n") + 4))
                .call;
        EXPECT_EQ(call.params.at(1), row.request.keyParameter ? parameterKey : cookieKey) << what;
    }
}

// Keys travel back: a dictionary a command makes gets its key into the cookie (and into the JSON
// answer, for a client that keeps it itself); getname tells the cookie's key for its own name.
TEST_F(DictionaryTest, ANewDictionarysKeyGoesToTheCookieAndTheAnswer) {
    const std::string key(64, 'a');
    struct Row {
        const char* action;
        const char* view;
    };
    const Row rows[] = {
        {"create", "{\"dname\": \"new\", \"action\": \"create\", \"key\": \"KEY\"}"},
        {"addword", "{\"word\": \"Verbar\", \"action\": \"addword\", \"key\": \"KEY\"}"},
    };
    for (const Row& row : rows) {
        SetUp();
        map["format"] = "json";
        map["action"] = row.action;
        map["udn"] = "old";
        map["dname"] = "new";
        map["word"] = "Verbar";
        map[":udk:"] = "";
        EngineAnswers(key);
        Run<Dictionary_CH>();
        std::string view = row.view;
        view.replace(view.find("KEY"), 3, key);
        EXPECT_EQ(map["view"], view) << row.action;
        EXPECT_EQ(map[":udk:"], key) << row.action;
    }
    map["action"] = "getname";
    map["udn"] = map["c_udn"] = "mine";
    Run<Dictionary_CH>();
    EXPECT_EQ(map["view"],
              "{\"dname\": \"mine\", \"action\": \"getname\", \"key\": \"" + key + "\"}");
    map["udn"] = "other";  // named by a parameter: the cookie's key is not its key
    Run<Dictionary_CH>();
    EXPECT_EQ(map["view"], "{\"dname\": \"other\", \"action\": \"getname\"}");
}

TEST(MessageFormatTest, FillsOnlyPercentSAndDInOrder) {
    struct Row {
        const char* format;
        std::vector<std::string> arguments;
        const char* message;
    };
    const Row rows[] = {
        {"'%s' failed (%d)", {"n", "-3"}, "'n' failed (-3)"},
        {"(%d): '%s'", {"-3", "n"}, "(-3): 'n'"},
        {"%s %s %s %d", {"a"}, "a   "},
        {"100% %n %x %%s %", {"a"}, "100% %n %x %%s %"},
        {"no specifiers", {"a", "b"}, "no specifiers"},
        {"%s", {"%d%s"}, "%d%s"},
    };
    for (const Row& row : rows) EXPECT_EQ(FormatMessage(row.format, row.arguments), row.message);
}

TEST_F(DictionaryTest, OptionsSaveRunsTheActionAndShowsThePageAgain) {
    struct Row {
        const char* action;
        bool accepted;
        const char* err;
        const char* shown;  // dname and text afterwards
    };
    const Row rows[] = {
        {"create", true, "created [new]", "new"},
        {"create", false, "create [new] failed (-3)", "old"},
        {"delete", true, "deleted [new]", ""},
        {"delete", false, "delete failed (-3): [new]", "old"},
        {"rename", true, "renamed to [new]", "new"},
        {"rename", false, "rename [old] failed (-3)", "old"},
        {"restore", true, "restored [new]", "new"},
        {"restore", false, "restore [new] failed", ""},
        {"", true, "", "new"},
        {"unknown", true, "", "new"},
    };
    for (const Row& row : rows) {
        SetUp();
        map["cmd"] = "ospsave";
        map["text"] = row.action;
        map["udn"] = "old";
        map["dname"] = "new";
        map["optionssp"] = "0101";
        row.accepted ? EngineAccepts() : EngineRefuses();
        Run<Options_CH>();
        EXPECT_EQ(map["err"], row.err) << row.action;
        EXPECT_EQ(map["dname"], row.shown) << row.action;
        EXPECT_EQ(map["text"], row.shown) << row.action;
        EXPECT_EQ(map["cmd"], "ospshow");
        EXPECT_EQ(map["osp"], "0101");
    }
    map["cmd"] = "ospshow";
    map["osp"] = "1000";
    map["udn"] = "[/]";
    Run<Options_CH>();
    EXPECT_EQ(map["optionssp"], "1000");
    EXPECT_EQ(map["dname"], "");
}

// The checks after a correction (grammar, spell, thes) take the model the correction kept, and
// only while "text" is still the text that model holds; no other command gets one kept.
TEST(ChangedTextTest, TheNextCommandTakesAKeptModelOnlyForTheSameText) {
    struct Row {
        const char* next;
        const char* textLater;  // "text" when the next command runs
        bool taken;
    };
    const Row rows[] = {
        {"grammar", "teh house", true}, {"grammar", "teh house!", false},
        {"spell", "teh house", true},   {"spell", "teh", false},
        {"thes", "teh house", true},    {"ants", "teh house", false},
        {"check", "teh house", false},
    };
    for (const Row& row : rows) {
        StringMap map{{"text", "teh house"}};
        InternalData data;
        data.Insert(idkey::FilteringParams, FilteringParams{});
        auto model = std::make_shared<TextProcessor>("", FilteringParams{});
        model->SetText(map["text"]);
        KeepLoadedText(map, data, row.next, model);
        EXPECT_EQ(data.Find(idkey::ChangedText), TakesLoadedText(row.next)) << row.next;
        map["text"] = row.textLater;
        const std::shared_ptr<TextProcessor> loaded = LoadedText(map, data);
        EXPECT_EQ(loaded == model, row.taken) << row.next << " " << row.textLater;
        EXPECT_EQ(loaded->GetText(), std::string(row.textLater) + " ") << row.next;
        EXPECT_FALSE(data.Find(idkey::ChangedText));  // taken once
    }
}

TEST(IgnoreListTest, InsertKeepsTheListAscending) {
    struct Row {
        const char* list;
        long long number;
        const char* result;
    };
    const Row rows[] = {
        {"", 5, "5"},          {"3,9", 5, "3,5,9"},   {"3,9", 1, "1,3,9"},
        {"3,9", 12, "3,9,12"}, {"3,5,9", 5, "3,5,9"}, {"3,,x,9", 7, "3,x,7,9"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(InsertNumber(row.list, row.number), row.result) << row.list << "+" << row.number;
}

TEST(IgnoreListTest, PositionsAfterAChangeMoveWithTheirWords) {
    struct Row {
        const char* list;
        long long position, oldLength, newLength;
        const char* shifted;
        const char* corrected;  // AfterCorrection
    };
    const Row rows[] = {
        {"2,10,20", 10, 3, 5, "2,10,22", "2,10,22"},
        {"2,11,12,13,20", 10, 3, 1, "2,11,18", "2,10,11,18"},
        {"2,20", 10, 3, 3, "2,20", "2,20"},
        {"20,x", 10, 4, 2, "18", "10,18"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ShiftPositions(row.list, row.position, row.oldLength, row.newLength), row.shifted)
            << row.list;
        EXPECT_EQ(AfterCorrection(row.list, row.position, row.oldLength, row.newLength),
                  row.corrected)
            << row.list;
    }
}

TEST(WholeWordOccurrencesTest, LongerWordsAreLeftAlone) {
    EXPECT_EQ(Change_CH::WholeWordOccurrences(u"teh tehran teh. Teh steh teh", u"teh"),
              (std::vector<int>{0, 11, 25}));
    EXPECT_EQ(Change_CH::WholeWordOccurrences(u"\u00e9teh teh\u00e9 teh-x", u"teh"),
              (std::vector<int>{10}));
    EXPECT_TRUE(Change_CH::WholeWordOccurrences(u"abc", u"").empty());
    // Overlapping occurrences: from the end, the earlier one overlaps the one taken.
    EXPECT_EQ(Change_CH::WholeWordOccurrences(u"a a a", u"a a"), (std::vector<int>{2}));
    EXPECT_EQ(Change_CH::WholeWordOccurrences(u". . . .", u". ."), (std::vector<int>{0, 4}));
}

// The one-pass list updates of "sp_ch_all" give what the single updates give one after another
// from the last occurrence.
TEST(IgnoreListTest, ChangingEveryOccurrenceAtOnceEqualsOneAfterAnother) {
    struct Row {
        const char* list;
        std::vector<long long> positions;
        long long oldLength, newLength;
    };
    const Row rows[] = {
        {"0,4,8,9,12,30", {4, 12, 20}, 3, 5},
        {"0,4,5,8,9,12,30", {4, 12, 20}, 3, 1},
        {"", {0, 5}, 2, 4},
        {"x,7,,15", {7, 11}, 3, 0},
        {"1,2,3", {1, 2, 3}, 1, 1},
        {"3,6,9", {3, 6, 9}, 3, 7},
    };
    for (const Row& row : rows) {
        std::string shifted = row.list;
        std::string corrected = row.list;
        for (auto at = row.positions.rbegin(); at != row.positions.rend(); ++at) {
            shifted = ShiftPositions(shifted, *at, row.oldLength, row.newLength);
            corrected = AfterCorrection(corrected, *at, row.oldLength, row.newLength);
        }
        EXPECT_EQ(ShiftPositions(row.list, row.positions, row.oldLength, row.newLength), shifted)
            << row.list;
        EXPECT_EQ(AfterCorrections(row.list, row.positions, row.oldLength, row.newLength),
                  corrected)
            << row.list;
    }
}

TEST_F(DictionaryTest, ChangeReplacesAndContinuesWithTheNextCheck) {
    struct Row {
        const char* command;
        const char* text;
        int pos, len;
        const char* word;
        const char* changed;
        const char* chngPos;
        const char* igpossp;
        const char* igposgr;
        const char* next;  // the engine function of the next command
    };
    const Row rows[] = {
        {"sp_ch", "teh cat teh x", 8, 3, "the", "teh cat the x  ", "11", "20", "20",
         "check_spelling4"},
        {"sp_ch", "a teh b c", 2, 3, "tehe", "a tehe b c  ", "6", "2,9", "9", "check_spelling4"},
        {"sp_ch_all", "teh x teh tehran teh", 6, 3, "thee", "thee x thee tehran thee  ", "11",
         "0,7,18,19", "18", "check_spelling4"},
        {"gr_ch", "as as x  z", 0, 5, "as", "as x  z  ", "2", "5", "0,5", "check_grammar"},
        {"th_ch", "good x  z", 0, 4, "fine", "fine x  z  ", "4", "8", "8", "text_thesaurus"},
    };
    for (const Row& row : rows) {
        SetUp();
        map["cmd"] = row.command;
        map["text"] = row.text;
        map["pos"] = std::to_string(row.pos);
        map["len"] = std::to_string(row.len);
        map["word"] = row.word;
        // An ignored word at 8 after the change in the short rows; at 16 in the others.
        const bool shortRow = std::string(row.command) != "sp_ch_all";
        map["igpossp"] = map["igposgr"] = shortRow ? "8" : "16";
        if (std::string(row.command) == "sp_ch" && row.pos == 8)
            map["igpossp"] = map["igposgr"] = "20";
        server.SetScript({{wire::BuildOkAnswer({"", "", "", ""})}});
        if (std::string(row.next) != "check_grammar") EngineAnswers("");
        Run<Change_CH>();
        EXPECT_EQ(map[":word_org:"], std::string(row.text).substr(row.pos, row.len)) << row.command;
        EXPECT_EQ(map[":chng_pos:"], row.chngPos) << row.command;
        EXPECT_EQ(map["igpossp"], row.igpossp) << row.command;
        EXPECT_EQ(map["igposgr"], row.igposgr) << row.command;
        EXPECT_EQ(LastCall().function, row.next) << row.command;
        EXPECT_EQ(map["text"], row.changed) << row.command;
    }
}

TEST_F(DictionaryTest, IgnoreRecordsTheProblemAndContinues) {
    struct Row {
        const char* command;
        const char* key;
        const char* before;
        const char* after;
        const char* next;
    };
    const Row rows[] = {
        {"sp_ig", "igpossp", "2,9", "2,4,9", "check_spelling4"},
        {"sp_ig_all", "ignoresp", "foo", "foo,teh", "check_spelling4"},
        {"SP_IG_ALL", "ignoresp", "", "teh", "check_spelling4"},
        {"gr_ig", "igposgr", "9", "4,9", "check_grammar"},
        {"gr_ig_all", "ignoregr", "1,7", "1,3,7", "check_grammar"},
    };
    for (const Row& row : rows) {
        SetUp();
        map["cmd"] = row.command;
        map["text"] = "abc teh x";
        map["pos"] = "4";
        map["len"] = "3";
        map["igproblem"] = "3";
        map[row.key] = row.before;
        server.SetScript({{wire::BuildOkAnswer({"", "", "", ""})}});
        if (std::string(row.next) != "check_grammar") EngineAnswers("");
        Run<Ignore_CH>();
        EXPECT_EQ(map[row.key], row.after) << row.command;
        EXPECT_EQ(map[":chng_pos:"], "7");
        EXPECT_EQ(map[":word_org:"], "teh");
        EXPECT_EQ(LastCall().function, row.next) << row.command;
    }
}

TEST_F(DictionaryTest, AddPutsTheWordIntoTheDictionaryAndChecksAgain) {
    map["text"] = "abc Verbar x";
    map["pos"] = "4";
    map["len"] = "6";
    map["ud"] = "[/]";
    map["udn"] = "[/]";
    EngineAnswers("");
    Run<Add_CH>();
    EXPECT_EQ(map["ud"], "Verbar");
    EXPECT_EQ(map[":chng_pos:"], "10");
    EXPECT_EQ(Functions(), std::vector<std::string>{"check_spelling4"});
    EXPECT_EQ(LastCall().params.at(5), "Verbar");

    map["udn"] = "team";
    map["ud"] = "a";
    map["text"] = "abc Verbar x";
    server.SetScript({{wire::BuildOkAnswer({})}});
    Run<Add_CH>();
    EXPECT_EQ(map["ud"], "");
    EXPECT_EQ(Functions(),
              (std::vector<std::string>{"check_spelling4", "update_owned_user_dictionary",
                                        "check_spelling4"}));
    EXPECT_EQ(map["cmd"], "spell");

    EngineRefuses();
    map["text"] = "abc Verbar x";
    EXPECT_THROW(Run<Add_CH>(), CommandHandler::criticalException);
}

TEST_F(DictionaryTest, BadRangesAndMissingValuesAreReported) {
    const std::pair<const char*, const char*> ranges[] = {
        {"x", "3"}, {"4", ""}, {"40", "3"}, {"-1", "2"}};
    for (auto [pos, len] : ranges) {
        map["text"] = "abc teh x";
        map["pos"] = pos;
        map["len"] = len;
        map["cmd"] = "sp_ig";
        try {
            Run<Ignore_CH>();
            ADD_FAILURE() << pos << "/" << len;
        } catch (const CommandHandler::exception& e) {
            EXPECT_STREQ(e.what(), "IgnoreHandler::apply() - internal error.");
        }
        EXPECT_THROW(Run<Change_CH>(), CommandHandler::exception);
        EXPECT_THROW(Run<Add_CH>(), CommandHandler::exception);
    }
    data.Erase(idkey::FilteringParams);
    map["pos"] = "4";
    map["len"] = "3";
    try {
        Run<Change_CH>();
        ADD_FAILURE() << "no failure";
    } catch (const CommandHandler::exception& e) {
        ADD_FAILURE() << e.what();
    } catch (const Error::ErrorMessage& e) {
        EXPECT_STREQ(e.what(), "The default language is not configured correctly.");
    }
    EXPECT_TRUE(server.requests().empty());
}
