// Runs the installed orthd.cgi against the shipped data tree (the repository's data/ folder laid
// out as `make install` does) for commands that need no engine server.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/CgiProcess.h"
#include "support/TestSupport.h"

using testsupport::InstalledTree;
using testsupport::RunCgi;
using testsupport::TempDir;

namespace {

struct Answer {
    std::string headers;
    std::string body;
    bool Has(const std::string& header) const {
        return headers.find(header + "\r\n") != std::string::npos;
    }
};

class ShippedTreeRunTest : public ::testing::Test {
  protected:
    static inline TempDir* dir = nullptr;
    static inline std::string program;

    // One tree for the whole suite: copying it for every case would only repeat the same work.
    static void SetUpTestSuite() {
        dir = new TempDir();
        const std::filesystem::path data = std::filesystem::path(VERBARIUM_SOURCE_DIR) / "data";
        const InstalledTree tree(dir->str());
        const auto recursive = std::filesystem::copy_options::recursive;
        std::filesystem::copy(data / "cgi-bin" / "orthd.ini", tree.cgiBin() + "orthd.ini");
        std::filesystem::copy(data / "texts", dir->path() / "texts", recursive);
        std::filesystem::copy(data / "templates", dir->path() / "templates", recursive);
        program = tree.AddProgram(ORTHD_CGI, "orthd.cgi");
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }

    Answer Get(const std::string& query) {
        const std::map<std::string, std::string> env = {{"REQUEST_METHOD", "GET"},
                                                        {"QUERY_STRING", query},
                                                        {"REMOTE_ADDR", "127.0.0.1"},
                                                        {"HTTP_HOST", "localhost"},
                                                        {"SCRIPT_NAME", "/cgi-bin/orthd.cgi"},
                                                        {"HTTP_USER_AGENT", "Mozilla/5.0"}};
        const auto result = RunCgi(program, env, "", 20000, dir->str() + "cgi-bin");
        EXPECT_EQ(result.exitCode, 0) << query;
        const size_t end = result.output.find("\r\n\r\n");
        if (end == std::string::npos) {
            ADD_FAILURE() << "no header block for " << query << ": " << result.output;
            return {};
        }
        Answer answer{result.output.substr(0, end + 2), result.output.substr(end + 4)};
        EXPECT_TRUE(answer.Has("Content-Length: " + std::to_string(answer.body.size())))
            << query << answer.headers;
        return answer;
    }
    static std::string File(const std::string& relative) {
        return testsupport::ReadFile(dir->path() / relative);
    }
};

}  // namespace

TEST_F(ShippedTreeRunTest, EveryScriptDocumentIsServedWithItsContentType) {
    const struct {
        const char* query;
        const char* type;
        const char* file;
    } rows[] = {
        {"doc=kwirl", "text/javascript; charset=UTF-8", "templates/1000/templ/KWIRL/kwirl.js"},
        {"doc=kwirl&plugin=fck", "text/javascript; charset=UTF-8",
         "templates/1000/templ/KWIRL/kwirl_fckplugin.js"},
        {"doc=kwirl_core&name=moz", "text/javascript; charset=UTF-8",
         "templates/1000/templ/KWIRL/files/kwirl_moz.js"},
        {"doc=image&img=spin", "image/gif", "templates/1000/templ/KWIRL/files/img/spin.gif"},
        {"doc=image&img=tick", "image/gif", "templates/1000/templ/KWIRL/files/img/tick.gif"},
        {"doc=kwirl_styles", "text/css", "templates/1000/templ/KWIRL/files/styles/kwirl.css"},
        {"doc=qdr_core&name=show", "text/html; charset=UTF-8",
         "templates/1000/templ/QDR/show.html"},
        {"doc=error.xsl", "text/xsl", "templates/1000/templ/QDR/error.xsl"},
        {"doc=kwirl_sp_init", "text/javascript; charset=UTF-8",
         "templates/1000/templ/QDR/kwirl_sp_init.js"},
    };
    for (const auto& row : rows) {
        const Answer answer = Get(std::string("cmd=script&") + row.query);
        EXPECT_TRUE(answer.Has(std::string("Content-Type: ") + row.type))
            << row.query << answer.headers;
        EXPECT_EQ(answer.body, File(row.file)) << row.query;
    }
    const Answer qdr = Get("cmd=script&doc=qdr&plugin=fck");
    EXPECT_NE(qdr.body.find("qdr.plugins.fck"), std::string::npos);
    const Answer frames = Get("cmd=script&doc=qdr_core&name=frm");
    EXPECT_NE(frames.body.find("<iframe"), std::string::npos);
}

