#include "support/LiveService.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <utility>

#include "support/FakeEngineServer.h"
#include "support/HttpClient.h"

namespace testsupport {
namespace {

constexpr int kStartTimeoutMs = 30000;

bool WaitFor(const std::function<bool()>& ready) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& stderrFile) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        const int err = open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) {
            dup2(err, 2);
            dup2(err, 1);
        }
        execv(args[0], args.data());
        _exit(127);
    }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        Stop();
        pid_ = std::exchange(other.pid_, -1);
    }
    return *this;
}

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::running() const { return pid_ > 0 && kill(pid_, 0) == 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

void ChildProcess::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 100 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (waitpid(pid_, nullptr, WNOHANG) == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

LiveService::LiveService() : tree_(dir_.str() + "tree"), state_(dir_.str() + "state") {
    webPort_ = UnusedLoopbackPort();
    enginePort_ = UnusedLoopbackPort();
    if (install() && startEngine()) startWebServer();
}

bool LiveService::install() {
    const std::string source = VERBARIUM_SOURCE_DIR;
    const std::string command = "cmake --install " + Quote(VERBARIUM_BINARY_DIR) + " --prefix " + Quote(tree_) +
                                " >/dev/null && " + Quote(source + "/scripts/prepare-tree.sh") + " " + Quote(tree_) +
                                " " + Quote(state_) + " 127.0.0.1 " + std::to_string(webPort_) + " " +
                                std::to_string(enginePort_);
    if (std::system(command.c_str()) != 0) problem = "cannot install the runtime tree: " + command;
    return problem.empty();
}

bool LiveService::startEngine() {
    const std::string log = state_ + "/appserver.log";
    engine_ = ChildProcess({tree_ + "/bin/appserver", "--listen", "127.0.0.1:" + std::to_string(enginePort_), "--db",
                            state_ + "/dictionaries.db"},
                           log);
    if (!WaitFor([&] { return ReadFile(log).find("ready on") != std::string::npos || !engine_.running(); }) ||
        !engine_.running())
        problem = "the engine server did not start: " + ReadFile(log);
    return problem.empty();
}

bool LiveService::startWebServer() {
    const char* candidates[] = {"/usr/sbin/lighttpd", "/usr/bin/lighttpd"};
    std::string lighttpd;
    for (const char* c : candidates)
        if (std::filesystem::exists(c)) lighttpd = c;
    if (lighttpd.empty()) {
        problem = "lighttpd is not installed (scripts/install-deps.sh installs it)";
        return false;
    }
    web_ = ChildProcess({lighttpd, "-D", "-f", state_ + "/lighttpd.conf"}, state_ + "/lighttpd.out");
    if (!WaitFor([&] { return HttpRequest(webPort_, "GET", "/").status != 0 || !web_.running(); }) || !web_.running())
        problem = "lighttpd did not start: " + ReadFile(state_ + "/lighttpd.error.log");
    return problem.empty();
}

}  // namespace testsupport
