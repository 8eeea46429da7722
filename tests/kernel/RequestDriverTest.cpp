#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "ferrix/FerrixProgram.h"
#include "kernel/FastCgiServer.h"
#include "kernel/ModulePath.h"
#include "kernel/RequestChannel.h"
#include "kernel/RequestDriver.h"
#include "orthd/OrthdProgram.h"
#include "support/FakeEngineServer.h"
#include "support/FastCgiClient.h"
#include "utils/InternalDataKeys.h"

TEST(ModulePathTest, ExtendedPrefixGivesSameDirectoryAsPlainPath) {
    EXPECT_EQ(ModuleDirectoryOf("/srv/www/cgi-bin/orthd.cgi"), "/srv/www/cgi-bin/");
    EXPECT_EQ(ModuleDirectoryOf("\\\\?\\C:\\www\\cgi-bin\\orthd.exe"),
              ModuleDirectoryOf("C:\\www\\cgi-bin\\orthd.exe"));
    EXPECT_EQ(ModuleDirectoryOf("orthd.cgi"), "./");
}

TEST(ModulePathTest, DebugLogIsHourlyUnderSrvLogsAboveTheExecutable) {
    const std::string path = DebugLogPath("/a/cgi-bin/");
    ASSERT_EQ(path.rfind("/a/cgi-bin/../srv/logs/", 0), 0u);
    EXPECT_EQ(path.size(), std::string("/a/cgi-bin/../srv/logs/2011.05.01.13.debug.log").size());
}

TEST(RequestDriverTest, SeedsProgramConstants) {
    StringMap map;
    InternalData data;
    SeedRequest(orthd::Info(), "/x/", "", map, data);
    EXPECT_EQ(map[":app_path:"], "/x/");
    EXPECT_EQ(map[":ini_name:"], "orthd.ini");
    EXPECT_EQ(map[":app_name:"], "orthd");
    EXPECT_EQ(map[":cmd_line:"], "");
    EXPECT_EQ(map[":app__ver:"], "Standard.3.7.1.3.1678 (revision 1678)");
    EXPECT_EQ(data.Get<std::string>(idkey::ServerName), "Verbarium server");

    StringMap relay;
    InternalData relayData;
    SeedRequest(ferrix::Info(), "/y/", "arg", relay, relayData);
    EXPECT_EQ(relay[":ini_name:"], "ferrix.ini");
    EXPECT_EQ(relay[":app__ver:"], "VERSION (revision 1678)");
    EXPECT_EQ(relay[":cmd_line:"], "arg");
    EXPECT_EQ(relayData.Get<std::string>(idkey::ServerName), "Verbarium proxy");
}

TEST(RequestDriverTest, BothProgramsBuildTheirFullFilterLists) {
    Pipeline orthdPipeline(Program::Orthd, orthd::Info().buildFilters);
    EXPECT_EQ(orthdPipeline.before().size(), 11u);
    EXPECT_EQ(orthdPipeline.after().size(), 4u);
    Pipeline ferrixPipeline(Program::Ferrix, ferrix::Info().buildFilters);
    EXPECT_EQ(ferrixPipeline.before().size(), 4u);
    EXPECT_EQ(ferrixPipeline.after().size(), 2u);
}

TEST(RequestDriverTest, FastCgiOptionsComeOnlyFromTheFirstArguments) {
    const struct {
        std::vector<std::string> args;
        bool fastCgi;
        std::string listen;
        int workers;
        std::string metricsListen = "";
        bool wellFormed = true;
    } rows[] = {
        {{"orthd.cgi"}, false, "", 0},
        {{"orthd.cgi", "cmd=spell"}, false, "", 0},
        {{"orthd.cgi", "--fastcgi", "127.0.0.1:9000"}, true, "127.0.0.1:9000", 6},
        {{"orthd.cgi", "--fastcgi", "unix:/run/o.sock", "--workers", "4"},
         true,
         "unix:/run/o.sock",
         4},
        {{"orthd.cgi", "--fastcgi"}, true, "", 6},
        {{"orthd.cgi", "x", "--fastcgi", ":9000"}, false, "", 0},
        {{"orthd.cgi", "--fastcgi", ":9000", "--metrics-listen", ":9001", "--workers", "3"},
         true,
         ":9000",
         3,
         ":9001"},
        {{"orthd.cgi", "--fastcgi", ":9000", "--metrics-allow", "10.0.0.0/8"}, true, ":9000", 6},
        {{"orthd.cgi", "--fastcgi", ":9000", "--metrics-allow", "everyone"},
         true,
         ":9000",
         6,
         "",
         false},
        {{"orthd.cgi", "--fastcgi", ":9000", "--metrics-listen"}, true, ":9000", 6, "", false},
        {{"orthd.cgi", "--fastcgi", ":9000", "--verbose", "1"}, true, ":9000", 6, "", false},
    };
    for (const auto& row : rows) {
        std::vector<char*> argv;
        for (const auto& a : row.args) argv.push_back(const_cast<char*>(a.c_str()));
        const auto options = ParseFastCgiOptions(static_cast<int>(argv.size()), argv.data());
        ASSERT_EQ(options.has_value(), row.fastCgi) << row.args.size();
        if (!options) continue;
        EXPECT_EQ(options->listen, row.listen);
        EXPECT_EQ(options->workers, row.workers);
        EXPECT_EQ(options->metricsListen, row.metricsListen);
        EXPECT_EQ(options->wellFormed, row.wellFormed) << row.args.back();
    }
}

