// A stopped service leaves no process behind: not its web server's CGI or FastCGI programs, not
// the workers of orthd.cgi's own FastCGI pools or their metrics process, not an engine server;
// and when the test process itself ends without stopping anything, what it started ends too.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/FakeEngineServer.h"
#include "support/FastCgiClient.h"
#include "support/HttpClient.h"
#include "support/LiveService.h"
#include "support/ProcessTable.h"

using testsupport::ChildProcess;
using testsupport::LiveService;
using testsupport::ProcessTable;

namespace {

// Processes that got SIGTERM may take a moment to end; far less than this.
constexpr auto kEndWait = std::chrono::seconds(5);
constexpr auto kStartWait = std::chrono::seconds(20);

// Those of `earlier` still alive once kEndWait has passed (or none are left).
std::vector<ProcessTable::Entry> LeftAfterWait(const std::vector<ProcessTable::Entry>& earlier) {
    const auto end = std::chrono::steady_clock::now() + kEndWait;
    for (;;) {
        auto left = ProcessTable().StillAlive(earlier);
        if (left.empty() || std::chrono::steady_clock::now() > end) return left;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

// A listening loopback socket, as a process manager hands it to its FastCGI programs.
int Listener(unsigned short& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 16) != 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    port = ntohs(address.sin_port);
    return fd;
}

std::string Listed(const std::vector<ProcessTable::Entry>& entries) {
    std::string out;
    for (const auto& e : entries) out += std::to_string(e.pid) + " ";
    return out;
}

struct StopCase {
    const char* name;
    LiveService::WebServer server;
    LiveService::Layout layout;
    LiveService::ExtraArguments extra;
    // Processes at least, besides the engine servers and the web server itself.
    size_t leastOthers;
};

const std::vector<std::string> kMetrics = {"--metrics-listen", "127.0.0.1:0"};

TEST(ServiceStopTest, NothingOfAStoppedServiceRemains) {
    const std::vector<StopCase> cases = {
        {"CGI under lighttpd", LiveService::WebServer::Lighttpd, {}, {}, 0},
        {"FastCGI started by lighttpd", LiveService::WebServer::LighttpdFastCgi, {}, {}, 1},
        {"two pools of three workers behind nginx",
         LiveService::WebServer::NginxFastCgi,
         {2, 2, ""},
         {{}, {"--workers", "3"}},
         8},
        {"a pool with its metrics process",
         LiveService::WebServer::NginxFastCgi,
         {},
         {kMetrics, kMetrics},
         4},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ProcessTable::Entry> started;
        {
            LiveService service(c.server, c.layout, c.extra);
            if (service.webServerMissing) {
                std::cout << "skipped: " << service.problem << "\n";
                continue;
            }
            ASSERT_EQ(service.problem, "");
            EXPECT_EQ(testsupport::HttpRequest(service.webPort(), "POST", "/cgi-bin/orthd.cgi",
                                               "cmd=spell&slang=en_US&text=wrod")
                          .status,
                      200);
            started = ProcessTable().DescendantsOf(getpid());
            EXPECT_GE(started.size(), static_cast<size_t>(c.layout.engines) + 1 + c.leastOthers)
                << Listed(started);
        }
        const auto left = LeftAfterWait(started);
        EXPECT_TRUE(left.empty()) << "left running: " << Listed(left);
    }
}

// The test process ends (a crash, the SIGKILL of a time-out) while a pool of orthd.cgi runs.
TEST(ServiceStopTest, APoolEndsWithTheTestProcessThatStartedIt) {
    const unsigned short port = testsupport::UnusedLoopbackPort();
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t tester = fork();
    if (tester == 0) {
        // Started as a test would start it, then left running: no destructor runs.
        auto* pool = new ChildProcess(
            {ORTHD_CGI, "--fastcgi", "127.0.0.1:" + std::to_string(port), "--workers", "3"},
            "/dev/null");
        (void)pool;
        // Its workers running (the supervisor and three), or 0 for the test to fail. The
        // supervisor may not be in the table yet on a loaded machine, and no process group is
        // 0 here (that is the kernel's threads).
        const auto Leader = [] {
            const auto members = ProcessTable().DescendantsOf(getpid());
            return members.empty() ? pid_t{0} : members.front().pid;
        };
        const auto Running = [](pid_t leader) {
            return leader > 0 && ProcessTable().InGroup(leader).size() >= 4;
        };
        const auto end = std::chrono::steady_clock::now() + kStartWait;
        pid_t leader = Leader();
        while (!Running(leader) && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            leader = Leader();
        }
        if (!Running(leader)) leader = 0;
        (void)!write(channel[1], &leader, sizeof leader);
        _exit(0);
    }
    close(channel[1]);
    pid_t leader = 0;
    ASSERT_EQ(read(channel[0], &leader, sizeof leader), static_cast<ssize_t>(sizeof leader));
    close(channel[0]);
    ASSERT_GT(leader, 0);
    waitpid(tester, nullptr, 0);
    const auto end = std::chrono::steady_clock::now() + kEndWait;
    while (!ProcessTable().InGroup(leader).empty() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto left = ProcessTable().InGroup(leader);
    for (const auto& e : left) kill(e.pid, SIGKILL);
    EXPECT_TRUE(left.empty()) << "left running: " << Listed(left);
}

// lighttpd starts orthd.cgi with a listening socket as its standard input, and ends it with
// SIGTERM when it stops.
TEST(ServiceStopTest, AProgramStartedByAProcessManagerEndsOnSigterm) {
    unsigned short port = 0;
    const int listener = Listener(port);
    ASSERT_GE(listener, 0);
    const pid_t program = fork();
    if (program == 0) {
        dup2(listener, 0);
        execl(ORTHD_CGI, ORTHD_CGI, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(listener);
    // Serving: a request comes back whole (whatever it says without a configuration).
    const auto started = std::chrono::steady_clock::now() + kStartWait;
    bool serving = false;
    while (!serving && std::chrono::steady_clock::now() < started)
        serving = testsupport::FastCgiRequest(port, {{"REQUEST_METHOD", "GET"}}).completed;
    EXPECT_TRUE(serving);
    kill(program, SIGTERM);
    const auto end = std::chrono::steady_clock::now() + kEndWait;
    bool ended = false;
    while (!ended && std::chrono::steady_clock::now() < end) {
        ended = waitpid(program, nullptr, WNOHANG) == program;
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!ended) {
        kill(program, SIGKILL);
        waitpid(program, nullptr, 0);
    }
    EXPECT_TRUE(ended) << "SIGTERM did not end it";
}

}  // namespace
