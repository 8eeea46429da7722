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
        {"remove_user_dictionary_word", {"Owned", "KEY", "zqjac"}, ""},
        {"authorize_user_dictionary", {"Missing", "KEY"}, "User dictionary not found"},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        const KeyRow& row = rows[i];
        const size_t results = row.function == "claim_user_dictionary" ? 1 : 0;
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
}
