#pragma once
// A test with its own engine server, run once per dictionary store: an SQLite file, and a
// fresh database on the run's scratch PostgreSQL server (skipped when PostgreSQL is missing).
#include "EngineFixture.h"
#include "support/PostgresServer.h"

namespace apptest {

enum class Store { Sqlite, Postgres };

// The location of a new, empty store of `kind`: a file in `dir`, or a database URI; empty
// with `why` set when the store cannot run here.
inline std::string NewStore(Store kind, const testsupport::TempDir& dir, std::string& why) {
    if (kind == Store::Sqlite) return dir.str() + "dictionaries.db";
    testsupport::PostgresServer* server = testsupport::PostgresServer::Shared(why);
    return server ? server->FreshDatabase() : std::string();
}

inline std::string StoreName(const ::testing::TestParamInfo<Store>& info) {
    return info.param == Store::Sqlite ? "Sqlite" : "Postgres";
}

class StoreFixture : public EngineFixture, public ::testing::WithParamInterface<Store> {
  protected:
    explicit StoreFixture(std::vector<std::string> extraArgs = {})
        : EngineFixture(Deferred{}), extraArgs_(std::move(extraArgs)) {}
    void SetUp() override {
        std::string why;
        location_ = NewStore(GetParam(), dir_, why);
        if (location_.empty()) GTEST_SKIP() << "PostgreSQL store not tested: " << why;
        Start(location_, extraArgs_);
    }
    bool postgres() const { return GetParam() == Store::Postgres; }

    std::string location_;
    std::vector<std::string> extraArgs_;
};

}  // namespace apptest

#define VERBARIUM_FOR_EACH_STORE(fixture)                                                         \
    INSTANTIATE_TEST_SUITE_P(Stores, fixture,                                                     \
                             ::testing::Values(apptest::Store::Sqlite, apptest::Store::Postgres), \
                             apptest::StoreName)
