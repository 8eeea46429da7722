#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "admin/AdminTestSupport.h"
#include "admin/FileMetabase.h"
#include "admin/KeyHandle.h"
#include "admin/MetabaseFile.h"
#include "admin/VirtualDirectoryAdmin.h"

namespace {

using namespace vdirkit;

template <typename Work>
pid_t Spawn(Work work) {
    const pid_t pid = fork();
    if (pid == 0) _exit(work());
    return pid;
}

int ExitCode(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FileMetabaseTest, EightInstallersAtOnceLoseNothing) {
    admintest::MetabaseFixture fixture;
    fixture.AddSite(1, "Site", {":80:"});
    constexpr int kInstallers = 8;
    std::vector<pid_t> children;
    for (int i = 0; i < kInstallers; ++i)
        children.push_back(Spawn([&] {
            auto metabase = fixture.Open();
            VirtualDirectoryAdmin admin(*metabase);
            const std::string name = "dir" + std::to_string(i);
            return static_cast<int>(admin.CreateVirtualDirectory(1, "", name, "/srv/" + name) +
                                    admin.CreateApplication(1, "", name, name));
        }));
    for (const pid_t child : children) EXPECT_EQ(ExitCode(child), 0);
    const MetabaseKey tree = fixture.Tree();
    const auto config = fixture.dir.Read("apache/site-1.conf");
    for (int i = 0; i < kInstallers; ++i) {
        const std::string name = "dir" + std::to_string(i);
        const MetabaseKey* dir = tree.Find("/LM/W3SVC/1/Root/" + name);
        ASSERT_NE(dir, nullptr) << name;
        EXPECT_EQ(dir->records().size(), 6u) << name;
        EXPECT_NE(config.find("Alias \"/" + name + "\" \"/srv/" + name + "\""), std::string::npos);
    }
}

TEST(FileMetabaseTest, AWriterKilledHalfWayLeavesAParseableFile) {
    admintest::MetabaseFixture fixture;
    fixture.AddSite(1, "Site", {":80:"});
    for (int delayMs : {5, 20, 60}) {
        const pid_t writer = Spawn([&] {
            auto metabase = fixture.Open();
            KeyHandle site(*metabase, "/LM/W3SVC/1", MetabaseAccess::ReadWrite, 0);
            for (uint32_t round = 0;; ++round) {
                const std::string big(200000 + round % 1000, static_cast<char>('a' + round % 26));
                metabase->SetData(site.handle(), "", MetabaseRecord::Text(9999, 0, 1, big));
            }
            return 0;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        MetabaseKey tree;
        ASSERT_EQ(MetabaseFile::Parse(fixture.dir.Read("metabase.json"), tree), 0u) << delayMs;
        ASSERT_NE(tree.Find("/LM/W3SVC/1/Root"), nullptr);
        // The lock died with the writer: the next installer is not held up.
        const auto metabase = fixture.Open();
        EXPECT_EQ(VirtualDirectoryAdmin(*metabase).CreateVirtualDirectory(1, "", "after", "/x"),
                  0u);
    }
}

TEST(FileMetabaseTest, ADamagedFileIsRefusedAndKeptAsItIs) {
    admintest::MetabaseFixture fixture;
    const std::string damaged = "{\"format\": 1, \"keys\": [{\"name\": \"LM\"";
    fixture.dir.Write("metabase.json", damaged);
    auto metabase = fixture.Open();
    MetabaseHandle handle = 0;
    EXPECT_EQ(metabase->OpenKey(kMetabaseRootHandle, "/LM", MetabaseAccess::ReadWrite, 0, handle),
              MetabaseError::kInvalidData);
    VirtualDirectoryAdmin admin(*metabase);
    EXPECT_NE(admin.CreateVirtualDirectory(1, "", "spell", "/x"), 0u);
    EXPECT_EQ(fixture.dir.Read("metabase.json"), damaged);
}

TEST(FileMetabaseTest, HandlesAndAccess) {
    admintest::MetabaseFixture fixture;
    auto metabase = fixture.Open();
    MetabaseHandle reader = 0, writer = 0;
    ASSERT_EQ(metabase->OpenKey(kMetabaseRootHandle, "/LM/W3SVC", MetabaseAccess::Read, 0, reader),
              0u);
    EXPECT_EQ(metabase->AddKey(reader, "1"), MetabaseError::kAccessDenied);
    EXPECT_EQ(metabase->AddKey(kMetabaseRootHandle, "/LM/W3SVC/1"), MetabaseError::kAccessDenied);
    ASSERT_EQ(
        metabase->OpenKey(kMetabaseRootHandle, "/lm/w3svc", MetabaseAccess::ReadWrite, 0, writer),
        0u);
    EXPECT_EQ(metabase->AddKey(writer, "1/Root"), 0u);
    EXPECT_EQ(metabase->AddKey(writer, "1/ROOT"), MetabaseError::kAlreadyExists);
    std::string name;
    EXPECT_EQ(metabase->EnumKeys(reader, "", 0, name), 0u);
    EXPECT_EQ(name, "1");
    EXPECT_EQ(metabase->EnumKeys(reader, "", 1, name), MetabaseError::kNoMoreItems);
    MetabaseRecord record;
    EXPECT_EQ(metabase->GetData(reader, "1", kPropertyServerComment, record),
              MetabaseError::kDataNotFound);
    EXPECT_EQ(metabase->CloseKey(writer), 0u);
    EXPECT_EQ(metabase->CloseKey(writer), MetabaseError::kInvalidHandle);
    EXPECT_EQ(metabase->AddKey(writer, "2"), MetabaseError::kInvalidHandle);
}

TEST(FileMetabaseTest, OpensOnlyWhatItCanOpenOrCreate) {
    admintest::MetabaseFixture fixture;
    EXPECT_TRUE(FileMetabase::Open(fixture.file(), ""));
    EXPECT_FALSE(FileMetabase::Open(fixture.dir.str() + "missing/metabase.json", ""));
}

}  // namespace
