// Requests that a careless or hostile client may send: each gets a "VerbarError" answer or a
// closed connection, and the server keeps serving.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "EngineFixture.h"
#include "wire/WireAnswer.h"
#include "wire/WireRequest.h"

using apptest::CallResult;
using apptest::ContentOf;
using apptest::Raw;

namespace {

constexpr const char* kReadTimeoutMs = "400";

class HostileInputTest : public apptest::EngineFixture {
  protected:
    HostileInputTest() : EngineFixture({"--read-timeout-ms", kReadTimeoutMs, "--workers", "3"}) {}

    static std::string Framed(const std::string& body) { return wire::BuildRequestMessage(body); }
    void ExpectStillServing() { EXPECT_EQ(Misspelt("still here"), ""); }
};

struct HostileRow {
    const char* name;
    std::string request;
    // Expected content of the answer; empty: the connection may simply be closed.
    std::string content;
};

TEST_F(HostileInputTest, MalformedRequestsGetAnErrorAnswer) {
    const std::string header = "GET /x.100 HTTP/1.0\r\n";
    const HostileRow rows[] = {
        {"unknown function", Framed("no_such_function\r\n"),
         "VerbarError\r\nUnknown function no_such_function"},
        {"function name with control bytes", Framed("bad\\x01name\r\n"),
         "VerbarError\r\nUnknown function bad?name"},
        {"too few parameters",
         Framed(wire::BuildRequestBody("check_spelling4", {"en_US", "", "0"})),
         "VerbarError\r\nFunction check_spelling4 takes 7 parameters, not 3"},
        {"too many parameters", Framed(wire::BuildRequestBody("get_syn_list", {"a", "b"})),
         "VerbarError\r\nFunction get_syn_list takes 1 parameters, not 2"},
        {"undecodable line", Framed("get_syn_list\r\nbad\\qescape\r\n"),
         "VerbarError\r\nMalformed escape in request line 2"},
        {"truncated hex escape", Framed("get_syn_list\r\nab\\x4\r\n"),
         "VerbarError\r\nMalformed escape in request line 2"},
        {"empty body", Framed(""), "VerbarError\r\nEmpty request"},
        {"no function name", Framed("\r\nx\r\n"), "VerbarError\r\nMissing function name"},
        {"no content length", header + "\r\nget_syn_list\r\ngood\r\n",
         "VerbarError\r\nRequest without a valid Content-length"},
        {"negative content length", header + "Content-length: -4\r\n\r\nabcd",
         "VerbarError\r\nRequest without a valid Content-length"},
        {"content length above 8 MiB", header + "Content-length: 8388609\r\n\r\nabc",
         "VerbarError\r\nRequest too large"},
        {"header without end", header + std::string(20000, 'h'),
         "VerbarError\r\nRequest header too large"},
        {"binary garbage", std::string("\x00\xFF\r\n\r\n", 6),
         "VerbarError\r\nRequest without a valid Content-length"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ContentOf(Raw(port(), row.request)), row.content) << row.name;
    }
    ExpectStillServing();
}

TEST_F(HostileInputTest, BodyOverEightMebibytesIsRefused) {
    std::string body = "get_syn_list\r\n" + std::string(8u << 20, 'a') + "\r\n";
    const std::string answer = Raw(port(), Framed(body));
    // Either the error answer arrives or the connection is dropped; never a success.
    const std::string content = ContentOf(answer);
    if (!content.empty()) {
        EXPECT_EQ(content, "VerbarError\r\nRequest too large");
    }
    ExpectStillServing();
}

TEST_F(HostileInputTest, BodyOfExactlyEightMebibytesIsServed) {
    const std::string prefix = "get_syn_list\r\n";
    const std::string body = prefix + std::string((8u << 20) - prefix.size() - 2, 'a') + "\r\n";
    ASSERT_EQ(body.size(), 8u << 20);
    EXPECT_EQ(ContentOf(Raw(port(), Framed(body))), "VerbarOK\r\n\r\n");
}

TEST_F(HostileInputTest, SilentAndSlowClientsTimeOut) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ContentOf(Raw(port(), "")), "VerbarError\r\nRequest read timed out");
    const std::string partial = Framed(wire::BuildRequestBody("get_syn_list", {"good"}));
    EXPECT_EQ(ContentOf(Raw(port(), partial.substr(0, partial.size() - 3))),
              "VerbarError\r\nRequest read timed out");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    ExpectStillServing();
}

TEST_F(HostileInputTest, SilentClientHoldsOneWorkerOnly) {
    // Three workers: two held by silent clients, the third serves at once.
    std::vector<std::thread> silent;
    for (int i = 0; i < 2; ++i) silent.emplace_back([this] { Raw(port(), "", 3000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto start = std::chrono::steady_clock::now();
    ExpectStillServing();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    for (auto& t : silent) t.join();
}

TEST_F(HostileInputTest, MoreSilentClientsThanWorkersOnlyDelayOthers) {
    std::vector<std::thread> silent;
    for (int i = 0; i < 6; ++i) silent.emplace_back([this] { Raw(port(), "", 3000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ExpectStillServing();
    for (auto& t : silent) t.join();
}

TEST_F(HostileInputTest, ClientThatLeavesEarlyIsDropped) {
    for (int i = 0; i < 20; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        const std::string half = "GET /x.100 HTTP/1.0\r\nContent-length: 100\r\n\r\nget_";
        ::send(fd, half.data(), half.size(), MSG_NOSIGNAL);
        ::close(fd);
    }
    ExpectStillServing();
}

TEST_F(HostileInputTest, BytesAfterTheAnnouncedBodyAreIgnored) {
    const std::string body = wire::BuildRequestBody("get_syn_list", {"xqzvbnmkw"});
    EXPECT_EQ(ContentOf(Raw(port(), Framed(body) + "trailing junk")), "VerbarOK\r\n\r\n");
}

}  // namespace
