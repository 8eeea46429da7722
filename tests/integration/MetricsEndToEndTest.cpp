// A real Prometheus scrapes the metrics pages of the engine server and of orthd.cgi's FastCGI
// workers while the service answers requests, and its query API shows what was served.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "support/FakeEngineServer.h"
#include "support/HttpClient.h"
#include "support/LiveService.h"

using namespace testsupport;

namespace {

constexpr char kPrometheus[] = "/usr/bin/prometheus";
constexpr auto kScrapeWait = std::chrono::seconds(60);

// The value of the first sample of an instant query, or -1 when there is none yet.
double Query(unsigned short port, const std::string& query) {
    const HttpResponse r = HttpRequest(port, "GET", "/api/v1/query?query=" + UrlEncode(query));
    std::smatch match;
    static const std::regex value("\"value\":\\[[0-9.e+]+,\"([^\"]+)\"\\]");
    if (r.status != 200 || !std::regex_search(r.body, match, value)) return -1;
    return std::stod(match[1]);
}

class MetricsEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(kPrometheus))
            GTEST_SKIP() << "prometheus is not installed (scripts/install-deps.sh installs it)";
        const std::vector<std::string> metrics = {"--metrics-listen", "127.0.0.1:0"};
        service = std::make_unique<LiveService>(LiveService::WebServer::NginxFastCgi,
                                                LiveService::ExtraArguments{metrics, metrics});
        if (service->webServerMissing) GTEST_SKIP() << service->problem;
        ASSERT_EQ(service->problem, "");
        enginePort = service->MetricsPort("appserver.log");
        orthdPort = service->MetricsPort("fastcgi.out");
        ASSERT_NE(enginePort, 0);
        ASSERT_NE(orthdPort, 0);
    }

    // Prometheus on a free loopback port, scraping both pages every second.
    void StartPrometheus() {
        const std::string config = scratch.Write(
            "prometheus.yml",
            "global:\n  scrape_interval: 1s\n  evaluation_interval: 1s\nscrape_configs:\n"
            "  - job_name: appserver\n    static_configs:\n      - targets: ['127.0.0.1:" +
                std::to_string(enginePort) +
                "']\n"
                "  - job_name: orthd\n    static_configs:\n      - targets: ['127.0.0.1:" +
                std::to_string(orthdPort) + "']\n");
        prometheusPort = UnusedLoopbackPort();
        prometheus =
            ChildProcess({kPrometheus, "--config.file=" + config,
                          "--storage.tsdb.path=" + scratch.str() + "tsdb",
                          "--web.listen-address=127.0.0.1:" + std::to_string(prometheusPort)},
                         scratch.str() + "prometheus.log");
    }

    // Waits until `query` gives at least `least`; returns the last value seen.
    double WaitForAtLeast(const std::string& query, double least) {
        const auto end = std::chrono::steady_clock::now() + kScrapeWait;
        double seen = -1;
        while (std::chrono::steady_clock::now() < end && prometheus.running()) {
            seen = Query(prometheusPort, query);
            if (seen >= least) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
        return seen;
    }

    std::unique_ptr<LiveService> service;
    TempDir scratch;
    ChildProcess prometheus;
    int enginePort = 0;
    int orthdPort = 0;
    unsigned short prometheusPort = 0;
};

TEST_F(MetricsEndToEndTest, PrometheusSeesTheRequestsOfBothServers) {
    const int kSpells = 5;
    for (int i = 0; i < kSpells; ++i) {
        const HttpResponse r = HttpRequest(service->webPort(), "POST", "/cgi-bin/orthd.cgi",
                                           "cmd=spell&slang=en_US&text=" + UrlEncode("helo wrld"));
        ASSERT_EQ(r.status, 200) << r.body;
    }
    ASSERT_EQ(HttpRequest(service->webPort(), "GET", "/cgi-bin/orthd.cgi?cmd=nosuchcommand").status,
              200);

    // The pages themselves: only "GET /metrics" is served, and never through the web server.
    const HttpResponse page =
        HttpRequest(static_cast<unsigned short>(orthdPort), "GET", "/metrics");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.headers.at("content-type"), "text/plain; version=0.0.4; charset=utf-8");
    EXPECT_NE(page.body.find("# TYPE orthd_requests_total counter\n"), std::string::npos);
    EXPECT_EQ(HttpRequest(static_cast<unsigned short>(enginePort), "GET", "/").status, 404);
    EXPECT_EQ(HttpRequest(service->webPort(), "GET", "/metrics").status, 404);

    StartPrometheus();
    EXPECT_EQ(
        WaitForAtLeast("sum(orthd_requests_total{command=\"spell\",status=\"200\"})", kSpells),
        kSpells)
        << ReadFile(scratch.str() + "prometheus.log");
    EXPECT_EQ(WaitForAtLeast("sum(orthd_requests_total{command=\"other\"})", 1), 1);
    EXPECT_GE(WaitForAtLeast("sum(orthd_request_duration_seconds_count)", kSpells + 1),
              kSpells + 1);
    EXPECT_GE(
        WaitForAtLeast("sum(appserver_requests_total{function=\"check_spelling4\"})", kSpells),
        kSpells);
    EXPECT_EQ(WaitForAtLeast("sum(orthd_engine_errors_total)", 0), 0);
    EXPECT_EQ(WaitForAtLeast("min(up)", 1), 1);
    // At rest every connection the engine server counted as opened is counted as closed.
    EXPECT_EQ(WaitForAtLeast("appserver_open_connections", 0), 0);

    // The engine stops: the next spell request fails, and the failure is counted.
    service->StopEngine();
    HttpRequest(service->webPort(), "POST", "/cgi-bin/orthd.cgi",
                "cmd=spell&slang=en_US&text=" + UrlEncode("helo"));
    EXPECT_GE(WaitForAtLeast("sum(orthd_engine_errors_total)", 1), 1);
}

}  // namespace
