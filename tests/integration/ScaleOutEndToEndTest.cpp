// The scale-out layout on loopback: nginx with an upstream of two orthd.cgi FastCGI pools, two
// engine servers, one PostgreSQL database for the personal dictionaries. A word added through
// one pool is known through the other and through the other engine; concurrent writers through
// both pools lose nothing; an engine server stopped under load costs no request beyond those
// it was serving.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "support/FastCgiClient.h"
#include "support/HttpClient.h"
#include "support/LiveService.h"
#include "support/NonsenseWords.h"
#include "support/PostgresServer.h"

using testsupport::LiveService;
using testsupport::UrlEncode;

using testsupport::Nonsense;

namespace {

constexpr int kWriters = 16;
constexpr int kWordsEach = 100;
constexpr int kLoadClients = 4;
constexpr int kLoadSeconds = 30;
constexpr const char* kAdded = "\"action\": \"addword\"";

class ScaleOutEndToEndTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string why;
        postgres = testsupport::PostgresServer::Shared(why);
        if (!postgres) {
            skipReason = "PostgreSQL is missing: " + why;
            return;
        }
        database = postgres->FreshDatabase();
        service = std::make_unique<LiveService>(
            LiveService::WebServer::NginxFastCgi, LiveService::Layout{2, 2, database},
            LiveService::ExtraArguments{{"--metrics-listen", "127.0.0.1:0"}, {}});
        if (service->webServerMissing) skipReason = service->problem;
        if (!service->problem.empty()) return;
        // The first word makes the owned dictionary; its key goes with every later change, as
        // the browser keeps it in its cookie.
        seedAnswer = ThroughPool(0, AddWord("qqseed"));
        const size_t at = seedAnswer.find("\"key\": \"");
        if (at != std::string::npos) cookie += "; udk=" + seedAnswer.substr(at + 8, 64);
    }
    static void TearDownTestSuite() { service.reset(); }
    void SetUp() override {
        if (!skipReason.empty()) GTEST_SKIP() << skipReason;
        ASSERT_EQ(service->problem, "");
        // Without the key every later change is refused: fail on the cause, not on its effects.
        ASSERT_NE(cookie.find("udk="), std::string::npos)
            << "the first word was not added through pool 0: \"" << seedAnswer << "\"";
    }

    // A request straight to FastCGI pool `pool`, with the personal dictionary "Shared".
    static std::string ThroughPool(size_t pool, const std::string& body) {
        const std::map<std::string, std::string> env = {
            {"REQUEST_METHOD", "POST"},
            {"REMOTE_ADDR", "127.0.0.1"},
            {"HTTP_HOST", "localhost"},
            {"SCRIPT_NAME", "/cgi-bin/orthd.cgi"},
            {"HTTP_COOKIE", cookie},
            {"CONTENT_LENGTH", std::to_string(body.size())},
            {"CONTENT_TYPE", "application/x-www-form-urlencoded"}};
        return testsupport::FastCgiRequest(service->poolPort(pool), env, body).output;
    }
    // A request through nginx; true when it was served.
    static bool ThroughNginx(const std::string& body, const std::string& expected) {
        const auto answer = testsupport::HttpRequest(
            service->webPort(), "POST", "/cgi-bin/orthd.cgi", body, {{"Cookie", cookie}});
        return answer.status == 200 && answer.body.find(expected) != std::string::npos;
    }
    static std::string AddWord(const std::string& word) {
        return "cmd=dictionary&format=json&callback=cb&action=addword&word=" + word;
    }
    static std::string Spell(const std::string& text) {
        return "cmd=spell&slang=en_US&text=" + UrlEncode(text);
    }
    // What an engine server's metrics page counts of all functions; -1 when it does not answer.
    static double EngineRequests(int metricsPort) {
        const auto page = testsupport::HttpRequest(static_cast<unsigned short>(metricsPort), "GET",
                                                   "/metrics", "", {});
        if (page.status != 200) return -1;
        double total = 0;
        for (size_t at = page.body.find("\nappserver_requests_total{"); at != std::string::npos;
             at = page.body.find("\nappserver_requests_total{", at + 1))
            total += std::stod(page.body.substr(page.body.find("} ", at) + 2));
        return total;
    }
    static bool Marked(const std::string& answer, const std::string& word) {
        return answer.find(">" + word + "<") != std::string::npos;
    }

    static inline testsupport::PostgresServer* postgres = nullptr;
    static inline std::string database;
    static inline std::string skipReason;
    static inline std::string cookie = "udn=Shared";
    static inline std::string seedAnswer;
    static inline std::unique_ptr<LiveService> service;
};

TEST_F(ScaleOutEndToEndTest, AWordAddedThroughOnePoolIsKnownThroughTheOther) {
    const std::string added = ThroughPool(0, AddWord("zqjpool"));
    EXPECT_NE(added.find(kAdded), std::string::npos) << added;
    EXPECT_FALSE(Marked(ThroughPool(1, Spell("zqjpool wrod")), "zqjpool"));
    EXPECT_TRUE(Marked(ThroughPool(1, Spell("zqjpool wrod")), "wrod"));
}

TEST_F(ScaleOutEndToEndTest, SixteenWritersThroughBothPoolsLoseNoWord) {
    std::vector<std::thread> writers;
    std::atomic<int> failures{0};
    for (int t = 0; t < kWriters; ++t)
        writers.emplace_back([&failures, t] {
            for (int w = 0; w < kWordsEach; ++w)
                if (!ThroughNginx(AddWord(Nonsense(t * kWordsEach + w)), kAdded)) ++failures;
        });
    for (auto& t : writers) t.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(postgres->Query(database,
                              "SELECT count(*) FROM words w JOIN dictionaries d ON d.id = w.dict_id"
                              " WHERE d.name = 'Shared' AND w.word LIKE 'zqj%' AND w.word <> "
                              "'zqjpool'"),
              std::to_string(kWriters * kWordsEach));
}

// Runs last: the first engine stays stopped.
TEST_F(ScaleOutEndToEndTest, ZzAnEngineStoppedUnderLoadCostsOnlyItsRequestsInFlight) {
    std::atomic<bool> stop{false};
    std::atomic<int> served{0};
    std::atomic<int> failed{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < kLoadClients; ++c)
        clients.emplace_back([&] {
            while (!stop)
                (ThroughNginx(Spell("This sentense is fine."), "sentense") ? served : failed)++;
        });
    const int metrics[] = {service->MetricsPort("appserver.log"),
                           service->MetricsPort("appserver1.log")};
    std::this_thread::sleep_for(std::chrono::seconds(kLoadSeconds / 3));
    const int servedBefore = served;
    const double otherBefore = EngineRequests(metrics[1]);
    EXPECT_GT(EngineRequests(metrics[0]), 0);
    service->StopEngine(0);
    std::this_thread::sleep_for(std::chrono::seconds(kLoadSeconds - kLoadSeconds / 3));
    stop = true;
    for (auto& t : clients) t.join();
    // The stopped engine's counters stop with it; the other's go on rising.
    EXPECT_EQ(EngineRequests(metrics[0]), -1);
    EXPECT_GT(EngineRequests(metrics[1]), otherBefore);
    EXPECT_GT(servedBefore, 0);
    EXPECT_GT(served - servedBefore, 0) << "nothing served after the stop";
    EXPECT_LE(failed.load(), kLoadClients) << served << " served";
    // The word added earlier, most likely through the stopped engine, is known to the other.
    EXPECT_FALSE(Marked(ThroughPool(1, Spell("zqjpool")), "zqjpool"));
}

}  // namespace
