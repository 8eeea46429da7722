#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "kernel/filters/LogWrite_FLT.h"
#include "kernel/filters/SessionCount_FLT.h"
#include "support/TestSupport.h"

namespace {

// Sets the CGI variables the request log reads, and removes them again.
class CgiEnvironment {
  public:
    CgiEnvironment(const char* addr, const char* referer, const char* agent) {
        setenv("REMOTE_ADDR", addr, 1);
        setenv("HTTP_REFERER", referer, 1);
        setenv("HTTP_USER_AGENT", agent, 1);
    }
    ~CgiEnvironment() {
        unsetenv("REMOTE_ADDR");
        unsetenv("HTTP_REFERER");
        unsetenv("HTTP_USER_AGENT");
    }
};

std::tm SampleTime() {
    std::tm t{};
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 3;
    return t;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    return fields;
}

TEST(LogWriteLineTest, FieldsInOrderEachEndedByTab) {
    CgiEnvironment env("10.0.0.1", "http://site/page", "Agent/1.0");
    StringMap map{{"sessionid", "3.42"},    {":cmd__org:", "sp_ch_all"},
                  {"last_svc_time", "120"}, {"customerid", "c1"},
                  {"statinfo", "abc"},      {"slang", "en_US"},
                  {":word_org:", "wrod"},   {"intlang", "de"},
                  {"schema", "blue"},       {"bnr", "b"},
                  {"word", "word"},         {"action", "act"}};
    EXPECT_EQ(LogWrite_FLT::FormatLine(map, SampleTime(), 7),
              "03/07/24\t09:05:03.7\t10.0.0.1\thttp://site/page\t3.42\tsp_ch_all\t120\tc1\tAgent/"
              "1.0\tabc\t"
              "en_US\twrod\tde\tblue\tb\tword\tact\t\n");
    EXPECT_EQ(map["statinfo"], "1");
}

TEST(LogWriteLineTest, EmptyStatinfoStaysEmpty) {
    StringMap map;
    LogWrite_FLT::FormatLine(map, SampleTime(), 0);
    EXPECT_EQ(map["statinfo"], "");
}

TEST(LogWriteLineTest, InitKeySelectsSidEvenWhenEmpty) {
    StringMap map{{"sid", "from-sid"}, {"sessionid", "3.4"}};
    EXPECT_EQ(Fields(LogWrite_FLT::FormatLine(map, SampleTime(), 0))[4], "3.4");
    map["init"];
    EXPECT_EQ(Fields(LogWrite_FLT::FormatLine(map, SampleTime(), 0))[4], "from-sid");
}

TEST(LogWriteLineTest, WordIsLoggedOnlyForWordCommands) {
    const std::tuple<const char*, const char*, bool> rows[] = {
        {"sp_ch", "", true},
        {"sp_ch_all", "", true},
        {"gr_ch", "", true},
        {"th_ch", "", true},
        {"spell", "xreplaceWordy", true},
        {"spell", "", false},
        {"sp_ch_start", "", false},
        {"SP_CH", "", false},
        {"spell", "replaceword", false},
    };
    for (const auto& [command, action, logged] : rows) {
        StringMap map{{":cmd__org:", command}, {"action", action}, {"word", "secret"}};
        EXPECT_EQ(Fields(LogWrite_FLT::FormatLine(map, SampleTime(), 0))[15],
                  logged ? "secret" : "")
            << command << " " << action;
    }
}

TEST(LogWriteLineTest, ControlCharactersInEveryFieldAreEscaped) {
    const std::string hostile = "a\tb\nc\rd";
    const std::string escaped = "a\\tb\\nc\\rd";
    CgiEnvironment env(hostile.c_str(), hostile.c_str(), hostile.c_str());
    StringMap map;
    for (const char* key : {"sessionid", ":cmd__org:", "last_svc_time", "customerid", "statinfo",
                            "slang", ":word_org:", "intlang", "schema", "bnr", "word", "action"})
        map[key] = hostile;
    map["action"] = hostile + "replaceWord";
    const std::string line = LogWrite_FLT::FormatLine(map, SampleTime(), 0);
    ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), LogWrite_FLT::kFieldCount);
    ASSERT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_EQ(line.find('\r'), std::string::npos);
    const auto fields = Fields(line);
    for (size_t i = 2; i < fields.size() - 1; ++i)
        EXPECT_EQ(fields[i], escaped) << "field " << i + 1;
    EXPECT_EQ(fields.back(), escaped + "replaceWord");
}

TEST(LogWriteLineTest, HourlyFileName) {
    EXPECT_EQ(LogWrite_FLT::LogFilePath("/logs/", SampleTime()), "/logs/2024.03.07.09.orthd.log");
}

class LogWriteTest : public ::testing::Test {
  protected:
    std::vector<std::string> LogLines() {
        std::vector<std::string> lines;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
            if (!entry.path().string().ends_with(".orthd.log")) continue;
            std::istringstream in(testsupport::ReadFile(entry.path()));
            for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
        }
        return lines;
    }
    testsupport::TempDir dir;
};

TEST_F(LogWriteTest, NoLogsDirectoryMeansNoLine) {
    StringMap map{{"sessionid", "1.1"}};
    InternalData data;
    LogWrite_FLT().apply(map, data);
    EXPECT_TRUE(LogLines().empty());
}

TEST_F(LogWriteTest, CounterThenLogWritesCountedRequestButNotScript) {
    std::filesystem::create_directories(dir.path() / "bin");
    std::filesystem::create_directories(dir.path() / "srv/logs");
    for (const char* command : {"script", "spell"}) {
        StringMap map{{":app_path:", dir.str() + "bin/"}, {"cmd", command}, {"server_id", "5"}};
        InternalData data;
        SessionCount_FLT().apply(map, data);
        LogWrite_FLT().apply(map, data);
    }
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Fields(lines[0])[4], "5.1");
    EXPECT_EQ(Fields(lines[0])[5], "spell_start");
}

TEST_F(LogWriteTest, UnopenableLogIsNoError) {
    StringMap map{{":logs_dir:", dir.str() + "missing/"}};
    InternalData data;
    EXPECT_NO_THROW(LogWrite_FLT().apply(map, data));
}

TEST_F(LogWriteTest, ConcurrentWritersKeepSeventeenFieldsPerLine) {
    constexpr int kProcesses = 4;
    constexpr int kLinesEach = 50;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string big(3000, static_cast<char>('a' + p));
            for (int i = 0; i < kLinesEach; ++i) {
                StringMap map{{":logs_dir:", dir.str()},
                              {"sessionid", "1.\t2\n"},
                              {":cmd__org:", "x\r\ny"},
                              {"slang", big},
                              {"action", big + "\t\n"}};
                InternalData data;
                LogWrite_FLT().apply(map, data);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    const auto lines = LogLines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(kProcesses * kLinesEach));
    for (const auto& line : lines) {
        ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), LogWrite_FLT::kFieldCount);
        const auto fields = Fields(line);
        EXPECT_EQ(fields[4], "1.\\t2\\n");
        EXPECT_EQ(fields[5], "x\\r\\ny");
        EXPECT_EQ(fields[10].size(), 3000u);
        EXPECT_EQ(fields[16], fields[10] + "\\t\\n");
    }
}

}  // namespace
