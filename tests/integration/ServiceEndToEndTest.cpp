// The service as a person uses it: lighttpd runs orthd.cgi, which reaches the engine server.
#include <gtest/gtest.h>

#include <memory>

#include "client/CAppServerClient.h"
#include "support/HttpClient.h"
#include "support/LiveService.h"

using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LiveService;
using testsupport::UrlEncode;

namespace {

constexpr char kUnavailable[] = "The Verbarium Service is currently unavailable.";

class ServiceEndToEndTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { service = std::make_unique<LiveService>(); }
    static void TearDownTestSuite() { service.reset(); }
    void SetUp() override {
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
    }

    static HttpResponse Get(const std::string& query,
                            const std::map<std::string, std::string>& headers = {}) {
        return HttpRequest(service->webPort(), "GET", "/cgi-bin/orthd.cgi?" + query, "", headers);
    }
    static HttpResponse Post(const std::string& body,
                             const std::map<std::string, std::string>& headers = {}) {
        return HttpRequest(service->webPort(), "POST", "/cgi-bin/orthd.cgi", body, headers);
    }
    static std::string Spell(const std::string& text) {
        return "cmd=spell&slang=en_US&text=" + UrlEncode(text);
    }

    static std::unique_ptr<LiveService> service;
};
std::unique_ptr<LiveService> ServiceEndToEndTest::service;

}  // namespace

TEST_F(ServiceEndToEndTest, DemoPageIsServed) {
    const auto page = HttpRequest(service->webPort(), "GET", "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("cmd"), std::string::npos);
}

TEST_F(ServiceEndToEndTest, SpellMarksMisspeltWordsByGetAndPost) {
    for (const auto& answer :
         {Get(Spell("This sentense is fine.")), Post(Spell("This sentense is fine."))}) {
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.headers.at("content-type"), "text/html; charset=UTF-8");
        EXPECT_NE(answer.body.find("submit_bot('suggest'"), std::string::npos) << answer.body;
        EXPECT_NE(answer.body.find(">sentense<"), std::string::npos) << answer.body;
        EXPECT_EQ(answer.body.find(">fine<"), std::string::npos) << answer.body;
    }
}

TEST_F(ServiceEndToEndTest, HtmlTextKeepsItsMarkupAndScriptIsNotLive) {
    const auto answer = Post(Spell("<b>Bold</b> wrod <svg onload=alert(1)"));
    EXPECT_EQ(answer.status, 200);
    EXPECT_NE(answer.body.find(">wrod<"), std::string::npos) << answer.body;
    EXPECT_EQ(answer.body.find("<svg onload"), std::string::npos) << answer.body;
}

TEST_F(ServiceEndToEndTest, WindowsTextIsReadAndAnsweredInItsCodePage) {
    // "Grüße" in Windows-1250 bytes is not UTF-8: the request is read through the language's
    // single-byte table and the answer body is converted back to it.
    const auto answer = Post("cmd=spell&slang=de_DE&text=Gr%FC%DFe%20Wrold");
    EXPECT_EQ(answer.status, 200);
    EXPECT_NE(answer.body.find("Gr\xFC\xDF"
                               "e"),
              std::string::npos)
        << answer.body;
}

TEST_F(ServiceEndToEndTest, UserWordsFromTheCookieAreAccepted) {
    const auto marked = Post(Spell("Verbarium rocks"));
    EXPECT_NE(marked.body.find(">Verbarium<"), std::string::npos) << marked.body;
    const auto accepted = Post(Spell("Verbarium rocks"), {{"Cookie", "ud=Verbarium"}});
    EXPECT_EQ(accepted.body.find(">Verbarium<"), std::string::npos) << accepted.body;
}

TEST_F(ServiceEndToEndTest, PersonalDictionaryNamedByTheCookieIsAccepted) {
    ASSERT_EQ(AppServerInit("127.0.0.1", service->enginePort()), 0);
    std::vector<std::string> results;
    ASSERT_EQ(AppServerDoFunc("update_user_dictionary", {"team words", "Orthdex", ""}, results, 0),
              0);
    AppServerUninit();
    const auto answer = Post(Spell("Orthdex works"), {{"Cookie", "udn=team%20words"}});
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body.find(">Orthdex<"), std::string::npos) << answer.body;
}

TEST_F(ServiceEndToEndTest, SuggestListsTheRightWord) {
    const auto answer = Get("cmd=suggest&slang=en_US&word=recieve");
    EXPECT_EQ(answer.status, 200);
    EXPECT_NE(answer.body.find("receive"), std::string::npos) << answer.body;
}

TEST_F(ServiceEndToEndTest, SpellSuggestAllWritesHiddenFields) {
    const auto answer = Post("cmd=spellsuggestall&slang=en_US&text=" + UrlEncode("teh wrod"));
    EXPECT_NE(answer.body.find("name=\"s_teh\""), std::string::npos) << answer.body;
}

TEST_F(ServiceEndToEndTest, CheckAnswersWithARedirect) {
    const auto wrong = Post("cmd=check&slang=en_US&frameid=f1&trg_url=/check-result.html&text=" +
                            UrlEncode("wrod"));
    EXPECT_EQ(wrong.status, 302);
    EXPECT_EQ(wrong.headers.at("location"), "/check-result.html?result=0&frameid=f1");
    const auto right = Post("cmd=check&slang=en_US&frameid=f1&trg_url=/check-result.html&text=" +
                            UrlEncode("word"));
    EXPECT_EQ(right.headers.at("location"), "/check-result.html?result=1&frameid=f1");
}

// Runs last in this suite: the engine server stays down afterwards.
TEST_F(ServiceEndToEndTest, ZzEngineDownGivesTheCriticalErrorAnswer) {
    service->StopEngine();
    const auto spell = Post(Spell("any text"));
    EXPECT_EQ(spell.headers.at("content-type"), "text/xml; charset=UTF-8");
    EXPECT_NE(spell.body.find(kUnavailable), std::string::npos) << spell.body;
    EXPECT_NE(spell.body.find("<critical>1</critical>"), std::string::npos) << spell.body;

    const auto suggest = Get("cmd=suggest&slang=en_US&word=x");
    EXPECT_NE(suggest.body.find(kUnavailable), std::string::npos) << suggest.body;

    const auto check = Post("cmd=check&slang=en_US&frameid=f&trg_url=/r.html&text=x");
    EXPECT_NE(check.body.find(kUnavailable), std::string::npos) << check.body;
}

TEST(ApacheDeploymentTest, TheSameTreeRunsUnderApache) {
    LiveService apache(LiveService::WebServer::Apache);
    if (apache.webServerMissing) GTEST_SKIP() << apache.problem;
    ASSERT_EQ(apache.problem, "");
    const auto answer = HttpRequest(apache.webPort(), "POST", "/cgi-bin/orthd.cgi",
                                    "cmd=spell&slang=en_US&text=" + UrlEncode("A sentense"));
    EXPECT_EQ(answer.status, 200);
    EXPECT_NE(answer.body.find(">sentense<"), std::string::npos) << answer.body;
    EXPECT_EQ(HttpRequest(apache.webPort(), "GET", "/cgi-bin/orthd.ini").status, 403);
    // Without a status Apache would serve the local path itself instead of redirecting.
    const auto check = HttpRequest(apache.webPort(), "POST", "/spellcheck/script/orthd.cgi",
                                   "cmd=check&slang=en_US&frameid=f1&trg_url=/r.html&text=wrod");
    EXPECT_EQ(check.status, 302);
    EXPECT_EQ(check.headers.at("location"), "/r.html?result=0&frameid=f1");
}
