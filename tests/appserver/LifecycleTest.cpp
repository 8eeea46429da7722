// Starting and stopping the engine server.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "ServerProcess.h"
#include "WireClient.h"
#include "support/TestSupport.h"

using apptest::ServerProcess;

namespace {

bool Stored(const std::string& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().extension() == ".index") return true;
    return false;
}

}  // namespace

TEST(LifecycleTest, StopsCleanlyOnSigterm) {
    testsupport::TempDir dir;
    ServerProcess server(dir.str() + "d.db");
    ASSERT_NE(server.port(), 0);
    EXPECT_EQ(apptest::Call(server.port(), "get_syn_list", {"good"}).kind,
              apptest::CallResult::kOk);
    const int status = server.Terminate();
    ASSERT_TRUE(WIFEXITED(status)) << server.log();
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(server.log().find("stopped after 1 requests"), std::string::npos) << server.log();
}

// A suggestion index still being built when the stop comes: the build ends early, nothing half
// made is left in the index folder, and the next start builds it and a third one maps it.
TEST(LifecycleTest, StopsCleanlyWhileAnIndexIsBuiltAndTheNextStartMapsIt) {
    testsupport::TempDir dir;
    const std::vector<std::string> args = {"--languages", "en_US", "--index-dir",
                                           dir.str() + "indexes"};
    const auto suggest = [](const ServerProcess& server) {
        return apptest::Call(server.port(), "get_suggestions4",
                             apptest::SpellParams("en_US", "brwon"));
    };
    const struct {
        bool waitForIndex;
        const char* logged;
    } rows[] = {
        {false, "stopped after 1 requests"},
        {true, "built and stored in"},
        {true, "mapped from"},
    };
    for (const auto& row : rows) {
        ServerProcess server(dir.str() + "d.db", args);
        ASSERT_NE(server.port(), 0);
        EXPECT_EQ(suggest(server).kind, apptest::CallResult::kOk);
        for (int i = 0; row.waitForIndex && i < 600 && !Stored(dir.str() + "indexes"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const int status = server.Terminate();
        ASSERT_TRUE(WIFEXITED(status)) << server.log();
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_NE(server.log().find(row.logged), std::string::npos) << server.log();
        EXPECT_NE(server.log().find("memory at start: resident"), std::string::npos);
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dir.str() + "indexes", error))
            EXPECT_TRUE(entry.path().extension() == ".index" || entry.path().extension() == ".lock")
                << entry.path();
    }
}

TEST(LifecycleTest, ConfigFileIsReadAndFlagsWin) {
    testsupport::TempDir dir;
    const std::string config = dir.Write("appserver.conf",
                                         "# engine settings\n"
                                         "languages = en_US, de_DE\n"
                                         "max_suggestions = 3\n"
                                         "listen = 127.0.0.1:1\n");
    ServerProcess server(dir.str() + "d.db", {"--config", config});
    ASSERT_NE(server.port(), 0);
    const auto r =
        apptest::Call(server.port(), "get_suggestions4", apptest::SpellParams("en_US", "speling"));
    ASSERT_EQ(r.kind, apptest::CallResult::kOk) << r.message;
    EXPECT_EQ(std::count(r.results[0].begin(), r.results[0].end(), '\n'), 2);
    EXPECT_EQ(apptest::Call(server.port(), "check_spelling4",
                            apptest::SpellParams("fr_FR", "bonjour", "00011", "", "", ""))
                  .message,
              "Language is not supported");
}

TEST(LifecycleTest, BadCommandLineExitsWithTwo) {
    const struct {
        const char* name;
        std::string args;
    } rows[] = {
        {"unknown option", "--bogus"},
        {"port out of range", "--listen 127.0.0.1:70000"},
        {"listen without port", "--listen localhost"},
        {"unknown back end", "--backend en_US=nuspell"},
        {"missing config file", "--config /nonexistent/appserver.conf"},
        {"language without dictionary", "--languages xx_YY"},
    };
    for (const auto& row : rows) {
        const std::string command = std::string(APPSERVER_BIN) + " " + row.args + " 2>/dev/null";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << row.name;
        EXPECT_EQ(WEXITSTATUS(status), 2) << row.name;
    }
}
