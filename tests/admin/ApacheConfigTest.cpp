// The Apache side: the include files written from the metabase and the sites read from Apache.
#include <gtest/gtest.h>

#include "admin/AdminTestSupport.h"
#include "admin/ApacheExporter.h"
#include "admin/ApacheSiteImporter.h"
#include "admin/MetabaseFile.h"
#include "admin/VirtualDirectoryAdmin.h"

namespace {

using namespace vdirkit;

MetabaseKey SiteWith(const std::vector<std::pair<std::string, std::string>>& dirs) {
    MetabaseKey root = MetabaseFile::FreshTree();
    root.Add("/LM/W3SVC/1/Root");
    for (const auto& [path, physical] : dirs) {
        root.Add("/LM/W3SVC/1/Root/" + path);
        MetabaseKey* dir = root.Find("/LM/W3SVC/1/Root/" + path);
        dir->SetRecord(MetabaseRecord::Text(kPropertyKeyType, 0, 1, "IIsWebVirtualDir"));
        dir->SetRecord(MetabaseRecord::Text(kPropertyVrPath, 0, 2, physical));
    }
    return root;
}

TEST(ApacheExporterTest, ReadAccessDecidesWhetherTheDirectoryIsServed) {
    MetabaseKey root = SiteWith({{"open", "/srv/open"}, {"closed", "/srv/closed"}});
    root.Find("/LM/W3SVC/1/Root")->SetRecord(MetabaseRecord::Number(6016, 1, 2, 1));
    root.Find("/LM/W3SVC/1/Root/closed")->SetRecord(MetabaseRecord::Number(6016, 1, 2, 4));
    const std::string text = ApacheExporter::Render(root).at(1);
    const std::string open = text.substr(text.find("Alias \"/open\""));
    const std::string closed = text.substr(text.find("Alias \"/closed\""));
    EXPECT_EQ(open.substr(0, open.find("</Directory>")),
              "Alias \"/open\" \"/srv/open\"\n<Directory \"/srv/open\">\n    Options +ExecCGI\n"
              "    AddHandler cgi-script .cgi\n    Require all denied\n"
              "    <FilesMatch \"\\.cgi$\">\n        Require all granted\n"
              "    </FilesMatch>\n");
    EXPECT_NE(closed.find("Require all denied\n    <FilesMatch"), std::string::npos);
}

TEST(ApacheExporterTest, DeeperUrlsComeFirstAndUnsafeOnesAreLeftOut) {
    const MetabaseKey root = SiteWith({{"a", "/srv/a"},
                                       {"a/b", "/srv/b"},
                                       {"quote", "/srv/\"x"},
                                       {"newline", "/srv/x\nAlias / /"},
                                       {"relative", "srv/x"},
                                       {"star", "/srv/*"},
                                       {"sp ace", "/srv/with space"}});
    const std::string text = ApacheExporter::Render(root).at(1);
    EXPECT_LT(text.find("Alias \"/a/b\""), text.find("Alias \"/a\""));
    EXPECT_NE(text.find("Alias \"/sp ace\" \"/srv/with space\""), std::string::npos);
    for (const char* left : {"quote", "newline", "relative", "star"}) {
        EXPECT_NE(text.find(std::string("# Virtual directory /") + left +
                            "\n# left out: its URL or physical path cannot be written here safely"),
                  std::string::npos)
            << left;
    }
    EXPECT_EQ(text.find("Alias / /"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '<') - std::count(text.begin(), text.end(), '>'),
              0);
}

TEST(ApacheSiteImporterTest, ReadsVirtualHostBlocks) {
    const auto sites = ApacheSiteImporter::Parse(
        "# <VirtualHost 1.1.1.1:1>\n"
        "Listen 8080\n"
        "<VirtualHost 127.0.0.1:8080 [::1]:8080>\n"
        "  servername spell.example\n"
        "  DocumentRoot \"/var/www/with space\"\n"
        "  <Directory /x>\n    ServerName inner.example\n  </Directory>\n"
        "</VirtualHost>\n"
        "<virtualhost *>\r\n  DocumentRoot /var/www/b \\\n   # not a comment\r\n</virtualhost>\n"
        "<VirtualHost [::1]>\n</VirtualHost>\n"
        "<VirtualHost 10.0.0.1:80>\n  ServerName never.closed\n");
    ASSERT_EQ(sites.size(), 3u);
    EXPECT_EQ(sites[0].serverName, "spell.example");
    EXPECT_EQ(sites[0].binding, "127.0.0.1:8080:spell.example");
    EXPECT_EQ(sites[0].documentRoot, "/var/www/with space");
    EXPECT_EQ(sites[1].serverName, "");
    EXPECT_EQ(sites[1].binding, "*:80:");
    EXPECT_EQ(sites[1].documentRoot, "/var/www/b");
    EXPECT_EQ(sites[2].binding, "[::1]:80:");
}

TEST(ApacheSiteImporterTest, ImportNumbersTheSitesAndKeepsTheirDirectories) {
    admintest::MetabaseFixture fixture;
    fixture.dir.Write("sites/b.conf", "<VirtualHost *:81>\nServerName two\n</VirtualHost>\n");
    fixture.dir.Write("sites/a.conf", "<VirtualHost *:80>\nServerName one\n</VirtualHost>\n");
    fixture.dir.Write("sites/c.txt", "<VirtualHost *:82>\nServerName no\n</VirtualHost>\n");
    auto metabase = fixture.Open();
    std::vector<ApacheSite> sites;
    ASSERT_EQ(ApacheSiteImporter::ReadDirectory(fixture.dir.str() + "sites", sites), 0u);
    ASSERT_EQ(ApacheSiteImporter::Import(*metabase, sites), 0u);
    VirtualDirectoryAdmin admin(*metabase);
    ASSERT_EQ(admin.CreateVirtualDirectory(2, "", "spell", "/srv/spell"), 0u);
    ASSERT_EQ(ApacheSiteImporter::Import(*metabase, sites), 0u);

    const auto list = admin.ListSites();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(admin.SiteRecord(list[0]), "1|one|*:80:one");
    EXPECT_EQ(admin.SiteRecord(list[1]), "2|two|*:81:two");
    EXPECT_NE(fixture.Tree().Find("/LM/W3SVC/2/Root/spell"), nullptr);
    EXPECT_EQ(ApacheSiteImporter::ReadDirectory(fixture.dir.str() + "none", sites),
              MetabaseError::kPathNotFound);
}

}  // namespace
