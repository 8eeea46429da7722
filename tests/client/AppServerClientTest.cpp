#include <gtest/gtest.h>

#include <cerrno>

#include "client/CAppServerClient.h"
#include "client/EngineServerList.h"
#include "client/FailedServerMemory.h"
#include "client/SocketErrors.h"
#include "support/FakeEngineServer.h"

using testsupport::FakeEngineServer;
using namespace std::chrono_literals;

namespace {

class AppServerClientTest : public ::testing::Test {
  protected:
    FakeEngineServer server;
    std::vector<std::string> results;

    void SetUp() override {
        CAppServerClient::Instance().SetWaitTimeMs(5000);
        ASSERT_EQ(AppServerInit("127.0.0.1", server.port()), 0);
    }
    void TearDown() override {
        AppServerUninit();
        CAppServerClient::Instance().SetWaitTimeMs(CAppServerClient::kWaitForever);
    }
    int Call(size_t expected = 1) {
        const int rc = AppServerDoFunc("check_is_correct4", {"en_US", "word"}, results, expected);
        if (rc != 0) ADD_FAILURE() << Failure(expected).second;
        return rc;
    }
    // The code and message of a failing DoFunc.
    std::pair<int, std::string> Failure(size_t expected = 1) {
        try {
            CAppServerClient::Instance().DoFunc("get_suggestions4", {"x"}, expected);
        } catch (const CAppServerClient::Error& e) {
            return {e.code(), e.what()};
        }
        return {0, ""};
    }
};

}  // namespace

TEST_F(AppServerClientTest, SendsTheExactRequestMessageWithEscapedLines) {
    server.AnswerWith("VerbarOK\r\n");
    ASSERT_EQ(AppServerDoFunc("check_spelling4", {"a\\b", "t\tx", "l1\r\nl2", "caf\xC3\xA9", ""},
                              results, 0),
              0);
    const std::string body =
        "check_spelling4\r\na\\\\b\r\nt\\tx\r\nl1\\r\\nl2\r\ncaf\\xC3\\xA9\r\n\r\n";
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              "GET /x.100 HTTP/1.0\r\nAccept: text/html\r\nAccept: image/Verbar\r\nContent-type: "
              "image/Verbar\r\n"
              "Content-length: " +
                  std::to_string(body.size()) + "\r\nOptions: version=3.0\r\n\r\n" + body);
}

TEST_F(AppServerClientTest, DecodesOkAnswers) {
    server.AnswerWith("VerbarOK\r\nword\\tx\r\n");
    ASSERT_EQ(Call(), 0);
    EXPECT_EQ(results, std::vector<std::string>{"word\tx"});

    server.AnswerWith("verbarok\r\n");
    ASSERT_EQ(Call(), 0);
    EXPECT_EQ(results, std::vector<std::string>{""});
}

TEST_F(AppServerClientTest, ReportsServerAndDecodeErrorsWithTheirCodes) {
    struct Row {
        std::string content;
        size_t expected;
        int code;
        std::string message;
    };
    const Row rows[] = {
        {"VerbarError\r\nLanguage is not supported", 1, -3, "Language is not supported"},
        {"Nonsense\r\nx\r\n", 1, -4,
         "CLI:Answer header indicates error. The server couldn't process request for function "
         "get_suggestions4"},
        {"VerbarOK\r\na\r\nb\r\n", 1, -5,
         "Server responded OK. Content decode error 1. Possible mismatch of server and client "
         "versions"},
        {"VerbarOK\r\n\\q\r\n", 1, -5,
         "Server responded OK. Content decode error -2. Possible mismatch of server and client "
         "versions"},
        {"VerbarOK\r\na", 3, -5,
         "Server responded OK. Content decode error -1. Possible mismatch of server and client "
         "versions"},
        {"VerbarOK\r\nleft over", 0, -5,
         "Server responded OK. Content decode error 1. Possible mismatch of server and client "
         "versions"},
    };
    for (const Row& row : rows) {
        server.AnswerWith(row.content);
        EXPECT_EQ(Failure(row.expected), std::make_pair(row.code, row.message)) << row.content;
    }
}

TEST_F(AppServerClientTest, ABusyEngineIsAskedAgainAFewTimesWithinTheWaitLimit) {
    const std::string busy =
        "VerbarError\r\nServer busy: too much text in progress, try again later";
    struct Row {
        int busyAnswers;
        std::uint32_t waitMs;
        int code;
        size_t requests;
    };
    const Row rows[] = {
        {0, 5000, 0, 1},
        {1, 5000, 0, 2},
        {3, 5000, 0, 4},
        {4, 5000, CAppServerClient::kServerError, 4},  // no more than three retries
        {2, 100, CAppServerClient::kServerError, 2},   // the pauses would pass the wait limit
    };
    for (const Row& row : rows) {
        FakeEngineServer engine;
        engine.AnswerWith("VerbarOK\r\nfine\r\n");
        engine.AnswerNextWith(std::vector<std::string>(static_cast<size_t>(row.busyAnswers), busy));
        ASSERT_EQ(AppServerInit("127.0.0.1", engine.port()), 0);
        CAppServerClient::Instance().SetWaitTimeMs(row.waitMs);
        const int code = AppServerDoFunc("check_grammar", {"en_US", "text"}, results, 1);
        EXPECT_EQ(code, row.code) << row.busyAnswers;
        EXPECT_EQ(engine.requests().size(), row.requests) << row.busyAnswers;
        if (code == 0) {
            EXPECT_EQ(results, std::vector<std::string>{"fine"});
        }
        // Every attempt sends the same call.
        for (const std::string& request : engine.requests())
            EXPECT_EQ(request, engine.requests().front());
    }
}

