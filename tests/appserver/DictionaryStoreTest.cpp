// The dictionary stores in process, once per store: two store objects on the same data (as two
// engine servers would have) lose no concurrent word and see each other's changes at once; the
// copy from an SQLite file keeps words and owner keys and may run twice; a store survives its
// database connections being cut.
#include <gtest/gtest.h>

#include <thread>

#include "StoreFixture.h"
#include "core/EngineError.h"
#include "dict/DictionaryCopy.h"
#include "dict/DictionaryStore.h"
#include "dict/SqliteDictionaryStore.h"

namespace {

using apptest::Store;

class DictionaryStoreTest : public ::testing::TestWithParam<Store> {
  protected:
    void SetUp() override {
        std::string why;
        location_ = apptest::NewStore(GetParam(), dir_, why);
        if (location_.empty()) GTEST_SKIP() << "PostgreSQL store not tested: " << why;
        first_ = DictionaryStore::Open(location_);
        second_ = DictionaryStore::Open(location_);
    }
    testsupport::TempDir dir_;
    std::string location_;
    std::unique_ptr<DictionaryStore> first_;
    std::unique_ptr<DictionaryStore> second_;
};

// What only a shared database has: several servers, and connections that may break.
class SharedStoreTest : public DictionaryStoreTest {
  protected:
    // Cuts every connection to the test's database but psql's own.
    void CutConnections() {
        std::string why;
        testsupport::PostgresServer::Shared(why)->Query(
            location_,
            "SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity"
            " WHERE datname = current_database() AND pid <> pg_backend_pid()");
    }
};

TEST_P(DictionaryStoreTest, SixteenWritersThroughTwoStoresLoseNoWord) {
    constexpr int kWriters = 16;
    constexpr int kWordsEach = 100;
    std::vector<std::thread> writers;
    std::vector<std::string> failures(kWriters);
    for (int t = 0; t < kWriters; ++t) {
        writers.emplace_back([&, t] {
            DictionaryStore& store = t % 2 ? *first_ : *second_;
            for (int w = 0; w < kWordsEach; ++w) {
                try {
                    store.AddWords("Shared", "w" + std::to_string(t * kWordsEach + w), "");
                } catch (const std::exception& e) {
                    failures[t] = e.what();
                }
            }
        });
    }
    for (auto& t : writers) t.join();
    for (int t = 0; t < kWriters; ++t) EXPECT_EQ(failures[t], "") << "writer " << t;
    EXPECT_EQ(first_->Words("Shared")->size(), static_cast<size_t>(kWriters * kWordsEach));
    EXPECT_EQ(second_->List("Shared", "").size(), static_cast<size_t>(kWriters * kWordsEach));
}

// Each row is a change through the second store and what the first then sees.
TEST_P(SharedStoreTest, AChangeThroughOneStoreShowsInTheOtherAtOnce) {
    struct Row {
        const char* change;
        std::function<void(DictionaryStore&)> apply;
        const char* name;
        size_t words;
    };
    const Row rows[] = {
        {"add", [](DictionaryStore& s) { s.AddWords("D", "alpha", "beta"); }, "D", 2},
        {"add more", [](DictionaryStore& s) { s.AddWords("D", "gamma", ""); }, "D", 3},
        {"remove", [](DictionaryStore& s) { s.RemoveWord("D", "", "beta"); }, "D", 2},
        {"rename away", [](DictionaryStore& s) { s.Rename("D", "E"); }, "D", 0},
        {"renamed", [](DictionaryStore&) {}, "E", 2},
        {"recreate", [](DictionaryStore& s) { s.Create("D", "delta"); }, "D", 1},
        {"delete", [](DictionaryStore& s) { s.Delete("E"); }, "E", 0},
    };
    for (const Row& row : rows) {
        first_->Words(row.name);  // cached before the change
        row.apply(*second_);
        EXPECT_EQ(first_->Words(row.name)->size(), row.words) << row.change;
    }
}

TEST_P(DictionaryStoreTest, TheCopyFromAFileKeepsWordsAndOwnersAndMayRunTwice) {
    SqliteDictionaryStore file(dir_.str() + "source.db");
    file.Create("Open", "one,two");
    const std::string key = file.CreateOwned("Owned", "three");
    second_->CreateOwned("Taken", "");
    file.Create("Taken", "four");
    for (int run = 0; run < 2; ++run) {
        const DictionaryCopy::Counts counts = DictionaryCopy::Run(file, *first_);
        EXPECT_EQ(counts.copied, 2u) << "run " << run;
        EXPECT_EQ(counts.refused, 1u) << "run " << run;
    }
    EXPECT_EQ(first_->List("Open", ""), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(first_->List("Owned", key), (std::vector<std::string>{"three"}));
    EXPECT_THROW(first_->List("Owned", ""), EngineError);
    EXPECT_EQ(first_->Names(), (std::vector<std::string>{"Open", "Owned", "Taken"}));
}

TEST_P(SharedStoreTest, CutConnectionsAreOpenedAgain) {
    first_->AddWords("D", "alpha", "");
    CutConnections();
    first_->AddWords("D", "beta", "");
    CutConnections();
    EXPECT_EQ(first_->Words("D")->size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Stores, DictionaryStoreTest,
                         ::testing::Values(Store::Sqlite, Store::Postgres), apptest::StoreName);
INSTANTIATE_TEST_SUITE_P(Stores, SharedStoreTest, ::testing::Values(Store::Postgres),
                         apptest::StoreName);

}  // namespace
