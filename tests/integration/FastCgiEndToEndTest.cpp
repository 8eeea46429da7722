// The service behind lighttpd, nginx and Apache through FastCGI answers as it does behind
// lighttpd's CGI: the same status, content type, cookies and body for the same HTTP requests.
#include <gtest/gtest.h>

#include <memory>

#include "support/HttpClient.h"
#include "support/LiveService.h"

using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LiveService;
using testsupport::UrlEncode;

namespace {

struct Call {
    const char* method;
    std::string target;
    std::string body;
    std::map<std::string, std::string> headers;
};

std::string Essentials(const HttpResponse& r) {
    auto header = [&](const char* name) {
        auto it = r.headers.find(name);
        return it == r.headers.end() ? std::string("-") : it->second;
    };
    return std::to_string(r.status) + "\n" + header("content-type") + "\n" + header("location") +
           "\n" + header("cache-control") + "\n" + r.setCookies + "\n" + r.body;
}

class FastCgiEndToEndTest : public ::testing::TestWithParam<LiveService::WebServer> {
  protected:
    static void SetUpTestSuite() { cgi = std::make_unique<LiveService>(); }
    static void TearDownTestSuite() { cgi.reset(); }
    void SetUp() override {
        service = std::make_unique<LiveService>(GetParam());
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
        ASSERT_EQ(cgi->problem, "");
    }
    HttpResponse Send(const LiveService& s, const Call& c) {
        return HttpRequest(s.webPort(), c.method, c.target, c.body, c.headers);
    }

    static inline std::unique_ptr<LiveService> cgi;
    std::unique_ptr<LiveService> service;
};

const char kOrthd[] = "/cgi-bin/orthd.cgi";

std::string Spell(const std::string& text) {
    return "cmd=spell&slang=en_US&text=" + UrlEncode(text);
}

}  // namespace

TEST_P(FastCgiEndToEndTest, AnswersAsTheCgiProgramDoes) {
    const std::vector<Call> calls = {
        {"POST", kOrthd, Spell("This sentense is fine."), {}},
        {"GET", std::string(kOrthd) + "?" + Spell("wrod"), "", {{"Cookie", "ud=wrod"}}},
        {"GET", std::string(kOrthd) + "?cmd=suggest&slang=en_US&word=recieve", "", {}},
        {"POST", kOrthd, "cmd=check&slang=en_US&frameid=f1&trg_url=/r.html&text=wrod", {}},
        {"POST", kOrthd, Spell(std::string(30000, 'a') + " wrod"), {}},
        {"GET", std::string(kOrthd) + "?doc=kwirl", "", {}},
    };
    for (const auto& call : calls) {
        const auto expected = Send(*cgi, call);
        EXPECT_NE(expected.status, 0) << call.target;
        EXPECT_EQ(Essentials(Send(*service, call)), Essentials(expected)) << call.target;
    }
}

TEST_P(FastCgiEndToEndTest, TheDemoPageIsServedAndConfigurationIsNot) {
    EXPECT_EQ(HttpRequest(service->webPort(), "GET", "/").status, 200);
    EXPECT_EQ(HttpRequest(service->webPort(), "GET", "/cgi-bin/orthd.ini").status, 403);
}

INSTANTIATE_TEST_SUITE_P(WebServers, FastCgiEndToEndTest,
                         ::testing::Values(LiveService::WebServer::LighttpdFastCgi,
                                           LiveService::WebServer::NginxFastCgi,
                                           LiveService::WebServer::ApacheFastCgi),
                         [](const auto& info) {
                             switch (info.param) {
                                 case LiveService::WebServer::NginxFastCgi:
                                     return "NginxFastCgi";
                                 case LiveService::WebServer::ApacheFastCgi:
                                     return "ApacheFastCgi";
                                 default:
                                     return "LighttpdFastCgi";
                             }
                         });