TEST_F(ShippedTreeRunTest, LanguageScriptsCarryTheTextsOfBothEncodings) {
    const Answer english = Get("cmd=script&doc=kwirl_lang&slang=en_US&intlang=en_US");
    EXPECT_TRUE(english.Has("Content-Type: text/javascript; charset=UTF-8"));
    EXPECT_NE(english.body.find("add: String.raw`Add to dictionary`"), std::string::npos)
        << english.body;
    const Answer german = Get("cmd=script&doc=kwirl_lang&slang=de_DE&intlang=de_DE");
    EXPECT_NE(german.body.find("suggestions: String.raw`Vorschl\xC3\xA4ge`"), std::string::npos)
        << german.body;
    const Answer fallBack = Get("cmd=script&doc=kwirl_lang&slang=en_US&intlang=it_IT");
    EXPECT_NE(fallBack.body.find("`Add to dictionary`"), std::string::npos) << fallBack.body;
}

TEST_F(ShippedTreeRunTest, TraversalAttemptsStayInsideTheTree) {
    // A script language that is no file name has no template.
    for (const char* slang : {"../../../cgi-bin/orthd", "..%2F..%2Ftexts%2Ftext_en_US", "%2E%2E",
                              "..%5Clang%5Cen_US", "en_US%0A"}) {
        const Answer answer = Get(std::string("cmd=script&doc=kwirl_lang&slang=") + slang);
        EXPECT_NE(answer.body.find("Template information is not found"), std::string::npos)
            << slang << answer.body;
        EXPECT_EQ(answer.body.find("schema_def"), std::string::npos) << slang;
    }
    // An interface language that is no file name falls back to the next text file.
    const Answer texts =
        Get("cmd=script&doc=kwirl_lang&slang=en_US&intlang=..%2Ftexts%2Ftext_de_DE");
    EXPECT_NE(texts.body.find("`Add to dictionary`"), std::string::npos) << texts.body;
    // A schema that is no folder name falls back to the default schema.
    const std::string defaultCss = File("templates/1000/templ/KWIRL/files/styles/kwirl.css");
    const std::string otherCss = File("templates/2000/templ/KWIRL/files/styles/kwirl.css");
    ASSERT_NE(defaultCss, otherCss);
    EXPECT_EQ(Get("cmd=script&doc=kwirl_styles&schema=2000").body, otherCss);
    for (const char* schema : {"..%2F..%2Ftemplates%2F2000", "3000", "%2E%2E", "2000%0A"})
        EXPECT_EQ(Get(std::string("cmd=script&doc=kwirl_styles&schema=") + schema).body, defaultCss)
            << schema;
}

TEST_F(ShippedTreeRunTest, GetOptAnswersInBothFormats) {
    const Answer xml = Get("cmd=get_opt&osp=0101");
    EXPECT_TRUE(xml.Has("Content-Type: text/xml; charset=UTF-8")) << xml.headers;
    EXPECT_EQ(xml.body.rfind(
                  "<?xml version=\"1.0\" encoding=\"utf-8\"?><options><opt optdata=\"0101\" />", 0),
              0u)
        << xml.body;
    const Answer json = Get("cmd=get_opt&format=json&callback=cb&osp=%3Cb%3E");
    EXPECT_TRUE(json.Has("Content-Type: text/javascript; charset=UTF-8")) << json.headers;
    EXPECT_EQ(json.body.rfind("cb({\"options\": {\"opt\": \"\\u003Cb\\u003E\",\"dict\":\"", 0), 0u)
        << json.body;
}

TEST_F(ShippedTreeRunTest, UnknownCommandAnswersTheErrorPage) {
    const Answer answer = Get("cmd=no_such_command");
    EXPECT_TRUE(answer.Has("Content-Type: text/xml; charset=UTF-8")) << answer.headers;
    EXPECT_NE(
        answer.body.find("<error><message><![CDATA[Template information is not found]]></message>"),
        std::string::npos)
        << answer.body;
    EXPECT_NE(answer.body.find("<command>no_such_command</command>"), std::string::npos)
        << answer.body;
}

TEST_F(ShippedTreeRunTest, NotModifiedSinceTheClientsDate) {
    const Answer answer = Get("cmd=script&doc=kwirl&change_date=99991231");
    EXPECT_TRUE(answer.Has("Status: 304")) << answer.headers;
    EXPECT_EQ(answer.body, "");
}

TEST_F(ShippedTreeRunTest, BannerNamesFromTheRequestStayInsideTheBannerFolder) {
    for (const char* query :
         {"bnr=3/../../../cgi-bin/orthd.ini", "bnr=3%5C..%5C..%5Ccgi-bin%5Corthd.ini",
          "bnr=3&schema=../../cgi-bin/orthd.ini", "bnr=1&schema=..%2F1000"}) {
        const Answer answer = Get(std::string("cmd=navbar&") + query);
        EXPECT_TRUE(answer.Has("Content-Type: text/html; charset=UTF-8"))
            << query << answer.headers;
        EXPECT_NE(answer.body.find("<div class=\"banner\">Verbarium</div>"), std::string::npos)
            << query << answer.body;
        EXPECT_EQ(answer.body.find("appserver"), std::string::npos) << query;
    }
    const Answer other = Get("cmd=navbar&bnr=3&schema=2000");
    EXPECT_NE(other.body.find("banner-2000"), std::string::npos) << other.body;
    EXPECT_NE(other.body.find("Spelling"), std::string::npos) << other.body;
}
