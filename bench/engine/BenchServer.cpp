#include "BenchServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

#include "utils/wire/WireAnswer.h"
#include "utils/wire/WireHeader.h"
#include "utils/wire/WireRequest.h"

namespace {
constexpr int kStartTimeoutMs = 30000;
}

BenchServer::BenchServer(const std::string& dbPath, const std::vector<std::string>& args) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> argv = {APPSERVER_BIN, "--listen", "127.0.0.1:0", "--db", dbPath};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(ends[1], STDERR_FILENO);
        std::vector<char*> raw;
        for (auto& a : argv) raw.push_back(a.data());
        raw.push_back(nullptr);
        ::execv(raw[0], raw.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    stderrFd_ = ends[0];
    std::string log;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{stderrFd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(stderrFd_, buffer, sizeof buffer);
        if (got <= 0) break;
        log.append(buffer, static_cast<size_t>(got));
        const size_t at = log.find("ready on 127.0.0.1:");
        if (at != std::string::npos) {
            port_ = std::atoi(log.c_str() + at + 19);
            return;
        }
    }
    throw std::runtime_error("the engine server did not start:\n" + log);
}

BenchServer::~BenchServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (stderrFd_ >= 0) ::close(stderrFd_);
}

std::string BenchServer::Call(const std::string& function,
                              const std::vector<std::string>& params) const {
    const std::string request = wire::BuildRequestMessage(wire::BuildRequestBody(function, params));
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
                  static_cast<ssize_t>(request.size());
    // Read as the client does: until the header and Content-length bytes are in.
    size_t headerEnd = std::string::npos;
    int length = 0;
    char buffer[65536];
    while (ok) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        const size_t before = answer.size();
        answer.append(buffer, static_cast<size_t>(got));
        if (headerEnd == std::string::npos) {
            headerEnd = wire::FindHeaderEnd(answer, before >= 3 ? before - 3 : 0);
            if (headerEnd != std::string::npos)
                length = wire::ContentLengthOf(std::string_view(answer).substr(0, headerEnd));
        }
        if (headerEnd != std::string::npos && answer.size() >= headerEnd + length) break;
    }
    ::close(fd);
    if (headerEnd == std::string::npos) throw std::runtime_error("no answer to " + function);
    const auto classified = wire::ClassifyAnswer(std::string_view(answer).substr(headerEnd));
    std::vector<std::string> results;
    if (classified.kind != wire::AnswerKind::kOk ||
        wire::DecodeResults(classified.rest, 1, results) != 0)
        throw std::runtime_error(function + " failed: " + std::string(classified.rest));
    return results[0];
}
