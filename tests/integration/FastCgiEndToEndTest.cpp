// The service behind lighttpd, nginx and Apache through FastCGI, and behind Apache's CGI, answers
// as it does behind lighttpd's CGI: the same status, content type, cookies, cross-origin headers
// and body for the same HTTP requests, the JSON API at /v2/ included.
#include <gtest/gtest.h>

#include <fstream>
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
    int status = 0;  // 0: only compared with the CGI program's
};

std::string Essentials(const HttpResponse& r) {
    auto header = [&](const char* name) {
        auto it = r.headers.find(name);
        return it == r.headers.end() ? std::string("-") : it->second;
    };
    // A 204 has no content: Apache drops its Content-Type, the others pass it on.
    const std::string type = r.status == 204 ? "-" : header("content-type");
    return std::to_string(r.status) + "\n" + type + "\n" + header("location") + "\n" +
           header("cache-control") + "\n" + header("access-control-allow-origin") + "\n" +
           header("access-control-allow-methods") + "\n" + r.setCookies + "\n" + r.body;
}

constexpr char kPageOrigin[] = "https://pages.example";

// Lets pages of kPageOrigin read the answers (the INI's first "cors_allow_origins" wins; the
// shipped file has it only as a comment).
void AllowPageOrigin(const LiveService& s) {
    std::ofstream(s.tree() + "/cgi-bin/orthd.ini", std::ios::app)
        << "\ncors_allow_origins=" << kPageOrigin << "\n";
}

class FastCgiEndToEndTest : public ::testing::TestWithParam<LiveService::WebServer> {
  protected:
    static void SetUpTestSuite() {
        cgi = std::make_unique<LiveService>();
        AllowPageOrigin(*cgi);
    }
    static void TearDownTestSuite() { cgi.reset(); }
    void SetUp() override {
        service = std::make_unique<LiveService>(GetParam());
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
        ASSERT_EQ(cgi->problem, "");
        AllowPageOrigin(*service);
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
        {"POST", "/v2/check", "language=en-US&text=I+recieve+a+apple.", {}, 200},
        {"GET", "/v2/languages", "", {{"Origin", kPageOrigin}}, 200},
        {"POST", "/v2/check", "text=x", {{"Origin", kPageOrigin}}, 400},  // readable by the page
        // Refused before the command runs (over the body limit), still readable by the page.
        {"POST",
         "/v2/check",
         "language=en-US&text=" + std::string(4 * 1024 * 1024, 'a'),
         {{"Origin", kPageOrigin}},
         413},
        {"OPTIONS",
         "/v2/check",
         "",
         {{"Origin", kPageOrigin}, {"Access-Control-Request-Method", "POST"}},
         204},
    };
    for (const auto& call : calls) {
        // Apache's CGI module answers OPTIONS itself and never runs the program: behind Apache,
        // preflights need the FastCGI configuration.
        if (GetParam() == LiveService::WebServer::Apache && std::string(call.method) == "OPTIONS")
            continue;
        const auto expected = Send(*cgi, call);
        EXPECT_NE(expected.status, 0) << call.target;
        if (call.status != 0) {
            EXPECT_EQ(expected.status, call.status) << Essentials(expected);
        }
        if (call.headers.count("Origin")) {
            EXPECT_EQ(expected.headers.count("access-control-allow-origin"), 1u) << call.target;
        }
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
                                           LiveService::WebServer::ApacheFastCgi,
                                           LiveService::WebServer::Apache),
                         [](const auto& info) {
                             switch (info.param) {
                                 case LiveService::WebServer::Apache:
                                     return "ApacheCgi";
                                 case LiveService::WebServer::NginxFastCgi:
                                     return "NginxFastCgi";
                                 case LiveService::WebServer::ApacheFastCgi:
                                     return "ApacheFastCgi";
                                 default:
                                     return "LighttpdFastCgi";
                             }
                         });
