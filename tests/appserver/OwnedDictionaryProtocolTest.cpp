// Personal dictionaries with owners through a real server: without the key a dictionary can be
// neither read nor changed, only a hash of the key is stored, and dictionaries made before owners
// existed stay open until one is claimed (once per dictionary store). Then the JSON API's check
// and language list.
#include <sqlite3.h>

#include <nlohmann/json.hpp>

#include "StoreFixture.h"

namespace {

struct KeyRow {
    std::string function;
    std::vector<std::string> params;  // "KEY" stands for the owner key, "OTHER" for another
    std::string error;                // empty: the call succeeds
};

std::vector<std::string> WithKeys(std::vector<std::string> params, const std::string& key) {
    for (std::string& p : params) {
        if (p == "KEY") p = key;
        if (p == "OTHER") p = std::string(64, '0');
    }
    return params;
}

std::string SqliteHashes(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT lower(hex(key_hash)) FROM owners", -1, &query, nullptr);
    std::string out;
    while (sqlite3_step(query) == SQLITE_ROW)
        out += reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
    sqlite3_finalize(query);
    sqlite3_close(db);
    return out;
}

class OwnedDictionaryProtocolTest : public apptest::StoreFixture {
  protected:
    // The owner hash column of the store, read directly, in hexadecimal.
    std::string StoredHashes() {
        std::string why;
        if (postgres())
            return testsupport::PostgresServer::Shared(why)->Query(
                location_, "SELECT encode(key_hash, 'hex') FROM owners");
        return SqliteHashes(location_);
    }
};

class JsonFunctionsTest : public apptest::EngineFixture {};

}  // namespace

TEST_P(OwnedDictionaryProtocolTest, TheKeyGuardsEveryAccessOfAnOwnedDictionary) {
    const std::string key = One("create_owned_user_dictionary", {"Owned", "zqjaa"});
    ASSERT_EQ(key.size(), 64u);
    EXPECT_EQ(StoredHashes().find(key), std::string::npos) << "the key itself is stored";
    const std::vector<KeyRow> rows = {
        {"authorize_user_dictionary", {"Owned", "KEY"}, ""},
        {"authorize_user_dictionary", {"Owned", "OTHER"}, "Wrong key for the user dictionary"},
        {"authorize_user_dictionary", {"Owned", ""}, "Wrong key for the user dictionary"},
        {"list_user_dictionary", {"Owned", "OTHER"}, "Wrong key for the user dictionary"},
        {"add_user_dictionary_words",
         {"Owned", "OTHER", "zqjab"},
         "Wrong key for the user dictionary"},
        {"remove_user_dictionary_word",
         {"Owned", "", "zqjaa"},
         "Wrong key for the user dictionary"},
        {"claim_user_dictionary", {"Owned"}, "User dictionary already has an owner"},
        {"add_user_dictionary_words", {"Owned", "KEY", "zqjab,zqjac"}, ""},
        // The keyed forms of the older functions, as the service calls them for browsers.
        {"update_owned_user_dictionary",
         {"Owned", "OTHER", "zqjad", ""},
         "Wrong key for the user dictionary"},
        {"rename_owned_user_dictionary",
         {"Owned", "", "Taken"},
         "Wrong key for the user dictionary"},
        {"delete_owned_user_dictionary", {"Owned", "OTHER"}, "Wrong key for the user dictionary"},
        {"update_owned_user_dictionary", {"Owned", "KEY", "zqjac", "zqjab"}, ""},
        {"remove_user_dictionary_word", {"Owned", "KEY", "zqjac"}, ""},
        {"authorize_user_dictionary", {"Missing", "KEY"}, "User dictionary not found"},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const KeyRow& row = rows[i];
        const size_t results =
            row.function == "claim_user_dictionary" || row.function.starts_with("update_") ? 1 : 0;
        const auto r = apptest::Call(port(), row.function, WithKeys(row.params, key), results);
        if (row.error.empty())
            EXPECT_EQ(r.kind, apptest::CallResult::kOk) << "row " << i << ": " << r.message;
        else
            EXPECT_EQ(r.message, row.error) << "row " << i;
    }
    EXPECT_EQ(One("list_user_dictionary", {"Owned", key}), "zqjaa\nzqjab");
    // Renamed and deleted, the owner goes along: a new dictionary of the same id is open.
    Done("rename_user_dictionary", {"Owned", "Renamed"});
    EXPECT_EQ(ErrorOf("list_user_dictionary", {"Renamed", ""}, 1),
              "Wrong key for the user dictionary");
    Done("delete_user_dictionary", {"Renamed"});
    Done("create_new_user_dictionary", {"Fresh", ""});
    Done("authorize_user_dictionary", {"Fresh", ""});

    // A browser's first word makes its dictionary, with an owner: the key is the answer once.
    const std::string made = One("update_owned_user_dictionary", {"Browser", "", "zqjaa", "zqjab"});
    ASSERT_EQ(made.size(), 64u);
    EXPECT_EQ(One("update_owned_user_dictionary", {"Browser", made, "zqjac", ""}), "");
    EXPECT_EQ(ErrorOf("update_owned_user_dictionary", {"Browser", "", "zqjad", ""}, 1),
              "Wrong key for the user dictionary");
    EXPECT_EQ(One("list_user_dictionary", {"Browser", made}), "zqjaa\nzqjab\nzqjac");
    Done("rename_owned_user_dictionary", {"Browser", made, "Browser2"});
    Done("delete_owned_user_dictionary", {"Browser2", made});
    // An ownerless dictionary takes any key, and stays ownerless.
    EXPECT_EQ(One("update_owned_user_dictionary", {"Fresh", "", "zqjaa", ""}), "");
    Done("authorize_user_dictionary", {"Fresh", ""});
}

