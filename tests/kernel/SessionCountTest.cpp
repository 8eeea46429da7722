#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <sstream>

#include "kernel/filters/SessionCount_FLT.h"
#include "support/TestSupport.h"

namespace {

constexpr uint32_t kMax = 4294967295u;

struct DecimalRow {
    const char* text;
    uint32_t expected;
};

class DecimalValueTest : public ::testing::TestWithParam<DecimalRow> {};

TEST_P(DecimalValueTest, LeadingNumberSaturated) {
    EXPECT_EQ(SessionCount_FLT::DecimalValue(GetParam().text), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Rows, DecimalValueTest,
                         ::testing::Values(DecimalRow{"", 0}, DecimalRow{"abc", 0},
                                           DecimalRow{"12", 12}, DecimalRow{" +7x", 7},
                                           DecimalRow{"-5", 0}, DecimalRow{"1.2", 1},
                                           DecimalRow{"4294967295", kMax},
                                           DecimalRow{"4294967296", kMax},
                                           DecimalRow{"99999999999999999999999999999", kMax},
                                           DecimalRow{"0000000000000000000000000042", 42}));

struct SessionIdRow {
    const char* sessionId;
    const char* serverId;
    uint32_t server;
    uint32_t count;
};

class ParseSessionIdTest : public ::testing::TestWithParam<SessionIdRow> {};

TEST_P(ParseSessionIdTest, SplitsAtFirstDot) {
    const auto id = SessionCount_FLT::ParseSessionId(GetParam().sessionId, GetParam().serverId);
    EXPECT_EQ(id.server, GetParam().server) << GetParam().sessionId;
    EXPECT_EQ(id.count, GetParam().count) << GetParam().sessionId;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseSessionIdTest,
    ::testing::Values(SessionIdRow{"", "3", 3, 0}, SessionIdRow{"17", "3", 3, 0},
                      SessionIdRow{"3.5", "9", 3, 5}, SessionIdRow{"3.", "9", 3, 0},
                      SessionIdRow{".5", "9", 0, 5}, SessionIdRow{"a.b", "9", 0, 0},
                      SessionIdRow{"1.2.3", "9", 1, 2}, SessionIdRow{"....", "9", 0, 0},
                      SessionIdRow{"", "junk", 0, 0},
                      SessionIdRow{"123456789012345.98765432109876", "", kMax, kMax}));

TEST(NextCountTest, CounterFileLinesGiveSensibleCounts) {
    EXPECT_EQ(SessionCount_FLT::NextCount(""), 1u);
    EXPECT_EQ(SessionCount_FLT::NextCount("41"), 42u);
    EXPECT_EQ(SessionCount_FLT::NextCount("7\n"), 8u);
    EXPECT_EQ(SessionCount_FLT::NextCount("garbage"), 1u);
    EXPECT_EQ(SessionCount_FLT::NextCount("4294967295"), 1u);  // never 0, which means "new"
}

class SessionCountTest : public ::testing::Test {
  protected:
    SessionCountTest() {
        std::filesystem::create_directories(dir.path() / "bin");
        std::filesystem::create_directories(dir.path() / "srv/logs");
        map[":app_path:"] = dir.str() + "bin/";
        map["cmd"] = "spell";
    }
    void Run() { SessionCount_FLT().apply(map, data); }
    bool CounterExists() { return std::filesystem::exists(dir.path() / "srv/logs/sc.log"); }
    std::string Counter() { return dir.Read("srv/logs/sc.log"); }

    testsupport::TempDir dir;
    StringMap map;
    InternalData data;
};

TEST_F(SessionCountTest, FirstRequestCreatesCounterAndStartsSession) {
    map["server_id"] = "3";
    Run();
    EXPECT_EQ(map["sessionid"], "3.1");
    EXPECT_EQ(Counter(), "1");
    EXPECT_EQ(map[":logs_dir:"], dir.str() + "bin/../srv/logs/");
    EXPECT_EQ(map[":cmd__org:"], "spell_start");
    ASSERT_EQ(map.count(":session_start:"), 1u);
    EXPECT_EQ(map[":session_start:"], "");
}

TEST_F(SessionCountTest, NewSessionTakesNextCount) {
    dir.Write("srv/logs/sc.log", "41");
    map["server_id"] = "3";
    Run();
    EXPECT_EQ(map["sessionid"], "3.42");
    EXPECT_EQ(Counter(), "42");
}

TEST_F(SessionCountTest, KnownSessionKeepsItsIdAndLeavesCounterAlone) {
    map["sessionid"] = "3.5";
    Run();
    EXPECT_EQ(map["sessionid"], "3.5");
    EXPECT_EQ(map[":cmd__org:"], "spell");
    EXPECT_EQ(map.count(":session_start:"), 0u);
    EXPECT_FALSE(CounterExists());
}

TEST_F(SessionCountTest, ScriptRequestIsNeitherCountedNorLogged) {
    map["cmd"] = "script";
    Run();
    EXPECT_EQ(map.count(":logs_dir:"), 0u);
    EXPECT_EQ(map.count("sessionid"), 0u);
    EXPECT_FALSE(CounterExists());
}

TEST_F(SessionCountTest, ShorterCountReplacesWholeCorruptCounter) {
    dir.Write("srv/logs/sc.log", "00000007\n");
    Run();
    EXPECT_EQ(map["sessionid"], "0.8");
    EXPECT_EQ(Counter(), "8");
}

TEST_F(SessionCountTest, HostileCounterAndSessionIdsGiveSensibleIds) {
    const std::pair<std::string, std::string> rows[] = {
        {"garbage\nmore", "1"},
        {std::string("\0\0\x01\xff", 4), "1"},
        {"99999999999999999999", "1"},
        {std::string(10000, '9'), "1"},
    };
    for (const auto& [content, expected] : rows) {
        dir.Write("srv/logs/sc.log", content);
        map["sessionid"] = "x.y.z";
        Run();
        EXPECT_EQ(map["sessionid"], "0." + expected);
        EXPECT_EQ(Counter(), expected);
    }
}

TEST_F(SessionCountTest, MissingLogsDirectoryStillNumbersTheSession) {
    std::filesystem::remove_all(dir.path() / "srv");
    map["server_id"] = "2";
    Run();
    EXPECT_EQ(map["sessionid"], "2.1");
}

TEST_F(SessionCountTest, ConcurrentProcessesNeverShareACount) {
    constexpr int kProcesses = 4;
    constexpr int kSessionsEach = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            std::string ids;
            for (int i = 0; i < kSessionsEach; ++i) {
                StringMap request = map;
                InternalData none;
                SessionCount_FLT().apply(request, none);
                ids += request["sessionid"] + "\n";
            }
            dir.Write("ids" + std::to_string(p), ids);
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    std::set<std::string> ids;
    for (int p = 0; p < kProcesses; ++p) {
        std::istringstream in(dir.Read("ids" + std::to_string(p)));
        for (std::string id; std::getline(in, id);) ids.insert(id);
    }
    EXPECT_EQ(ids.size(), static_cast<size_t>(kProcesses * kSessionsEach));
    EXPECT_EQ(Counter(), std::to_string(kProcesses * kSessionsEach));
}

}  // namespace
