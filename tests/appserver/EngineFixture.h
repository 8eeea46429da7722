#pragma once
// A test with its own engine server and database.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ServerProcess.h"
#include "WireClient.h"
#include "support/TestSupport.h"

namespace apptest {

class EngineFixture : public ::testing::Test {
  protected:
    explicit EngineFixture(std::vector<std::string> extraArgs = {}) {
        Start(dbPath(), std::move(extraArgs));
    }
    // For a fixture that starts the server itself (Start) once it knows its database.
    struct Deferred {};
    explicit EngineFixture(Deferred) {}
    void Start(const std::string& database, std::vector<std::string> extraArgs = {}) {
        server_.emplace(database, std::move(extraArgs));
    }

    std::string dbPath() const { return dir_.str() + "dictionaries.db"; }
    int port() const { return server_->port(); }

    // The one result of a call that must succeed.
    std::string One(const std::string& function, const std::vector<std::string>& params) {
        const CallResult r = Call(port(), function, params, 1);
        EXPECT_EQ(r.kind, CallResult::kOk) << function << ": " << r.message;
        EXPECT_EQ(r.decodeCode, 0) << function;
        return r.results.empty() ? std::string() : r.results[0];
    }
    // The message of a call that must fail.
    std::string ErrorOf(const std::string& function, const std::vector<std::string>& params,
                        size_t expected = 1) {
        const CallResult r = Call(port(), function, params, expected);
        EXPECT_EQ(r.kind, CallResult::kError) << function;
        return r.message;
    }
    // A call without results that must succeed.
    void Done(const std::string& function, const std::vector<std::string>& params) {
        const CallResult r = Call(port(), function, params, 0);
        EXPECT_EQ(r.kind, CallResult::kOk) << function << ": " << r.message;
        EXPECT_EQ(r.decodeCode, 0) << function;
    }
    std::string Misspelt(const std::string& text, const std::string& options = "00011",
                         const std::string& ignored = "", const std::string& user = "",
                         const char* positions = "", const std::string& language = "en_US") {
        return One("check_spelling4",
                   SpellParams(language, text, options, ignored, user, positions));
    }

    testsupport::TempDir dir_;
    std::optional<ServerProcess> server_;
};

}  // namespace apptest
