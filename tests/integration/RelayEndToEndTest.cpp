// The relay as a customer's site runs it: lighttpd runs ferrix.cgi, which posts to orthd.cgi
// on the service host (the same lighttpd over http, or a second one over https), which reaches
// the engine server.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "support/FakeEngineServer.h"
#include "support/HttpClient.h"
#include "support/LiveService.h"

using testsupport::ChildProcess;
using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LiveService;
using testsupport::UrlEncode;

namespace {

class RelayEndToEndTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { service = std::make_unique<LiveService>(); }
    static void TearDownTestSuite() { service.reset(); }
    void SetUp() override {
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
    }

    static HttpResponse Post(const std::string& program, const std::string& body) {
        return HttpRequest(service->webPort(), "POST", "/cgi-bin/" + program, body,
                           {{"User-Agent", "Mozilla/5.0 (X11; Linux x86_64)"}});
    }
    // The same request to the relay and to the service: both answers.
    static std::pair<HttpResponse, HttpResponse> Both(const std::string& body) {
        return {Post("ferrix.cgi", body), Post("orthd.cgi", body + "&settings=ferrix")};
    }
    // The relay's answer; its body must be the service's.
    static HttpResponse ExpectSameBody(const std::string& body) {
        auto [relayed, direct] = Both(body);
        EXPECT_EQ(relayed.status, 200) << body;
        EXPECT_EQ(relayed.body, direct.body) << body;
        return relayed;
    }
    static void ExpectSameAnswer(const std::string& body) {
        auto [relayed, direct] = Both(body);
        EXPECT_EQ(relayed.status, 200) << body;
        EXPECT_EQ(relayed.body, direct.body) << body;
        EXPECT_EQ(relayed.headers["content-type"], direct.headers["content-type"]) << body;
    }
    static void WriteRelayIni(const std::string& lines) {
        std::ofstream(service->tree() + "/cgi-bin/ferrix.ini") << lines;
    }

    static std::unique_ptr<LiveService> service;
};
std::unique_ptr<LiveService> RelayEndToEndTest::service;

bool Listening(unsigned short port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

TEST_F(RelayEndToEndTest, SpellThroughTheRelayIsTheServicesAnswer) {
    ExpectSameAnswer("cmd=spell&slang=en_US&text=" +
                     UrlEncode("This sentense has a+b & x=y\nwrod"));
    const auto relayed = Post("ferrix.cgi", "cmd=spell&slang=en_US&text=" + UrlEncode("wrod"));
    EXPECT_NE(relayed.body.find(">wrod<"), std::string::npos) << relayed.body;
}

TEST_F(RelayEndToEndTest, CheckAsYouTypeThroughTheRelayIsTheServicesAnswer) {
    const std::string body = "cmd=sc&v=2.1&slang=en_US&c=cb&words=" + UrlEncode("wrod,is");
    const auto direct = Post("orthd.cgi", body + "&settings=ferrix");
    EXPECT_NE(direct.body.find("wrod"), std::string::npos) << direct.body;
    ExpectSameAnswer(body);
    // The grammar of the same client takes the same path.
    const std::string grammar =
        "cmd=kwirl_grammar&slang=en_US&format=json&c=cb&text=" + UrlEncode("She ate a apple.");
    const auto relayed = Post("ferrix.cgi", grammar);
    EXPECT_NE(relayed.body.find("cb({\"matches\":[{"), std::string::npos) << relayed.body;
    EXPECT_NE(relayed.body.find("\"an apple\""), std::string::npos) << relayed.body;
    ExpectSameAnswer(grammar);
}

TEST_F(RelayEndToEndTest, ScriptsComeFromTheServiceOnceThenFromTheCache) {
    const std::string body = "cmd=script&doc=kwirl_styles";
    // The relay names the style sheet's character set.
    EXPECT_EQ(ExpectSameBody(body).headers["content-type"], "text/css; charset=UTF-8");
    const std::string cached = service->state() + "/ferrix_cache/kwirl.css";
    ASSERT_TRUE(std::filesystem::exists(cached));
    std::ofstream(cached, std::ios::trunc) << "b{color:red}";
    const auto fromCache = Post("ferrix.cgi", body);
    EXPECT_EQ(fromCache.body, "b{color:red}");
    EXPECT_EQ(fromCache.headers.at("content-type"), "text/css; charset=UTF-8");
}

TEST_F(RelayEndToEndTest, ServiceDownGivesTheRelaysErrorPage) {
    WriteRelayIni("service_host=http://127.0.0.1:" +
                  std::to_string(testsupport::UnusedLoopbackPort()) + "/spellcheck\n");
    const auto answer = Post("ferrix.cgi", "cmd=spell&text=x");
    EXPECT_NE(answer.body.find("Service host is currently unavailable"), std::string::npos)
        << answer.body;
}

TEST_F(RelayEndToEndTest, HttpsServiceHostIsVerifiedAndReached) {
    const std::string state = service->state();
    const std::string tls = state + "/tls";
    std::filesystem::create_directories(tls);
    const std::string makeCert =
        "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -addext "
        "subjectAltName=IP:127.0.0.1 -keyout " +
        tls + "/key.pem -out " + tls + "/cert.pem >/dev/null 2>&1";
    ASSERT_EQ(std::system(makeCert.c_str()), 0) << "openssl is needed";
    if (!std::filesystem::exists("/usr/lib/lighttpd/mod_openssl.so"))
        GTEST_SKIP() << "lighttpd-mod-openssl is not installed";

    // A second lighttpd on its own port, speaking TLS, serving the same tree.
    const unsigned short tlsPort = testsupport::UnusedLoopbackPort();
    const std::string conf = tls + "/lighttpd.conf";
    const std::string sed =
        "sed -e 's|^server.port = .*|server.port = " + std::to_string(tlsPort) +
        "|' -e 's|lighttpd.pid|tls.pid|' -e 's|lighttpd.error.log|tls.error.log|' " + state +
        "/lighttpd.conf > " + conf;
    ASSERT_EQ(std::system(sed.c_str()), 0);
    std::ofstream(conf, std::ios::app)
        << "server.modules += (\"mod_openssl\")\nssl.engine = \"enable\"\n"
        << "ssl.pemfile = \"" << tls << "/cert.pem\"\nssl.privkey = \"" << tls << "/key.pem\"\n";
    ChildProcess web({"/usr/sbin/lighttpd", "-D", "-f", conf}, tls + "/out.log");

    const std::string serviceHost =
        "service_host=https://127.0.0.1:" + std::to_string(tlsPort) + "/spellcheck\n";
    WriteRelayIni(serviceHost);  // the system's CAs do not know the test certificate
    for (int i = 0; i < 200 && !Listening(tlsPort); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(Listening(tlsPort)) << testsupport::ReadFile(tls + "/out.log");
    const auto refused = Post("ferrix.cgi", "cmd=spell&slang=en_US&text=wrod");
    EXPECT_NE(refused.body.find("Service host is currently unavailable"), std::string::npos)
        << refused.body;

    WriteRelayIni(serviceHost + "service_ca_file=" + tls + "/cert.pem\n");
    const auto relayed = Post("ferrix.cgi", "cmd=spell&slang=en_US&text=wrod");
    EXPECT_EQ(relayed.status, 200);
    EXPECT_NE(relayed.body.find(">wrod<"), std::string::npos) << relayed.body;
}
