#include "BenchServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "support/StartedEngineServer.h"
#include "wire/WireAnswer.h"
#include "wire/WireHeader.h"
#include "wire/WireRequest.h"

int BenchServer::RunOnScratchDatabase(const std::string& bench,
                                      const std::vector<std::string>& args,
                                      const std::string& binary,
                                      const std::function<void(const BenchServer&)>& work) {
    const std::string db =
        (std::filesystem::temp_directory_path() / (bench + "." + std::to_string(getpid()) + ".db"))
            .string();
    int status = 0;
    try {
        const BenchServer server(db, args, binary);
        std::printf("engine %s\n", binary.c_str());
        work(server);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", bench.c_str(), e.what());
        status = 1;
    }
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(db + suffix);
    return status;
}

BenchServer::BenchServer(const std::string& dbPath, const std::vector<std::string>& args,
                         const std::string& binary) {
    testsupport::StartedEngineServer started =
        testsupport::StartedEngineServer::Start(binary, dbPath, args);
    pid_ = started.pid;
    stderrFd_ = started.stderrFd;
    port_ = started.port;
    if (port_ == 0) {
        Stop();  // no destructor runs for a constructor that throws
        throw std::runtime_error("the engine server did not start:\n" + started.log);
    }
}

BenchServer::~BenchServer() { Stop(); }

void BenchServer::Stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (stderrFd_ >= 0) ::close(stderrFd_);
    pid_ = -1;
    stderrFd_ = -1;
}

std::string BenchServer::Call(const std::string& function,
                              const std::vector<std::string>& params) const {
    return Results(function, params, 1)[0];
}

std::vector<std::string> BenchServer::Results(const std::string& function,
                                              const std::vector<std::string>& params,
                                              int count) const {
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
        wire::DecodeResults(classified.rest, count, results) != 0)
        throw std::runtime_error(function + " failed: " + std::string(classified.rest));
    return results;
}

long BenchServer::StatusKiB(const char* key) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string word;
    long value = 0;
    while (status >> word)
        if (word == key && status >> value) return value;
    return -1;
}

void BenchServer::ResetPeak() const {
    std::ofstream("/proc/" + std::to_string(pid_) + "/clear_refs") << "5";
}