TEST_F(AppServerClientTest, AnswerWithoutContentLengthIsReadToTheClose) {
    server.SetScript({{"HTTP/1.0 200 OK\r\n\r\nVerbarOK\r\n", "first\r\n"}, 50ms});
    ASSERT_EQ(Call(), 0);
    EXPECT_EQ(results, std::vector<std::string>{"first"});
}

TEST_F(AppServerClientTest, HeaderTerminatorSplitAcrossReadsIsFound) {
    server.SetScript(
        {{"HTTP/1.0 200 OK\r\nContent-length: 12\r\n\r", "\nVerbarOK\r\nx\r\n"}, 80ms});
    ASSERT_EQ(Call(), 0);
    EXPECT_EQ(results, std::vector<std::string>{"x"});
}

TEST_F(AppServerClientTest, ServerClosingEarlyIsNoHeaderOrPartialContent) {
    server.SetScript({{"HTTP/1.0 200 OK\r\nContent-length: 5"}});
    EXPECT_EQ(Failure().first, CAppServerClient::kNoHttpHeader);
    server.SetScript({{"HTTP/1.0 200 OK\r\nContent-length: 100\r\n\r\nVerbarOK\r\n"}});
    EXPECT_EQ(Failure(), std::make_pair(CAppServerClient::kPartialContent,
                                        std::string("Only part of the content has been read")));
}

TEST_F(AppServerClientTest, BoundedWaitExpires) {
    CAppServerClient::Instance().SetWaitTimeMs(100);
    server.SetScript({{"HTTP/1.0 200 OK\r\n", "Content-length: 0\r\n\r\n"}, 1000ms});
    EXPECT_EQ(Failure(), std::make_pair(CAppServerClient::kSocketError,
                                        std::string("CLI: Recv: Socket recv wait expired")));
}

TEST_F(AppServerClientTest, AnswerOverTheLimitIsRefused) {
    std::string huge = "HTTP/1.0 200 OK\r\nContent-length: 80000000\r\n\r\nVerbarOK\r\n";
    huge.append(CAppServerClient::kMaxAnswerBytes + 1024, 'a');
    server.SetScript({{huge}});
    EXPECT_EQ(Failure().first, CAppServerClient::kAnswerTooLarge);
}

TEST(AppServerClientConnectionTest, RefusedConnectionAndUnresolvableHostAndUninitialisedClient) {
    std::vector<std::string> results;
    ASSERT_EQ(AppServerInit("127.0.0.1", testsupport::UnusedLoopbackPort()), 0);
    EXPECT_EQ(AppServerDoFunc("check_is_correct4", {}, results, 1), CAppServerClient::kSocketError);

    EXPECT_EQ(AppServerInit("no-such-host.invalid", 2880), CAppServerClient::kCannotResolve);
    EXPECT_FALSE(CAppServerClient::Instance().initialised());
    EXPECT_EQ(AppServerDoFunc("check_is_correct4", {}, results, 1),
              CAppServerClient::kNotInitialized);
    AppServerUninit();
}

TEST(AppServerClientConnectionTest, ConnectUsesTheChosenServerAndWait) {
    FakeEngineServer redirected;
    redirected.AnswerWith("VerbarOK\r\nredirected\r\n");
    StringMap map{{"appserver_wait_ms", "5000"}};

    ASSERT_EQ(AppServerConnect(map, "localhost", redirected.port()), 0);
    EXPECT_EQ(CAppServerClient::Instance().waitTimeMs(), 5000u);
    std::vector<std::string> results;
    ASSERT_EQ(AppServerDoFunc("get_suggestions4", {}, results, 1), 0);
    EXPECT_EQ(results[0], "redirected");
    AppServerUninit();
    CAppServerClient::Instance().SetWaitTimeMs(CAppServerClient::kWaitForever);
}

