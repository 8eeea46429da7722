#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "admin/AdminTestSupport.h"
#include "admin/KeyHandle.h"
#include "admin/VirtualDirectoryAdmin.h"

namespace {

using namespace vdirkit;

// Answers the dialog as told and remembers what it was shown.
class ScriptedChooser : public SiteChooser {
  public:
    explicit ScriptedChooser(std::optional<size_t> answer) : answer_(answer) {}
    std::optional<size_t> Choose(const std::string& title, const std::string& label,
                                 const std::vector<std::string>& entries,
                                 size_t preselected) override {
        shown = title + "|" + label + "|" + std::to_string(preselected);
        for (const auto& entry : entries) shown += "|" + entry;
        return answer_;
    }
    std::string shown;

  private:
    std::optional<size_t> answer_;
};

class VirtualDirectoryAdminTest : public ::testing::Test {
  protected:
    void SetUp() override {
        metabase = fixture.Open();
        ASSERT_TRUE(metabase);
    }
    std::string Text(const std::string& path, uint32_t id) {
        const MetabaseKey tree = fixture.Tree();
        const MetabaseKey* found = tree.Find(path);
        const MetabaseRecord* record = found ? found->Record(id) : nullptr;
        if (record == nullptr) return "<none>";
        if (const auto* number = std::get_if<uint32_t>(&record->value))
            return std::to_string(*number);
        return std::get<std::string>(record->value);
    }

