#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"
#include "utils/logging/KeptAppendFile.h"

namespace {

// One file kept across writes: each row first removes its file or makes its folder when asked,
// writes its time at that time, then reads what the file holds.
TEST(KeptAppendFileTest, ReopensOnNewPathAfterASecondAndAfterAFailedOpen) {
    enum class Before { kNothing, kRemoveFile, kMakeFolder };
    struct Step {
        const char* file;
        long long nowMs;
        Before before;
        bool written;
        const char* holds;  // nullptr: the file does not exist
    };
    const Step steps[] = {
        {"a.log", 0, Before::kNothing, true, "0"},
        {"a.log", 999, Before::kNothing, true, "0999"},
        // Removed within the second: the kept descriptor still writes to the removed file.
        {"a.log", 999, Before::kRemoveFile, true, nullptr},
        {"a.log", 1000, Before::kNothing, true, "1000"},  // a second after the open: opened again
        {"b.log", 1001, Before::kNothing, true, "1001"},  // another path (the next hour's)
        {"a.log", 1002, Before::kNothing, true, "10001002"},
        {"a.log", 500, Before::kNothing, true, "10001002500"},  // the clock went back: opened again
        {"missing/c.log", 501, Before::kNothing, false, nullptr},
        {"missing/c.log", 502, Before::kMakeFolder, true, "502"},  // the failed open is tried again
    };
    testsupport::TempDir dir;
    KeptAppendFile file;
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.file) + " at " + std::to_string(step.nowMs));
        const std::filesystem::path path = dir.path() / step.file;
        if (step.before == Before::kRemoveFile) std::filesystem::remove(path);
        if (step.before == Before::kMakeFolder)
            std::filesystem::create_directory(path.parent_path());
        EXPECT_EQ(file.Write(path.string(), std::to_string(step.nowMs), step.nowMs), step.written);
        if (step.holds == nullptr)
            EXPECT_FALSE(std::filesystem::exists(path));
        else
            EXPECT_EQ(testsupport::ReadFile(path), step.holds);
    }
}

}  // namespace
