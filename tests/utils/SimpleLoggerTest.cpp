#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <sstream>
#include <vector>

#include "support/TestSupport.h"
#include "utils/logging/Logger.h"
#include "utils/logging/SimpleLogger.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Strips the "[PID/TID][MM:SS.mmm] " prefix, checking its form.
std::string Message(const std::string& line) {
    static const std::regex prefix(
        R"(^\[[0-9A-F]{3,}/[0-9A-F]{3,}\]\[[0-5][0-9]:[0-5][0-9]\.[0-9]{3}\] )");
    std::smatch match;
    if (!std::regex_search(line, match, prefix)) return "<no prefix: " + line + ">";
    return match.suffix();
}

class SimpleLoggerTest : public ::testing::Test {
  protected:
    SimpleLoggerTest() { logger.Init(dir.str() + "debug.log"); }
    std::string Text() { return dir.Read("debug.log"); }

    testsupport::TempDir dir;
    SimpleLogger logger;
};

TEST_F(SimpleLoggerTest, DebugIsDroppedEveryOtherLevelWrittenWithPrefix) {
    logger.Log(loglevel::Debug, 0, "hidden %d", 1);
    for (int level = loglevel::Critical; level <= loglevel::Trace; ++level)
        logger.Log(level, 0, "level %d", level);
    const auto lines = Lines(Text());
    ASSERT_EQ(lines.size(), 5u);
    for (int level = 1; level <= 5; ++level)
        EXPECT_EQ(Message(lines[level - 1]), "level " + std::to_string(level));
}

TEST_F(SimpleLoggerTest, PrefixCarriesProcessIdInHex) {
    logger.Log(loglevel::Info, 0, "x");
    char expected[32];
    std::snprintf(expected, sizeof expected, "[%03X/", static_cast<unsigned>(getpid()));
    EXPECT_EQ(Text().rfind(expected, 0), 0u) << Text();
}

TEST_F(SimpleLoggerTest, MessageOverStackBufferIsWrittenWhole) {
    const std::string longText(3000, 'q');
    logger.Log(loglevel::Error, 0, "%s|end", longText.c_str());
    EXPECT_EQ(Message(Lines(Text()).at(0)), longText + "|end");
}

TEST_F(SimpleLoggerTest, MessageIsCutAtHeapBufferSize) {
    const std::string hugeText(SimpleLogger::kHeapMessageBytes + 500, 'h');
    logger.Log(loglevel::Error, 0, "%s", hugeText.c_str());
    EXPECT_EQ(Message(Lines(Text()).at(0)), std::string(SimpleLogger::kHeapMessageBytes, 'h'));
}

TEST_F(SimpleLoggerTest, LineBreaksInMessageCannotStartAnotherLine) {
    logger.Log(loglevel::Error, 0, "*ERROR* %s", "bad\r\n[000/000][00:00.000] forged");
    const auto lines = Lines(Text());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Message(lines[0]), "*ERROR* bad\\r\\n[000/000][00:00.000] forged");
}

TEST_F(SimpleLoggerTest, UnopenableFileOrNoPathLosesMessageQuietly) {
    logger.Init(dir.str() + "missing/dir/debug.log");
    logger.Log(loglevel::Error, 0, "lost");
    SimpleLogger uninitialised;
    uninitialised.Log(loglevel::Error, 0, "lost too");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST_F(SimpleLoggerTest, ConcurrentProcessesNeverInterleaveLines) {
    constexpr int kProcesses = 4;
    constexpr int kLinesEach = 40;
    constexpr size_t kLineBytes = 20000;  // larger than any stdio buffer
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string body(kLineBytes, static_cast<char>('a' + p));
            for (int i = 0; i < kLinesEach; ++i) logger.Log(loglevel::Info, 0, "%s", body.c_str());
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    const auto lines = Lines(Text());
    ASSERT_EQ(lines.size(), static_cast<size_t>(kProcesses * kLinesEach));
    for (const auto& line : lines) {
        const std::string message = Message(line);
        ASSERT_EQ(message.size(), kLineBytes) << message.substr(0, 80);
        EXPECT_EQ(message.find_first_not_of(message[0]), std::string::npos);
    }
}

TEST(ProcessLoggerTest, ReportErrorWritesAtInfoLevelThroughTheOneLogger) {
    testsupport::TempDir dir;
    ASSERT_EQ(&GetLogger(), &GetLogger());
    GetLogger().Init(dir.str() + "debug.log");
    report_error("*ERROR* %s file: %s line %d", "broken", "kernel/Pipeline", 42);
    GetLogger().Init("");
    EXPECT_EQ(Message(Lines(dir.Read("debug.log")).at(0)),
              "*ERROR* broken file: kernel/Pipeline line 42");
}

}  // namespace

TEST(SimpleLoggerPrefixTest, FormatsIdsInHexAndTimeWithinTheHour) {
    const struct {
        unsigned pid, tid;
        long long localSeconds;
        unsigned millis;
        const char* expected;
    } rows[] = {
        {0x1, 0x2, 0, 0, "[001/002][00:00.000] "},
        {0xABCD, 0x12345, 3600LL * 24 * 365 + 59 * 60 + 7, 42, "[ABCD/12345][59:07.042] "},
        {0xFFFFFFFF, 0x10, 3599, 999, "[FFFFFFFF/010][59:59.999] "},
        {5, 6, -1, 1, "[005/006][59:59.001] "},
    };
    for (const auto& row : rows) {
        char out[64];
        const size_t n =
            SimpleLogger::FormatPrefix(out, row.pid, row.tid, row.localSeconds, row.millis);
        EXPECT_EQ(std::string(out, n), row.expected);
    }
}

TEST_F(SimpleLoggerTest, SignalHandlerLineHasTheUsualFormAndGoesToTheSameFile) {
    logger.Log(loglevel::Info, 0, "before");
    SimpleLogger::LogFromSignal("*ERROR* TimeGuard. Timeout expired.");
    const auto lines = Lines(Text());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Message(lines[1]), "*ERROR* TimeGuard. Timeout expired.");
    EXPECT_EQ(lines[0].substr(0, 9), lines[1].substr(0, 9));  // the same "[PID/" start
}
