#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/TestSupport.h"
#include "utils/FileCache.h"

namespace {

class FileCacheTest : public ::testing::Test {
  public:  // the edit table's functions use the helpers
    void SetUp() override { cache.keep(true); }

    std::string Write(const std::string& content) { return dir.Write("f.ini", content); }
    std::string Bytes() {
        const auto text = cache.bytes(dir.str() + "f.ini");
        return text ? *text : "<unreadable>";
    }
    // Sets the file's modification time, so that edits within one clock tick still differ.
    void SetModified(long long seconds) {
        const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir.str() + "f.ini").c_str(), times, 0), 0);
    }
    struct stat Status() {
        struct stat info {};
        ::stat((dir.str() + "f.ini").c_str(), &info);
        return info;
    }

    testsupport::TempDir dir;
    FileCache cache;
};

TEST_F(FileCacheTest, AnUnchangedFileIsAnsweredFromMemory) {
    Write("a=1\n");
    const auto first = cache.bytes(dir.str() + "f.ini");
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, "a=1\n");
    EXPECT_EQ(cache.bytes(dir.str() + "f.ini"), first) << "the same kept bytes";
    EXPECT_EQ(cache.size(), 1u);
}

// Each edit must be seen by the next read, however little it changes of the file's status.
TEST_F(FileCacheTest, EveryKindOfEditIsSeenByTheNextRead) {
    struct Case {
        const char* name;
        void (*edit)(FileCacheTest&);
        const char* expected;
    };
    const Case cases[] = {
        {"longer", [](FileCacheTest& t) { t.Write("a=12\n"); }, "a=12\n"},
        {"same size, new modification time",
         [](FileCacheTest& t) {
             t.Write("b=2\n");
             t.SetModified(1000000000);
         },
         "b=2\n"},
        {"same size, modification time put back",  // the status-change time still moves
         [](FileCacheTest& t) {
             const auto before = t.Status().st_mtim.tv_sec;
             t.Write("c=3\n");
             t.SetModified(before);
         },
         "c=3\n"},
        {"replaced by a rename",
         [](FileCacheTest& t) {
             t.dir.Write("g.ini", "d=4\n");
             std::filesystem::rename(t.dir.path() / "g.ini", t.dir.path() / "f.ini");
         },
         "d=4\n"},
        {"removed", [](FileCacheTest& t) { std::filesystem::remove(t.dir.path() / "f.ini"); },
         "<unreadable>"},
        {"made a directory",
         [](FileCacheTest& t) {
             std::filesystem::remove(t.dir.path() / "f.ini");
             std::filesystem::create_directory(t.dir.path() / "f.ini");
         },
         "<unreadable>"},
    };
    Write("a=1\n");
    SetModified(1500000000);
    for (const auto& c : cases) {
        ASSERT_NE(Bytes(), "");  // kept before the edit
        // The file system's clock ticks in milliseconds: the edit must not share the tick of
        // the last change.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        c.edit(*this);
        EXPECT_EQ(Bytes(), c.expected) << c.name;
        if (std::filesystem::is_directory(dir.path() / "f.ini"))
            std::filesystem::remove(dir.path() / "f.ini");
        Write("a=1\n");
        SetModified(1500000000);
    }
}

TEST_F(FileCacheTest, AnUnreadableFileIsNeverKept) {
    EXPECT_EQ(Bytes(), "<unreadable>");
    EXPECT_EQ(cache.size(), 0u);
    Write("a=1\n");
    EXPECT_EQ(Bytes(), "a=1\n") << "a file that appears is read";
}

TEST_F(FileCacheTest, ParsesOnlyWhenTheFileChanged) {
    int parses = 0;
    const std::function<size_t(const std::string&)> parse = [&](const std::string& text) {
        ++parses;
        return text.size();
    };
    Write("a=1\n");
    EXPECT_EQ(*cache.parsed<size_t>(dir.str() + "f.ini", parse), 4u);
    EXPECT_EQ(*cache.parsed<size_t>(dir.str() + "f.ini", parse), 4u);
    EXPECT_EQ(parses, 1);
    Write("a=12\n");
    EXPECT_EQ(*cache.parsed<size_t>(dir.str() + "f.ini", parse), 5u);
    EXPECT_EQ(parses, 2);
    EXPECT_EQ(cache.parsed<size_t>(dir.str() + "missing.ini", parse), nullptr);
}

TEST_F(FileCacheTest, AFailedParseIsTriedAgain) {
    Write("a=1\n");
    bool fail = true;
    const std::function<int(const std::string&)> parse = [&](const std::string&) -> int {
        if (fail) throw std::runtime_error("bad");
        return 7;
    };
    EXPECT_THROW(cache.parsed<int>(dir.str() + "f.ini", parse), std::runtime_error);
    fail = false;
    EXPECT_EQ(*cache.parsed<int>(dir.str() + "f.ini", parse), 7);
}

TEST_F(FileCacheTest, NotKeepingReadsEveryTimeAndKeepsNothing) {
    cache.keep(false);
    Write("a=1\n");
    const auto first = cache.bytes(dir.str() + "f.ini");
    EXPECT_NE(cache.bytes(dir.str() + "f.ini"), first);
    EXPECT_EQ(cache.size(), 0u);
}

TEST_F(FileCacheTest, StartsOverBeyondItsLimit) {
    for (size_t i = 0; i <= FileCache::kMaxFiles; ++i)
        ASSERT_TRUE(cache.bytes(dir.Write("f" + std::to_string(i), "x")));
    EXPECT_EQ(cache.size(), 1u);
}

}  // namespace
