// The relay's HTTP client against a scripted service host on loopback.
#include <gtest/gtest.h>

#include <chrono>

#include "client/HttpRequest.h"
#include "support/FakeEngineServer.h"

using testsupport::FakeEngineServer;
using Failure = HttpRequest::Failure;

namespace {

constexpr char kOkAnswer[] =
    "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok";

class HttpRequestTest : public ::testing::Test {
  protected:
    FakeEngineServer host;
    HttpRequest::Options options;
    HttpRequest::Response response;

    HttpRequest::Result Post(const std::string& body) {
        return HttpRequest("http", "127.0.0.1", std::to_string(host.port()), "/spellcheck/x.cgi",
                           false)
            .Post(body, options, response);
    }
    static long ElapsedMs(std::chrono::steady_clock::time_point since) {
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - since)
                                     .count());
    }
};

}  // namespace

TEST_F(HttpRequestTest, SendsExactlyTheRelayRequest) {
    host.SetScript({{kOkAnswer}});
    options.userAgent = "Browser/1.0";
    options.cookie = "ud=a";
    ASSERT_EQ(Post("cmd=spell&text=a%0Ab").failure, Failure::None);
    const std::string port = std::to_string(host.port());
    ASSERT_EQ(host.requests().size(), 1u);
    EXPECT_EQ(host.requests()[0], "POST http://127.0.0.1:" + port +
                                      "/spellcheck/x.cgi HTTP/1.0\r\n"
                                      "Host:127.0.0.1:" +
                                      port +
                                      "\r\n"
                                      "Connection: close\r\n"
                                      "Accept: */*\r\n"
                                      "User-Agent: Browser/1.0\r\n"
                                      "Cookie: ud=a\r\n"
                                      "Content-Length: 20\r\n"
                                      "\r\n"
                                      "cmd=spell&text=a%0Ab");
    EXPECT_EQ(response.header, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2");
    EXPECT_EQ(response.body, "ok");
}

TEST_F(HttpRequestTest, HeaderValuesCannotStartHeadersOfTheirOwn) {
    host.SetScript({{kOkAnswer}});
    options.userAgent = "B\r\nX-Injected: 1";
    ASSERT_EQ(Post("").failure, Failure::None);
    EXPECT_EQ(host.requests()[0].find("\r\nX-Injected"), std::string::npos);
}

TEST_F(HttpRequestTest, UrlOmitsOnlyTheSchemesDefaultPort) {
    struct Case {
        const char* scheme;
        const char* port;
        const char* url;
    };
    for (const Case& c :
         {Case{"http", "80", "http://h/p"}, Case{"http", "8080", "http://h:8080/p"},
          Case{"https", "443", "https://h/p"}, Case{"https", "80", "https://h:80/p"}})
        EXPECT_EQ(HttpRequest(c.scheme, "h", c.port, "/p", false).url(), c.url);
}

TEST_F(HttpRequestTest, InterimAnswerIsNotTheHeader) {
    host.SetScript({{std::string("HTTP/1.1 100 Continue\r\n\r\n") + kOkAnswer}});
    ASSERT_EQ(Post("").failure, Failure::None);
    EXPECT_EQ(response.header.rfind("HTTP/1.0 200 OK", 0), 0u) << response.header;
}

TEST_F(HttpRequestTest, FailuresAreReportedByKind) {
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        size_t maxAnswerBytes;
        Failure expected;
    };
    const std::string big =
        "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + std::string(1000, 'x');
    const std::string unbounded = "HTTP/1.0 200 OK\r\n\r\n" + std::string(1000, 'x');
    for (const Case& c : {
             Case{
                 "closed without answer", {}, HttpRequest::kMaxAnswerBytes, Failure::ReceiveFailed},
             Case{"not HTTP",
                  {"garbage\r\n\r\n"},
                  HttpRequest::kMaxAnswerBytes,
                  Failure::ReceiveFailed},
             Case{"declared too large", {big}, 100, Failure::ReceiveFailed},
             Case{"read too large", {unbounded}, 100, Failure::ReceiveFailed},
         }) {
        host.SetScript({c.chunks});
        options.maxAnswerBytes = c.maxAnswerBytes;
        EXPECT_EQ(Post("").failure, c.expected) << c.name;
    }
}

TEST_F(HttpRequestTest, UnreachableAndUnknownHostsAreReportedByKind) {
    const std::string closed = std::to_string(testsupport::UnusedLoopbackPort());
    EXPECT_EQ(
        HttpRequest("http", "127.0.0.1", closed, "/", false).Post("", options, response).failure,
        Failure::Unavailable);
    EXPECT_EQ(HttpRequest("http", "bad host", "80", "/", false).Post("", options, response).failure,
              Failure::UnknownHost);
    EXPECT_EQ(HttpRequest("https", "127.0.0.1", std::to_string(host.port()), "/", false)
                  .Post("", options, response)
                  .failure,
              Failure::Unavailable);  // no TLS there
}

TEST_F(HttpRequestTest, AnswerWithLengthEndsWhileTheHostKeepsTheConnection) {
    host.SetScript({{kOkAnswer, ""}, std::chrono::milliseconds(4000)});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Post("").failure, Failure::None);
    EXPECT_LT(ElapsedMs(start), 3000);
    EXPECT_EQ(response.body, "ok");
}

TEST_F(HttpRequestTest, SlowAnswerEndsAtTheTimeLimit) {
    host.SetScript({{"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nab", "cd"},
                    std::chrono::milliseconds(4000)});
    options.timeoutMs = 300;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Post("").failure, Failure::ReceiveFailed);
    EXPECT_LT(ElapsedMs(start), 3000);
}
