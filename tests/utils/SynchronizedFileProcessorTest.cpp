#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TestSupport.h"
#include "utils/logging/SynchronizedFileProcessor.h"

namespace {

// True when another holder has the lock file locked.
bool LockIsHeld(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

class SynchronizedFileProcessorTest : public ::testing::Test {
  protected:
    std::string Path(const std::string& name) { return dir.str() + name; }
    testsupport::TempDir dir;
};

TEST_F(SynchronizedFileProcessorTest, CreatesAbsentFileAndHoldsLockNextToItUntilDestroyed) {
    const std::string lockPath =
        SynchronizedFileProcessor::LockPathFor(Path("sc.log"), "session_count");
    EXPECT_EQ(lockPath, dir.str() + ".Mtx_session_count.lock");
    {
        SynchronizedFileProcessor file(Path("sc.log"), "session_count", false);
        EXPECT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Locked());
        EXPECT_TRUE(LockIsHeld(lockPath));
        EXPECT_TRUE(file.Write("1"));
    }
    EXPECT_FALSE(LockIsHeld(lockPath));
    EXPECT_EQ(dir.Read("sc.log"), "1");
}

TEST_F(SynchronizedFileProcessorTest, RewriteInPlaceThenTruncate) {
    dir.Write("sc.log", "0000123\nrest");
    SynchronizedFileProcessor file(Path("sc.log"), "session_count", false);
    std::string line;
    ASSERT_TRUE(file.ReadLine(line, 64));
    EXPECT_EQ(line, "0000123\n");
    ASSERT_TRUE(file.Rewind());
    ASSERT_TRUE(file.Write("124"));
    ASSERT_TRUE(file.TruncateHere());
    EXPECT_EQ(dir.Read("sc.log"), "124");
}

TEST_F(SynchronizedFileProcessorTest, ReadLineStopsAtSizeLimit) {
    dir.Write("f", std::string(100, '7'));
    SynchronizedFileProcessor file(Path("f"), "x", false);
    std::string line;
    ASSERT_TRUE(file.ReadLine(line, 64));
    EXPECT_EQ(line, std::string(63, '7'));
}

TEST(SynchronizedFileProcessorLockPath, LockFileSitsBesideTheGuardedFile) {
    const struct {
        const char* path;
        const char* lock;
    } cases[] = {{"logs/sc.log", "logs/.Mtx_n.lock"},
                 {"/srv/logs/sc.log", "/srv/logs/.Mtx_n.lock"},
                 {"/sc.log", "/.Mtx_n.lock"},
                 {"sc.log", "./.Mtx_n.lock"}};
    for (const auto& c : cases)
        EXPECT_EQ(SynchronizedFileProcessor::LockPathFor(c.path, "n"), c.lock) << c.path;
}

// A rewrite from the start cuts whatever the old text had beyond it, and only that.
TEST_F(SynchronizedFileProcessorTest, RewriteKeepsExactlyTheNewText) {
    const std::string longLine = "7\n" + std::string(100, 'x');
    const struct {
        const char* before;
        const char* rewrite;
        bool readFirst;  // the counter's way: the first line, then the rewrite from the start
    } cases[] = {{"99", "100", false}, {"123", "124", false},        {"1000", "1", false},
                 {"", "1", false},     {"7\nrest", "8", false},      {"99", "100", true},
                 {"1000", "1", true},  {"7\nrest", "8", true},       {"123", "124", true},
                 {"12\n", "13", true}, {longLine.c_str(), "8", true}};
    for (const auto& c : cases) {
        dir.Write("sc.log", c.before);
        {
            SynchronizedFileProcessor file(Path("sc.log"), "session_count", false);
            std::string line;
            if (c.readFirst) {
                ASSERT_TRUE(file.ReadLine(line, 64) && file.Rewind());
            }
            ASSERT_TRUE(file.Write(c.rewrite));
            EXPECT_TRUE(file.TruncateHere());
        }
        EXPECT_EQ(dir.Read("sc.log"), c.rewrite) << c.before;
    }
}

TEST_F(SynchronizedFileProcessorTest, AppendWritesAtEndAndKeepsContent) {
    dir.Write("log", "old\n");
    {
        SynchronizedFileProcessor file(Path("log"), "log_file", true);
        std::string line;
        EXPECT_TRUE(file.ReadLine(line, 64));
        EXPECT_TRUE(file.Rewind());
        EXPECT_TRUE(file.Write("new\n"));
    }
    EXPECT_EQ(dir.Read("log"), "old\nnew\n");
}

TEST_F(SynchronizedFileProcessorTest, MissingDirectoryReportsFailureEverywhere) {
    SynchronizedFileProcessor file(Path("no/such/dir/sc.log"), "session_count", false);
    std::string line = "stale";
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.ReadLine(line, 64));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(file.Rewind());
    EXPECT_FALSE(file.Write("1"));
    EXPECT_FALSE(file.TruncateHere());
}

TEST_F(SynchronizedFileProcessorTest, LockOfAProcessThatDiedIsReleased) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        static SynchronizedFileProcessor held(dir.str() + "sc.log", "session_count", false);
        _exit(0);  // no destructor runs
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_FALSE(
        LockIsHeld(SynchronizedFileProcessor::LockPathFor(Path("sc.log"), "session_count")));
}

TEST_F(SynchronizedFileProcessorTest, SecondProcessorWaitsForTheFirst) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        SynchronizedFileProcessor first(Path("f"), "x", true);
        (void)!write(ready[1], "r", 1);
        usleep(200 * 1000);
        first.Write("first\n");
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    {
        SynchronizedFileProcessor second(Path("f"), "x", true);
        second.Write("second\n");
    }
    int status = 0;
    waitpid(pid, &status, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(dir.Read("f"), "first\nsecond\n");
}

}  // namespace
