#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "kernel/filters/PathControl_FLT.h"
#include "support/TestSupport.h"
#include "utils/InternalDataKeys.h"

namespace {

class PathControlTest : public ::testing::Test {
  protected:
    testsupport::TempDir dir;
    StringMap map;
    InternalData data;
    PathControl_FLT filter;

    void SetUp() override {
        unsetenv("HTTP_USER_AGENT");
        for (const char* d : {"lf/1000/templ", "lf/2000/templ", "lf/2000/img_de_DE",
                              "lf/1000/img_fr_FR", "other/1000/templ"})
            std::filesystem::create_directories(dir.path() / d);
        data.Insert<std::string>(idkey::SchemaDef, "1000");
        data.Insert(idkey::UseFerrixProtocol, false);
        map[":app_path:"] = "/app/cgi-bin/";
        map["lf_mapping"] = "\"default|" + dir.str() + "lf/|Opera|" + dir.str() + "other/";
    }
    void TearDown() override { unsetenv("HTTP_USER_AGENT"); }
    std::string lf() const { return dir.str() + "lf/"; }
};

}  // namespace

TEST_F(PathControlTest, ExistingSchemaIsChosenAndDirectoriesFollow) {
    map["schema"] = "2000";
    map["intlang"] = "de_DE";
    filter.apply(map, data);
    EXPECT_EQ(map[":tmpl_dir:"], lf() + "2000/templ/");
    EXPECT_EQ(map[":d_tmpl_d:"], lf() + "1000/templ/");
    EXPECT_EQ(map[":banr_dir:"], lf() + "banners/bansys.");
    EXPECT_EQ(map[":text_dir:"], "/app/cgi-bin/../texts/");
    EXPECT_EQ(map["orthdname"], "orthd.cgi");
    EXPECT_EQ(map["def_int_lang"], "en_US");
    EXPECT_EQ(map["schema_vd"], "2000/");
}

TEST_F(PathControlTest, SchemaFallsBackToDefault) {
    struct Row {
        std::string schema;
        std::string reason;
    };
    for (const Row& row :
         {Row{"", "empty"}, Row{"3000", "missing directory"}, Row{"../lf/2000", "traversal"},
          Row{"2000/../../etc", "slash"}, Row{"..", "dot-dot"}, Row{"20\n00", "control byte"},
          Row{"2000\\x", "backslash"}}) {
        StringMap m = map;
        PathControl_FLT f;
        m["schema"] = row.schema;
        f.apply(m, data);
        EXPECT_EQ(m[":tmpl_dir:"], lf() + "1000/templ/") << row.reason;
        EXPECT_EQ(m["schema"], "1000") << row.reason;
    }
}

TEST_F(PathControlTest, EmptyDefaultSchemaIs1000AndSchemaWithoutLanguageImagesFallsBack) {
    data.Get<std::string>(idkey::SchemaDef) = "";
    map["schema"] = "2000";
    map["intlang"] = "fr_FR";  // only 1000 has img_fr_FR
    filter.apply(map, data);
    EXPECT_EQ(map[":tmpl_dir:"], lf() + "1000/templ/");
}

TEST_F(PathControlTest, BrowserChoosesLookAndFeelAndLimitedBrowsersLoseProgramName) {
    setenv("HTTP_USER_AGENT", "Opera/9.80 (X11; Linux)", 1);
    filter.apply(map, data);
    EXPECT_EQ(map[":tmpl_dir:"], dir.str() + "other/1000/templ/");
    EXPECT_EQ(map["orthdname"], "");
}

TEST_F(PathControlTest, NetscapeSixIsTreatedAsMsie5) {
    setenv("HTTP_USER_AGENT", "Mozilla/5.0 Netscape6/6.2", 1);
    map["lf_mapping"] += "|MSIE|" + dir.str() + "other/";
    filter.apply(map, data);
    EXPECT_EQ(map[":tmpl_dir:"], dir.str() + "other/1000/templ/");
    EXPECT_EQ(map["orthdname"], "");
}

TEST_F(PathControlTest, RelayedRequestEmptiesProgramNameWhateverTheBrowser) {
    data.Insert(idkey::ViaFerrix, true);
    setenv("HTTP_USER_AGENT", "Mozilla/5.0 Firefox/120", 1);
    filter.apply(map, data);
    EXPECT_EQ(map["orthdname"], "");
}

TEST_F(PathControlTest, ForcedInterfaceLanguageAndBaseDirAndRelayScheme) {
    map["forced_int_lang"] = "de_DE";
    map["intlang"] = "fr_FR";
    map["base_dir"] = "/data/";
    map["ferrix_url"] = "https://customer.example/cgi-bin/ferrix.cgi";
    data.Get<bool>(idkey::UseFerrixProtocol) = true;
    filter.apply(map, data);
    EXPECT_EQ(map["intlang"], "de_DE");
    EXPECT_EQ(map[":text_dir:"], "/data/texts/");
    EXPECT_EQ(map["HTTP_OR_HTTPS"], "https");
}

TEST_F(PathControlTest, NoMatchingKeyAndNoDefaultGivesEmptyBase) {
    map["lf_mapping"] = "Opera|x/";
    filter.apply(map, data);
    EXPECT_EQ(map[":tmpl_dir:"], "1000/templ/");
}

TEST_F(PathControlTest, MissingRequiredSettingIsAnError) {
    InternalData empty;
    EXPECT_THROW(filter.apply(map, empty), PathControl_FLT::PathCntException);
}

TEST(PathControlMappingTest, ParsesKeysAndValuesWithBlanks) {
    std::map<std::string, std::string> m;
    PathControl_FLT::ParseLookAndFeelMapping("\" MSIE|ie dir/|\tOpera|op/|default|def/\"", m);
    EXPECT_EQ(m["MSIE"], "ie dir/");
    EXPECT_EQ(m["Opera"], "op/");
    EXPECT_EQ(m["default"], "def/\"");
    EXPECT_TRUE(PathControl_FLT::IsLimitedBrowser("Mozilla/5.0 (Macintosh; rv:1.8.1) Gecko"));
    EXPECT_FALSE(
        PathControl_FLT::IsLimitedBrowser("Mozilla/5.0 (X11; rv:120.0) Gecko Firefox/120.0"));
}
