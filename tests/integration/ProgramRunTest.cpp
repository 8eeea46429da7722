// Runs the built programs from a runnable tree, as a CGI web server starts them.
#include <gtest/gtest.h>

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
        return {{"REQUEST_METHOD", "GET"}, {"QUERY_STRING", query}, {"REMOTE_ADDR", "127.0.0.1"},
                {"HTTP_HOST", "localhost"}, {"SCRIPT_NAME", "/cgi-bin/orthd.cgi"}};
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
    for (const auto& [built, name] : {std::pair{ORTHD_CGI, "orthd.cgi"}, std::pair{FERRIX_CGI, "ferrix.cgi"}}) {
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
}
