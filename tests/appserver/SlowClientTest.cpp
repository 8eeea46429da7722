// Clients that send slowly, or too much at once: they hold no worker, are cut off in time,
// and the server's text in progress stays within its budget. Margins are generous: these are
// checks of behaviour, not of speed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "EngineFixture.h"
#include "wire/WireRequest.h"

using apptest::ContentOf;
using apptest::Raw;

namespace {

constexpr char kBusy[] = "VerbarError\r\nServer busy: too much text in progress, try again later";

// A connection the test writes to bit by bit.
class Client {
  public:
    explicit Client(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(fd_); }
    bool connected() const { return connected_; }
    bool Send(const std::string& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(bytes.size());
    }
    // What the server sends until it closes (or the time runs out).
    std::string Answer(int timeoutMs = 10000) {
        std::string answer;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        char buffer[4096];
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            answer.append(buffer, static_cast<size_t>(got));
        }
        return answer;
    }

  private:
    int fd_;
    bool connected_ = false;
};

std::string SynonymRequest(size_t bodyBytes) {
    const std::string prefix = "get_syn_list\r\n";
    return wire::BuildRequestMessage(prefix + std::string(bodyBytes - prefix.size() - 2, 'a') +
                                     "\r\n");
}

class SlowClientTest : public apptest::EngineFixture {
  protected:
    SlowClientTest()
        : EngineFixture({"--workers", "1", "--header-timeout-ms", "700", "--read-timeout-ms",
                         "5000", "--max-inflight-mb", "8"}) {}
};

TEST_F(SlowClientTest, AHeaderSentByteByByteIsCutOffAtTheHeaderTime) {
    const std::string request = SynonymRequest(100);
    Client slow(port());
    ASSERT_TRUE(slow.connected());
    const auto start = std::chrono::steady_clock::now();
    std::string answer;
    // A byte every 100 ms: never silent long enough for the read time-out (5 s).
    for (size_t i = 0; i < request.size() && answer.empty(); ++i) {
        if (!slow.Send(request.substr(i, 1))) break;
        answer = slow.Answer(100);
    }
    EXPECT_EQ(ContentOf(answer), "VerbarError\r\nRequest read timed out");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(SlowClientTest, SlowClientsHoldNoWorker) {
    // One worker; eight clients that send a header slowly. A whole request is still served.
    std::atomic<bool> done{false};
    std::vector<std::thread> slow;
    for (int i = 0; i < 8; ++i)
        slow.emplace_back([this, &done] {
            Client c(port());
            const std::string header = "GET /x.100 HTTP/1.0\r\n";
            for (size_t k = 0; k < header.size() && !done.load(); ++k) {
                c.Send(header.substr(k, 1));
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(Misspelt("still served"), "");
    done = true;
    for (auto& t : slow) t.join();
}

TEST_F(SlowClientTest, ARequestInPiecesGetsTheAnswerOfAWholeOne) {
    // Whole at accept, the worker answers at once; otherwise the reading thread finishes it.
    const std::string request = SynonymRequest(3000);
    const std::string whole = Raw(port(), request);
    ASSERT_EQ(ContentOf(whole), "VerbarOK\r\n\r\n");
    const size_t headerEnd = request.find("\r\n\r\n") + 4;
    for (const size_t cut : {size_t{1}, headerEnd - 2, headerEnd, headerEnd + 1000}) {
        Client c(port());
        ASSERT_TRUE(c.Send(request.substr(0, cut)));
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        ASSERT_TRUE(c.Send(request.substr(cut)));
        EXPECT_EQ(ContentOf(c.Answer()), ContentOf(whole)) << "cut at " << cut;
    }
}

TEST_F(SlowClientTest, RequestsBeyondTheTextBudgetAreRefusedAsBusy) {
    // 8 MiB in all: a request held half-sent leaves no room for a larger one. Once whole, a
    // word list holds 8 times its size (its working memory) while it is answered.
    const std::string first = SynonymRequest(700000);
    const size_t headerEnd = first.find("\r\n\r\n") + 4;
    Client held(port());
    ASSERT_TRUE(held.Send(first.substr(0, headerEnd + 1000)));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(ContentOf(Raw(port(), SynonymRequest(7800000))), kBusy);
    EXPECT_EQ(ContentOf(Raw(port(), SynonymRequest(1200000))), kBusy);  // alone: too much to answer
    ASSERT_TRUE(held.Send(first.substr(headerEnd + 1000)));
    EXPECT_EQ(ContentOf(held.Answer()), "VerbarOK\r\n\r\n");
    // Answered, the budget is free again.
    EXPECT_EQ(ContentOf(Raw(port(), SynonymRequest(700000))), "VerbarOK\r\n\r\n");
}

TEST_F(SlowClientTest, ACallIsWeightedByItsWorkingMemory) {
    // 300 KB of text fits the 8 MiB budget as bytes, but a grammar check of it takes 40 times
    // that while it is answered; a word list of the same size takes 10 times its size.
    const std::string text(300000, 'a');
    const std::string grammar =
        wire::BuildRequestMessage(wire::BuildRequestBody("check_grammar", {"", "", text, "0"}));
    EXPECT_EQ(ContentOf(Raw(port(), grammar)), kBusy);
    EXPECT_EQ(ContentOf(Raw(port(), SynonymRequest(300000))), "VerbarOK\r\n\r\n");
    const std::string small =
        wire::BuildRequestMessage(wire::BuildRequestBody("check_grammar", {"", "", "a", "0"}));
    EXPECT_EQ(ContentOf(Raw(port(), small)).substr(0, 10), "VerbarOK\r\n");
}

}  // namespace
