#include "ServerProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace apptest {
namespace {

constexpr int kStartTimeoutMs = 30000;
constexpr int kStopTimeoutMs = 15000;

}  // namespace

ServerProcess::ServerProcess(const std::string& dbPath, std::vector<std::string> extraArgs) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe failed";
        return;
    }
    std::vector<std::string> args = {APPSERVER_BIN, "--listen", "127.0.0.1:0", "--db", dbPath};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(pipeEnds[1], STDERR_FILENO);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    stderrFd_ = pipeEnds[0];
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{stderrFd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(stderrFd_, buffer, sizeof buffer);
        if (got <= 0) break;
        log_.append(buffer, static_cast<size_t>(got));
        const size_t at = log_.find("ready on 127.0.0.1:");
        if (at != std::string::npos) {
            port_ = std::atoi(log_.c_str() + at + 19);
            return;
        }
    }
    ADD_FAILURE() << "the server did not become ready; its log:\n" << log_;
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0 && Terminate() == -1) Kill();
    if (stderrFd_ >= 0) ::close(stderrFd_);
}

int ServerProcess::Wait(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        // Keep reading the log so that the server never blocks on a full pipe.
        char buffer[4096];
        pollfd p{stderrFd_, POLLIN, 0};
        while (::poll(&p, 1, 0) > 0) {
            const ssize_t got = ::read(stderrFd_, buffer, sizeof buffer);
            if (got <= 0) break;
            log_.append(buffer, static_cast<size_t>(got));
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return status;
        }
        if (std::chrono::steady_clock::now() >= end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int ServerProcess::Terminate() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    return Wait(kStopTimeoutMs);
}

void ServerProcess::Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    Wait(kStopTimeoutMs);
}

}  // namespace apptest
