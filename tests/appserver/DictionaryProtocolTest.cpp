// Personal dictionaries through a real server: the functions, concurrent updates, durability;
// once per dictionary store.
#include <cstdint>
#include <filesystem>
#include <thread>

#include "StoreFixture.h"
#include "support/NonsenseWords.h"

using apptest::Call;
using apptest::CallResult;
using apptest::ServerProcess;

using testsupport::Nonsense;

namespace {

class DictionaryProtocolTest : public apptest::StoreFixture {};

TEST_P(DictionaryProtocolTest, CreateCheckRenameDelete) {
    Done("create_new_user_dictionary", {"Work", "alpha,beta"});
    EXPECT_EQ(ErrorOf("create_new_user_dictionary", {"Work", ""}, 0),
              "User dictionary already exists");
    Done("check_user_dictionary", {"Work"});
    Done("rename_user_dictionary", {"Work", "Job"});
    EXPECT_EQ(ErrorOf("check_user_dictionary", {"Work"}, 0), "User dictionary not found");
    Done("create_new_user_dictionary", {"Other", ""});
    EXPECT_EQ(ErrorOf("rename_user_dictionary", {"Job", "Other"}, 0),
              "User dictionary already exists");
    EXPECT_EQ(ErrorOf("rename_user_dictionary", {"Gone", "New"}, 0), "User dictionary not found");
    Done("delete_user_dictionary", {"Job"});
    EXPECT_EQ(ErrorOf("delete_user_dictionary", {"Job"}, 0), "User dictionary not found");
}

TEST_P(DictionaryProtocolTest, CreatedDictionaryHoldsTheCookieWords) {
    Done("create_new_user_dictionary", {"Mine", "zqjaa,zqjab"});
    EXPECT_EQ(Misspelt("zqjaa zqjab zqjac", "00011", "", "$Mine"), "12,5;");
}

TEST_P(DictionaryProtocolTest, UpdateAddsTheWordAndTheCookieListAndCreatesWhenMissing) {
    Done("update_user_dictionary", {"New", "zqjaa", "zqjab,,zqjac"});
    Done("check_user_dictionary", {"New"});
    EXPECT_EQ(Misspelt("zqjaa zqjab zqjac", "00011", "", "$New"), "");
    Done("update_user_dictionary", {"New", "zqjaa", ""});  // a word twice is kept once
}

struct InvalidRow {
    const char* name;
    std::string function;
    std::vector<std::string> params;
    const char* message;
};

TEST_P(DictionaryProtocolTest, InvalidNamesAndWordsChangeNothing) {
    const std::string longName(65, 'n');
    const std::string longWord(129, 'w');
    const InvalidRow rows[] = {
        {"empty name", "create_new_user_dictionary", {"", ""}, "Invalid user dictionary name"},
        {"name too long",
         "create_new_user_dictionary",
         {longName, ""},
         "Invalid user dictionary name"},
        {"name with comma",
         "update_user_dictionary",
         {"a,b", "w", ""},
         "Invalid user dictionary name"},
        {"name with control",
         "create_new_user_dictionary",
         {"a\tb", ""},
         "Invalid user dictionary name"},
        {"name not UTF-8",
         "create_new_user_dictionary",
         {"caf\xE9", ""},
         "Invalid user dictionary name"},
        {"word too long",
         "update_user_dictionary",
         {"D", longWord, ""},
         "Invalid word for a user dictionary (at most 128 bytes of text)"},
        {"bad word in list",
         "update_user_dictionary",
         {"D", "fine", "ok,\x01"},
         "Invalid word for a user dictionary (at most 128 bytes of text)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ErrorOf(row.function, row.params, 0), row.message) << row.name;
    EXPECT_EQ(ErrorOf("check_user_dictionary", {"D"}, 0), "User dictionary not found");
    Done("create_new_user_dictionary", {std::string(64, 'n'), ""});
    Done("update_user_dictionary", {"D", std::string(128, 'w'), ""});
}

TEST_P(DictionaryProtocolTest, AtMostTenThousandWords) {
    std::string list;
    for (int i = 0; i < 10000; ++i) list += Nonsense(i) + ",";
    Done("update_user_dictionary", {"Full", "", list});
    EXPECT_EQ(ErrorOf("update_user_dictionary", {"Full", "zqjzzzzz", ""}, 0),
              "User dictionary is full (at most 10000 words)");
    Done("update_user_dictionary", {"Full", Nonsense(5), ""});  // already there: no growth
}

// Words of about 110 bytes: `count` of them from `first` on, as a cookie list.
std::string LongWords(int first, int count) {
    std::string list;
    for (int n = first; n < first + count; ++n) list += std::string(104, 'w') + Nonsense(n) + ",";
    return list;
}

TEST_P(DictionaryProtocolTest, AtMostAQuarterMegabyteOfWords) {
    EXPECT_EQ(ErrorOf("create_new_user_dictionary", {"Big", LongWords(0, 2500)}, 0),
              "User dictionary is full (at most 262144 bytes of words)");
    EXPECT_EQ(ErrorOf("check_user_dictionary", {"Big"}, 0), "User dictionary not found");
    Done("create_new_user_dictionary", {"Big", LongWords(0, 2000)});
}

class SmallDictionaryStoreTest : public apptest::StoreFixture {
  protected:
    SmallDictionaryStoreTest() : StoreFixture({"--max-dictionary-store-mb", "1"}) {}
    std::uintmax_t FileBytes() const {
        std::uintmax_t bytes = 0;
        for (const char* suffix : {"", "-wal"})
            if (std::filesystem::exists(dbPath() + suffix))
                bytes += std::filesystem::file_size(dbPath() + suffix);
        return bytes;
    }
};

// The store as a whole is bounded, and a deleted dictionary gives its room back: to the limit,
// and (an SQLite file) to the file system.
TEST_P(SmallDictionaryStoreTest, TotalLimitAndSpaceGivenBackOnDelete) {
    const std::uintmax_t empty = FileBytes();
    for (const char* name : {"A", "B", "C", "D"})
        Done("create_new_user_dictionary", {name, LongWords(name[0] * 2000, 2000)});
    EXPECT_EQ(ErrorOf("create_new_user_dictionary", {"E", LongWords(0, 2000)}, 0),
              "No room for more user dictionary words");
    const std::uintmax_t full = FileBytes();
    for (const char* name : {"A", "B", "C", "D"}) Done("delete_user_dictionary", {name});
    if (!postgres()) {
        EXPECT_LT(FileBytes(), empty + (full - empty) / 4) << empty << " " << full;
    }
    Done("create_new_user_dictionary", {"E", LongWords(0, 2000)});
}

TEST_P(DictionaryProtocolTest, ConcurrentUpdatesFromManyClientsLoseNoWord) {
    constexpr int kClients = 12;
    constexpr int kWordsPerClient = 15;
    std::vector<std::thread> clients;
    std::vector<int> failures(kClients, 0);
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            for (int w = 0; w < kWordsPerClient; ++w) {
                const int n = c * kWordsPerClient + w;
                const CallResult r = Call(port(), "update_user_dictionary",
                                          {"Shared", Nonsense(n), Nonsense(n + 10000)}, 0);
                if (r.kind != CallResult::kOk) ++failures[c];
            }
        });
    }
    for (auto& t : clients) t.join();
    for (int c = 0; c < kClients; ++c) EXPECT_EQ(failures[c], 0) << "client " << c;
    std::string text;
    for (int n = 0; n < kClients * kWordsPerClient; ++n)
        text += Nonsense(n) + " " + Nonsense(n + 10000) + " ";
    EXPECT_EQ(Misspelt(text, "00011", "", "$Shared"), "");
}

TEST_P(DictionaryProtocolTest, AcknowledgedUpdatesSurviveAKill) {
    for (int n = 0; n < 20; ++n) Done("update_user_dictionary", {"Durable", Nonsense(n), ""});
    Done("rename_user_dictionary", {"Durable", "Kept"});
    server_->Kill();
    ServerProcess again(location_);
    std::string text;
    for (int n = 0; n < 20; ++n) text += Nonsense(n) + " ";
    const CallResult r = Call(again.port(), "check_spelling4",
                              apptest::SpellParams("en_US", text, "00011", "", "$Kept", ""));
    ASSERT_EQ(r.kind, CallResult::kOk) << r.message;
    EXPECT_EQ(r.results.at(0), "");
}

VERBARIUM_FOR_EACH_STORE(DictionaryProtocolTest);
VERBARIUM_FOR_EACH_STORE(SmallDictionaryStoreTest);

}  // namespace