TEST(AppServerClientConnectionTest, TheWaitIsBoundedUnlessTheConfigurationLiftsIt) {
    const struct {
        const char* value;  // nullptr: no "appserver_wait_ms"
        std::uint32_t waitMs;
    } rows[] = {
        {nullptr, CAppServerClient::kDefaultWaitMs},
        {"", CAppServerClient::kDefaultWaitMs},
        {"abc", CAppServerClient::kDefaultWaitMs},
        {"-5", CAppServerClient::kDefaultWaitMs},
        {"1500", 1500},
        {"0", CAppServerClient::kWaitForever},
    };
    for (const auto& row : rows) {
        StringMap map;
        if (row.value) map["appserver_wait_ms"] = row.value;
        ASSERT_EQ(AppServerConnect(map, "127.0.0.1", 2880), 0);
        EXPECT_EQ(CAppServerClient::Instance().waitTimeMs(), row.waitMs)
            << (row.value ? row.value : "(absent)");
        AppServerUninit();
    }
    CAppServerClient::Instance().SetWaitTimeMs(CAppServerClient::kWaitForever);
}

TEST(AppServerClientUnitTest, ExtractContentAndErrorClasses) {
    EXPECT_EQ(CAppServerClient::ExtractContent("H\r\n\r\nabcdef", 5, 3), "abc");
    EXPECT_EQ(CAppServerClient::ExtractContent("H\r\n\r\nabcdef", 5, 0), "abcdef");
    EXPECT_THROW(CAppServerClient::ExtractContent("abc", 0, 0), CAppServerClient::Error);

    EXPECT_EQ(ClassifyRecvError(EAGAIN), RecvErrorClass::WouldBlock);
    EXPECT_EQ(ClassifyRecvError(ECONNRESET), RecvErrorClass::Disconnection);
    EXPECT_EQ(ClassifyRecvError(ENOTSOCK), RecvErrorClass::Strange);
    EXPECT_EQ(ClassifyRecvError(EINTR), RecvErrorClass::Interrupted);
    EXPECT_EQ(ClassifyRecvError(EIO), RecvErrorClass::Other);
}

TEST(EngineServerListTest, ParsesHostsWithTheirOwnOrTheDefaultPort) {
    using Entry = EngineServerList::Entry;
    const struct {
        const char* list;
        std::vector<Entry> entries;
    } rows[] = {
        {"", {}},
        {" , ,", {}},
        {"localhost", {{"localhost", 2880}}},
        {"a:1", {{"a", 1}}},
        {"a, b:7 ,c", {{"a", 2880}, {"b", 7}, {"c", 2880}}},
        {"a:x,b:0,c:70000", {{"a", 0}, {"b", 0}, {"c", 0}}},
        {"a:1:2", {{"a:1", 2}}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(EngineServerList::Parse(row.list, 2880), row.entries) << row.list;
    std::string many;
    for (int i = 0; i < 100; ++i) many += "h,";
    EXPECT_EQ(EngineServerList::Parse(many, 1).size(), EngineServerList::kMaxEntries);
}

TEST(FailedServerMemoryTest, HeldOffServersAreTriedLastUntilTheHoldOffEnds) {
    FailedServerMemory memory;
    const auto t0 = FailedServerMemory::Clock::now();
    const std::vector<std::string> servers{"a", "b", "c"};
    EXPECT_EQ(memory.TryOrder(servers, t0), (std::vector<std::size_t>{0, 1, 2}));
    memory.MarkFailed("a", t0);
    memory.MarkFailed("b", t0);
    EXPECT_EQ(memory.TryOrder(servers, t0 + 1s), (std::vector<std::size_t>{2, 0, 1}));
    memory.MarkWorking("b");
    EXPECT_EQ(memory.TryOrder(servers, t0 + 1s), (std::vector<std::size_t>{1, 2, 0}));
    EXPECT_EQ(memory.TryOrder(servers, t0 + FailedServerMemory::kDefaultHoldOff),
              (std::vector<std::size_t>{0, 1, 2}));
}

TEST(AppServerClientConnectionTest, AServerThatRefusesIsSkippedAndTriedLastAfterwards) {
    FakeEngineServer second;
    second.AnswerWith("VerbarOK\r\nsecond\r\n");
    FailedServerMemory::Process().Clear();
    const std::string down = "127.0.0.1:" + std::to_string(testsupport::UnusedLoopbackPort());
    auto& client = CAppServerClient::Instance();
    const std::uint64_t before = client.failovers();
    std::vector<std::string> results;
    for (int call = 0; call < 2; ++call) {
        ASSERT_EQ(AppServerConnect({}, down + ", 127.0.0.1", second.port()), 0);
        EXPECT_EQ(client.servers().size(), 2u);
        ASSERT_EQ(AppServerDoFunc("get_suggestions4", {}, results, 1), 0) << call;
        EXPECT_EQ(results, std::vector<std::string>{"second"});
        AppServerUninit();
    }
    // The second call went to the working server first.
    EXPECT_EQ(client.failovers(), before + 1);

    ASSERT_EQ(AppServerConnect({}, down + ",no-such-host.invalid," + down, 1), 0);
    EXPECT_EQ(client.servers().size(), 2u);
    EXPECT_EQ(AppServerDoFunc("get_suggestions4", {}, results, 1), CAppServerClient::kSocketError);
    AppServerUninit();
    FailedServerMemory::Process().Clear();
}