TEST(FastCgiServerTest, ListenAddressesThatNameNoSocketAreRefused) {
    for (const char* spec : {"unix:", "unix:a:b", "just-a-word", ""})
        EXPECT_EQ(FastCgiServer::OpenListener(spec), -1) << spec;
}

TEST(FastCgiServerTest, ConfigurationComesFromTheProcessNotTheRequest) {
    char query[] = "QUERY_STRING=cmd=spell", limit[] = "VERBARIUM_MAX_BODY_BYTES=67108864",
         lower[] = "verbarium_max_body_bytes=1", own[] = "VERBARIUM_MAX_BODY_BYTES=1000",
         path[] = "PATH=/bin";
    char* request[] = {query, limit, lower, nullptr};
    char* process[] = {path, own, nullptr};
    EXPECT_EQ(FastCgiServer::RequestEnvironment(request, process),
              (std::vector<char*>{query, lower, own, nullptr}));
    char* none[] = {nullptr};
    EXPECT_EQ(FastCgiServer::RequestEnvironment(request, none),
              (std::vector<char*>{query, lower, nullptr}));
}

namespace {

constexpr long kShortClientTimeoutMs = 300;
// Bounds of the test itself: how long a client waits for an answer or for its connection to
// end. Far above what the server needs, far below a hang.
constexpr int kTestWaitMs = 10000;
constexpr int kTrickleEveryMs = 50;

// A FastCGI server of one worker in a child process of its own, killed at the end, so that a
// server that hangs fails the test instead of holding it. Each request answers with the body's
// length and the request's VERBARIUM_MAX_BODY_BYTES (a parameter that must not get through).
class OneWorkerServer {
  public:
    explicit OneWorkerServer(long clientTimeoutMs) : port_(testsupport::UnusedLoopbackPort()) {
        const int listener = FastCgiServer::OpenListener(":" + std::to_string(port_));
        if (listener < 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            FastCgiServer(listener, clientTimeoutMs).Serve([] {
                const size_t body = RequestChannel::Active()->ReadBody(1 << 20).size();
                const char* limit = std::getenv("VERBARIUM_MAX_BODY_BYTES");
                RequestChannel::Active()->Output() << "Content-Type: text/plain\r\n\r\n"
                                                   << body << " " << (limit ? limit : "unset");
            });
            _exit(0);
        }
        close(listener);
    }
    ~OneWorkerServer() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    OneWorkerServer(const OneWorkerServer&) = delete;
    OneWorkerServer& operator=(const OneWorkerServer&) = delete;

    bool running() const { return pid_ > 0; }
    unsigned short port() const { return port_; }

    // A connection that has sent `bytes`.
    int Connect(const std::string& bytes) const {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port_);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) !=
                static_cast<ssize_t>(bytes.size())) {
            close(fd);
            return -1;
        }
        return fd;
    }

  private:
    unsigned short port_;
    pid_t pid_ = -1;
};

std::string Header(char type, size_t contentBytes) {
    return {
        1, type, 0, 1, static_cast<char>(contentBytes >> 8), static_cast<char>(contentBytes & 0xFF),
        0, 0};
}