TEST_P(OwnedDictionaryProtocolTest, AnOwnerlessDictionaryStaysOpenUntilClaimed) {
    Done("create_new_user_dictionary", {"Old", "zqjaa"});
    EXPECT_EQ(One("list_user_dictionary", {"Old", ""}), "zqjaa");
    const std::string key = One("claim_user_dictionary", {"Old"});
    EXPECT_EQ(ErrorOf("list_user_dictionary", {"Old", ""}, 1), "Wrong key for the user dictionary");
    EXPECT_EQ(One("list_user_dictionary", {"Old", key}), "zqjaa");
}

VERBARIUM_FOR_EACH_STORE(OwnedDictionaryProtocolTest);

TEST_F(JsonFunctionsTest, CheckMatchesReportsSpellingAndGrammarInUtf16Units) {
    const auto answer = nlohmann::json::parse(
        One("check_matches", {"en_US", "", "\xF0\x9F\x98\x80 I recieve a apple.", "", ""}));
    ASSERT_EQ(answer["matches"].size(), 2u) << answer.dump();
    EXPECT_EQ(answer["matches"][0]["offset"], 5);  // the emoji counts two, the blanks one each
    EXPECT_EQ(answer["matches"][0]["rule"], 0);
    EXPECT_EQ(answer["matches"][1]["rule"], 2);
    EXPECT_EQ(answer["matches"][1]["replacements"][0], "an apple");
    const auto german = nlohmann::json::parse(
        One("check_matches", {"auto", "", "Das ist ein kleiner Satz auf Deutsch.", "", "en_US"}));
    EXPECT_EQ(german["language"].get<std::string>().substr(0, 2), "de") << german.dump();
    EXPECT_NE(One("list_languages", {}).find("en_US"), std::string::npos);

    // A selection leaves out the work of what is not wanted; a cut is told as incomplete.
    std::string many;
    for (char a = 'a'; a <= 'z'; ++a)
        for (char b = 'a'; b <= 'l'; ++b) many += std::string("zqj") + a + b + "x ";
    const struct {
        std::string selection, text;
        std::vector<int> rules;  // of the matches, in order
        bool incomplete;
    } rows[] = {
        {"1;except:", "I recieve a apple.", {0, 2}, false},
        {"0;except:", "I recieve a apple.", {2}, false},
        {"1;only:", "I recieve a apple.", {0}, false},
        {"1;except:2", "I recieve a apple.", {0}, false},
        {"0;only:2", "I recieve a apple as as.", {2}, false},
        {"0;only:", "I recieve a apple.", {}, false},
        {"1;only:", many, std::vector<int>(312, 0), true},  // 312 words, 256 get suggestions
    };
    for (const auto& row : rows) {
        const auto found = nlohmann::json::parse(
            One("check_selected_matches", {"en_US", "", row.text, "", "", row.selection}));
        std::vector<int> rules;
        for (const auto& match : found["matches"]) rules.push_back(match["rule"].get<int>());
        EXPECT_EQ(rules, row.rules) << row.selection;
        EXPECT_EQ(found["incomplete"], row.incomplete) << row.selection;
    }
    EXPECT_EQ(ErrorOf("check_selected_matches", {"xx_XX", "", "a", "", "", "0;only:"}, 1),
              ErrorOf("check_matches", {"xx_XX", "", "a", "", ""}, 1));
}
