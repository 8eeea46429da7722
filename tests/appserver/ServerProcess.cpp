#include "ServerProcess.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/StartedEngineServer.h"

namespace apptest {
namespace {

constexpr int kStopTimeoutMs = 15000;

}  // namespace

ServerProcess::ServerProcess(const std::string& dbPath, std::vector<std::string> extraArgs) {
    testsupport::StartedEngineServer started =
        testsupport::StartedEngineServer::Start(APPSERVER_BIN, dbPath, extraArgs);
    pid_ = started.pid;
    stderrFd_ = started.stderrFd;
    port_ = started.port;
    log_ = std::move(started.log);
    if (port_ == 0) ADD_FAILURE() << "the server did not become ready; its log:\n" << log_;
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
