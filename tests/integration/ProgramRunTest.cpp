// Runs the built programs from a runnable tree, as a CGI web server starts them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/CgiProcess.h"
#include "support/TestSupport.h"

using testsupport::InstalledTree;
using testsupport::RunCgi;
using testsupport::TempDir;

namespace {

class ProgramRunTest : public ::testing::Test {
  protected:
    TempDir dir;
    InstalledTree tree{dir.str()};

    std::map<std::string, std::string> Env(const std::string& query) {
        return {{"REQUEST_METHOD", "GET"},
                {"QUERY_STRING", query},
                {"REMOTE_ADDR", "127.0.0.1"},
                {"HTTP_HOST", "localhost"},
                {"SCRIPT_NAME", "/cgi-bin/orthd.cgi"}};
    }
    bool DebugLogWritten() const {
        for (const auto& entry : std::filesystem::directory_iterator(tree.logs()))
            if (entry.path().string().ends_with(".debug.log")) return true;
        return false;
    }
};

}  // namespace

TEST_F(ProgramRunTest, BothProgramsExitZeroFromAnInstalledTree) {
    dir.Write("cgi-bin/orthd.ini", "# empty\n");
    dir.Write("cgi-bin/ferrix.ini", "# empty\n");
    for (const auto& [built, name] :
         {std::pair{ORTHD_CGI, "orthd.cgi"}, std::pair{FERRIX_CGI, "ferrix.cgi"}}) {
        const auto program = tree.AddProgram(built, name);
        const auto result = RunCgi(program, Env("cmd=ver"));
        EXPECT_EQ(result.exitCode, 0) << name;
        EXPECT_EQ(result.signal, 0) << name;
    }
}

TEST_F(ProgramRunTest, MissingIniFileIsLoggedAndStillExitsZero) {
    const auto program = tree.AddProgram(ORTHD_CGI, "orthd.cgi");
    const auto result = RunCgi(program, Env("cmd=spell"));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(DebugLogWritten());
}

TEST_F(ProgramRunTest, OrthdCountsTheSessionAndWritesOneRequestLogLine) {
    dir.Write("cgi-bin/orthd.ini", "server_id=3\nschema_def=1000\n");
    const auto program = tree.AddProgram(ORTHD_CGI, "orthd.cgi");
    auto env = Env("cmd=get_opt&statinfo=a%09b");
    env["HTTP_REFERER"] = "http://x/\tforged\n";
    ASSERT_EQ(RunCgi(program, env).exitCode, 0);
    ASSERT_EQ(RunCgi(program, env).exitCode, 0);

    EXPECT_EQ(testsupport::ReadFile(tree.logs() + "sc.log"), "2");
    std::string requestLog;
    for (const auto& entry : std::filesystem::directory_iterator(tree.logs()))
        if (entry.path().string().ends_with(".orthd.log"))
            requestLog = testsupport::ReadFile(entry.path());
    ASSERT_FALSE(requestLog.empty());
    size_t lines = 0;
    for (size_t start = 0, end; (end = requestLog.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line = requestLog.substr(start, end - start);
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 17) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 2u);
    EXPECT_NE(requestLog.find("3.1\tget_opt_start\t"), std::string::npos) << requestLog;
    EXPECT_NE(requestLog.find("a\\tb"), std::string::npos) << requestLog;
}
