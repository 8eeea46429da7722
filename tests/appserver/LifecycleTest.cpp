// Starting and stopping the engine server.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "ServerProcess.h"
#include "WireClient.h"
#include "support/TestSupport.h"

using apptest::ServerProcess;

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