// Whether the server ended the connection (reading what it sent until the end).
bool Ended(int fd) {
    pollfd p{fd, POLLIN, 0};
    char sink[4096];
    while (poll(&p, 1, kTestWaitMs) > 0) {
        const ssize_t n = recv(fd, sink, sizeof sink, 0);
        if (n <= 0) return true;
    }
    return false;
}

}  // namespace

TEST(FastCgiServerTest, AStalledOrTricklingClientGivesTheWorkerBack) {
    const std::string begin = Header(1, 8) + std::string("\0\1\0\0\0\0\0\0", 8);
    const std::string noParams = Header(4, 0);
    const struct {
        const char* client;
        std::string sent;
        bool trickles;  // then one more byte every kTrickleEveryMs, never a whole request
    } rows[] = {
        {"half a record header", std::string("\1\1\0", 3), false},
        {"a begin record, then nothing", begin, false},
        {"parameters never ended", begin + Header(4, 200) + "\x05\x03PATH", false},
        {"a body shorter than its record", begin + noParams + Header(5, 100) + "0123456789", false},
        {"parameters a byte at a time", begin + Header(4, 60000), true},
        {"a body a byte at a time", begin + noParams + Header(5, 60000), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.client);
        const OneWorkerServer server(kShortClientTimeoutMs);
        ASSERT_TRUE(server.running());
        const int stalled = server.Connect(row.sent);
        ASSERT_GE(stalled, 0);
        std::atomic<bool> stop{false};
        std::thread trickle([&] {
            while (row.trickles && !stop.load() && send(stalled, "x", 1, MSG_NOSIGNAL) == 1)
                std::this_thread::sleep_for(std::chrono::milliseconds(kTrickleEveryMs));
        });
        // The only worker is taken by the stalled client; this request waits for it.
        const auto answer = testsupport::FastCgiRequest(
            server.port(), {{"REQUEST_METHOD", "POST"}, {"VERBARIUM_MAX_BODY_BYTES", "67108864"}},
            "abc", kTestWaitMs);
        EXPECT_TRUE(answer.completed);
        EXPECT_NE(answer.output.find("\r\n\r\n3 unset"), std::string::npos) << answer.output;
        EXPECT_TRUE(Ended(stalled));
        stop = true;
        trickle.join();
        close(stalled);
    }
}

TEST(FastCgiServerTest, OnlyListedWebServersMayConnect) {
    const auto v4 = [](const char* address) {
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        inet_pton(AF_INET, address, &peer.sin_addr);
        return peer;
    };
    const auto v6 = [](const char* address) {
        sockaddr_in6 peer{};
        peer.sin6_family = AF_INET6;
        inet_pton(AF_INET6, address, &peer.sin6_addr);
        return peer;
    };
    const struct {
        const char* allowList;
        const char* peer;
        bool allowed;
    } rows[] = {
        {"", "203.0.113.9", true},  // no list: everyone
        {"127.0.0.1", "127.0.0.1", true},
        {"10.0.0.1, 127.0.0.1", "127.0.0.1", true},
        {"10.0.0.1,127.0.0.1", "127.0.0.2", false},
        {"127.0.0.1", "::ffff:127.0.0.1", true},
        {"127.0.0.1", "::1", false},  // libfcgi let every IPv6 peer through
        {"127.0.0.1", "::ffff:10.0.0.1", false},
        {"not an address", "127.0.0.1", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.allowList) + " / " + row.peer);
        if (std::string_view(row.peer).find(':') == std::string_view::npos) {
            const sockaddr_in peer = v4(row.peer);
            EXPECT_EQ(
                FastCgiServer::PeerAllowed(reinterpret_cast<const sockaddr*>(&peer), row.allowList),
                row.allowed);
        } else {
            const sockaddr_in6 peer = v6(row.peer);
            EXPECT_EQ(
                FastCgiServer::PeerAllowed(reinterpret_cast<const sockaddr*>(&peer), row.allowList),
                row.allowed);
        }
    }
    sockaddr_un local{};
    local.sun_family = AF_UNIX;
    EXPECT_TRUE(FastCgiServer::PeerAllowed(reinterpret_cast<const sockaddr*>(&local), "127.0.0.1"));
}

TEST(RequestDriverTest, AnAbortedProgramLeavesNoCoreFile) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ForbidCoreFiles();
        rlimit core{};
        getrlimit(RLIMIT_CORE, &core);
        _exit(core.rlim_cur == 0 && core.rlim_max == 0 && prctl(PR_GET_DUMPABLE) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
