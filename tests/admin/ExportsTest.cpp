// The exported C functions as an installer calls them: environment, buffers and results.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "admin/AdminTestSupport.h"
#include "admin/vdirkit.h"

namespace {

class ExportsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("VDIRKIT_METABASE", fixture.file().c_str(), 1);
        setenv("VDIRKIT_APACHE_DIR", fixture.apacheDir().c_str(), 1);
    }
    void TearDown() override {
        unsetenv("VDIRKIT_METABASE");
        unsetenv("VDIRKIT_APACHE_DIR");
    }
    admintest::MetabaseFixture fixture;
};

TEST_F(ExportsTest, ResultsOfTheDirectoryAndApplicationFunctions) {
    ASSERT_EQ(isIISInstalled(), 1);
    fixture.AddSite(1, "Site", {"127.0.0.1:80:"});
    EXPECT_EQ(CreateVD(1, "spell", "/srv/spell"), 0);
    EXPECT_EQ(CreateApp(1, "spell", "Verbarium"), 0);
    EXPECT_EQ(CreateVDEx(1, "/spell", "sub", "/srv/sub"), 0);
    EXPECT_EQ(CreateAppEx(1, "/spell", "sub", "Sub"), 0);
    // The directory functions report failures as 0; the status function tells them.
    EXPECT_EQ(CreateVD(2, "spell", "/srv/spell"), 0);
    EXPECT_EQ(CreateVDExStatus(2, "", "spell", "/srv/spell"), 3u);
    EXPECT_EQ(CreateVDExStatus(1, "", nullptr, "/x"), 87u);
    EXPECT_EQ(CreateApp(2, "spell", "Verbarium"), 1);
    EXPECT_EQ(CreateAppEx(1, nullptr, "spell", "Verbarium"), 1);
    EXPECT_NE(fixture.dir.Read("apache/site-1.conf").find("Alias \"/spell/sub\""),
              std::string::npos);
}

TEST_F(ExportsTest, BuffersAreNeverOverrun) {
    fixture.AddSite(1, "Site", {"127.0.0.1:80:"});
    const std::string record = "1|Site|127.0.0.1:80:";
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetDefaultVSn(buffer, record.size()), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x');
    EXPECT_EQ(GetDefaultVSn(buffer, record.size() + 1), 1);
    EXPECT_EQ(std::string(buffer), record);
    EXPECT_EQ(GetDefaultVSn(nullptr, 10), 0);
    char full[VDIRKIT_BUFFER_BYTES];
    EXPECT_EQ(GetDefaultVS(full), 1);
    EXPECT_EQ(std::string(full), record);
    EXPECT_EQ(GetVSListn(buffer, sizeof buffer), 1);
    EXPECT_EQ(std::string(buffer), record + "\n");

    char host[256] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(GetHostName(full), 1);
    EXPECT_EQ(std::string(full), host);
    EXPECT_EQ(GetHostNamen(buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(ExportsTest, UnusableMetabaseOrNoSites) {
    char buffer[VDIRKIT_BUFFER_BYTES] = "stale";
    EXPECT_EQ(GetDefaultVS(buffer), 0);  // a fresh metabase has no site
    EXPECT_STREQ(buffer, "");
    setenv("VDIRKIT_METABASE", (fixture.dir.str() + "no/such/dir/m.json").c_str(), 1);
    EXPECT_EQ(isIISInstalled(), 0);
    EXPECT_EQ(GetDefaultVS(buffer), 0);
    EXPECT_EQ(CreateApp(1, "spell", "Verbarium"), 1);
}

TEST_F(ExportsTest, WithoutATerminalTheDialogAnswersCancel) {
    fixture.AddSite(1, "One", {":80:"});
    fixture.AddSite(2, "Two", {":81:"});
    const pid_t child = fork();
    if (child == 0) {
        setsid();  // no controlling terminal any more
        char buffer[VDIRKIT_BUFFER_BYTES];
        const int result = GetVSInfo(buffer);
        _exit(result == 0 && std::string(buffer) == "1|One|:80:" ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