    admintest::MetabaseFixture fixture;
    std::unique_ptr<FileMetabase> metabase;
};

TEST_F(VirtualDirectoryAdminTest, TwoSitesDefaultIsTheFirstAndTheChooserPicksTheSecond) {
    fixture.AddSite(1, "Default Web Site", {"127.0.0.1:80:"});
    fixture.AddSite(2, "Spelling", {"127.0.0.1:8080:spell.example"});
    VirtualDirectoryAdmin admin(*metabase);
    EXPECT_EQ(admin.DefaultSiteRecord(), "1|Default Web Site|127.0.0.1:80:");

    ScriptedChooser ok(1);
    const auto chosen = admin.ChooseSite(ok);
    EXPECT_TRUE(chosen.confirmed);
    EXPECT_EQ(chosen.record, "2|Spelling|127.0.0.1:8080:spell.example");
    EXPECT_EQ(ok.shown, "Select Virtual Host|&List of Virtual Hosts|0|Default Web Site|Spelling");

    ScriptedChooser cancel(std::nullopt);
    const auto cancelled = admin.ChooseSite(cancel);
    EXPECT_FALSE(cancelled.confirmed);
    EXPECT_EQ(cancelled.record, "1|Default Web Site|127.0.0.1:80:");
}

TEST_F(VirtualDirectoryAdminTest, OnlyTheFirstBindingAndOnlyNumericKeysCount) {
    {
        KeyHandle sites(*metabase, std::string(kSitesPath), MetabaseAccess::ReadWrite, 0);
        for (const char* name : {"Filters", "0", "07", "3x"})
            ASSERT_EQ(metabase->AddKey(sites.handle(), name), 0u);
    }
    fixture.AddSite(5, "Many", {"10.0.0.1:80:a", "10.0.0.2:81:b", ":443:c"});
    VirtualDirectoryAdmin admin(*metabase);
    ASSERT_EQ(admin.ListSites().size(), 1u);
    EXPECT_EQ(admin.DefaultSiteRecord(), "5|Many|10.0.0.1:80:a");
}

TEST_F(VirtualDirectoryAdminTest, WithoutSitesThereIsNoRecordAndNoDialog) {
    VirtualDirectoryAdmin admin(*metabase);
    EXPECT_EQ(admin.DefaultSiteRecord(), std::nullopt);
    ScriptedChooser chooser(0);
    const auto chosen = admin.ChooseSite(chooser);
    EXPECT_FALSE(chosen.confirmed);
    EXPECT_EQ(chosen.record, "");
    EXPECT_EQ(chooser.shown, "");
}

TEST_F(VirtualDirectoryAdminTest, CreatesDirectoryAndApplicationWithTheirProperties) {
    fixture.AddSite(1, "Site", {":80:"});
    VirtualDirectoryAdmin admin(*metabase);
    ASSERT_EQ(admin.CreateVirtualDirectory(1, "", "spell", "/srv/verbarium/cgi-bin"), 0u);
    ASSERT_EQ(admin.CreateApplication(1, "", "spell", "Verbarium"), 0u);
    const std::string dir = "/LM/W3SVC/1/Root/spell";
    EXPECT_EQ(Text(dir, kPropertyKeyType), "IIsWebVirtualDir");
    EXPECT_EQ(Text(dir, kPropertyVrPath), "/srv/verbarium/cgi-bin");
    EXPECT_EQ(Text(dir, kPropertyAccessPerm), "517");
    EXPECT_EQ(Text(dir, kPropertyAppIsolated), "2");
    EXPECT_EQ(Text(dir, kPropertyAppRoot), dir);
    EXPECT_EQ(Text(dir, kPropertyAppFriendlyName), "Verbarium");
    EXPECT_EQ(fixture.Tree().Find(dir)->Record(kPropertyVrPath)->attributes, kAttributeInherit);
}

TEST_F(VirtualDirectoryAdminTest, AnExistingDirectoryIsSetUpAgainUnderItsParentPath) {
    fixture.AddSite(1, "Site", {":80:"});
    VirtualDirectoryAdmin admin(*metabase);
    ASSERT_EQ(admin.CreateVirtualDirectory(1, "", "tools", "/srv/tools"), 0u);
    ASSERT_EQ(admin.CreateVirtualDirectory(1, "/tools", "spell", "/old"), 0u);
    ASSERT_EQ(admin.CreateVirtualDirectory(1, "/tools", "spell", "/srv/new"), 0u);
    EXPECT_EQ(Text("/LM/W3SVC/1/Root/tools/spell", kPropertyVrPath), "/srv/new");
    EXPECT_EQ(Text("/LM/W3SVC/1/Root/tools", kPropertyVrPath), "/srv/tools");
}

struct ResultCase {
    const char* what;
    int site;
    const char* parent;
    const char* name;
    MetabaseStatus directory;    // CreateVirtualDirectory
    MetabaseStatus application;  // CreateApplication on the same name
};

TEST_F(VirtualDirectoryAdminTest, ResultCodes) {
    fixture.AddSite(1, "Site", {":80:"});
    const ResultCase cases[] = {
        {"created", 1, "", "spell", 0, 0},
        {"no such site", 9, "", "spell", MetabaseError::kPathNotFound, 1},
        {"no such parent", 1, "/missing", "spell", MetabaseError::kPathNotFound, 1},
        {"parent without slash", 1, "spell", "x", MetabaseError::kPathNotFound, 1},
        {"empty name", 1, "", "", MetabaseError::kInvalidParameter, 1},
        {"name of slashes", 1, "", "//", MetabaseError::kInvalidParameter, 1},
        {"control character", 1, "", "a\nb", MetabaseError::kPathNotFound, 1},
        {"invalid UTF-8", 1, "", "\xff", MetabaseError::kPathNotFound, 1},
    };
    VirtualDirectoryAdmin admin(*metabase);
    for (const auto& c : cases) {
        EXPECT_EQ(admin.CreateVirtualDirectory(c.site, c.parent, c.name, "/p"), c.directory)
            << c.what;
        EXPECT_EQ(admin.CreateApplication(c.site, c.parent, c.name, "App"), c.application)
            << c.what;
    }
    // The empty names made the Root neither an application nor a virtual directory.
    EXPECT_EQ(Text("/LM/W3SVC/1/Root", kPropertyVrPath), "<none>");
    EXPECT_EQ(Text("/LM/W3SVC/1/Root", kPropertyAppRoot), "<none>");

    // A path the web server would refuse (and with it the whole site) is refused here.
    const std::string longest(VirtualDirectoryAdmin::kMaxPhysicalPathBytes, 'p');
    EXPECT_EQ(admin.CreateVirtualDirectory(1, "", "long", "/" + longest),
              MetabaseError::kInvalidParameter);
    EXPECT_EQ(Text("/LM/W3SVC/1/Root/long", kPropertyVrPath), "<none>");
    EXPECT_EQ(admin.CreateVirtualDirectory(1, "", "long", longest), 0u);

    // Setting a directory up again keeps its application's name.
    EXPECT_EQ(admin.CreateVirtualDirectory(1, "", "spell", "/p"), 0u);
    EXPECT_EQ(Text("/LM/W3SVC/1/Root/spell", kPropertyAppFriendlyName), "App");
}

TEST_F(VirtualDirectoryAdminTest, ARefusedDataTypeWritesNothing) {
    fixture.AddSite(1, "Site", {":80:"});
    const std::string before = fixture.dir.Read("metabase.json");
    VirtualDirectoryAdmin admin(*metabase);
    const MetabaseRecord refused[] = {
        MetabaseRecord::Texts(kPropertyServerBindings, 0, 1, {"x"}),
        {kPropertyVrPath, 0, 1, MetabaseDataType::Number, std::string("not a number")},
        {kPropertyVrPath, 0, 1, static_cast<MetabaseDataType>(9), std::string("x")},
    };
    for (const auto& record : refused)
        EXPECT_EQ(admin.SetProperty("/LM/W3SVC/1", record), MetabaseError::kInvalidParameter);
    EXPECT_EQ(fixture.dir.Read("metabase.json"), before);
}

}  // namespace

TEST_F(VirtualDirectoryAdminTest, ALinkAtTheLockFilesPlaceIsNotFollowed) {
    fixture.AddSite(1, "Site", {":80:"});
    const std::string victim = fixture.dir.str() + "victim";
    ::unlink((fixture.file() + ".lock").c_str());
    ASSERT_EQ(::symlink(victim.c_str(), (fixture.file() + ".lock").c_str()), 0);
    VirtualDirectoryAdmin admin(*metabase);
    EXPECT_NE(admin.CreateVirtualDirectory(1, "", "spell", "/p"), MetabaseError::kSuccess);
    EXPECT_FALSE(std::filesystem::exists(victim));
}
