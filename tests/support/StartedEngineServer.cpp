#include "support/StartedEngineServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace testsupport {
namespace {

constexpr int kStartTimeoutMs = 30000;
constexpr char kReadyLine[] = "ready on 127.0.0.1:";

}  // namespace

StartedEngineServer StartedEngineServer::Start(const std::string& binary, const std::string& dbPath,
                                               const std::vector<std::string>& extraArgs) {
    StartedEngineServer server;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        server.log = "pipe failed";
        return server;
    }
    // One folder of suggestion indexes, in the build tree above the program, for every engine
    // that tests and benchmarks start: each index is built once.
    const std::filesystem::path buildTree =
        std::filesystem::absolute(binary).parent_path().parent_path();
    std::vector<std::string> args = {binary,
                                     "--listen",
                                     "127.0.0.1:0",
                                     "--db",
                                     dbPath,
                                     "--index-dir",
                                     (buildTree / "suggestion-index").string()};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    server.pid = ::fork();
    if (server.pid == 0) {
        ::dup2(ends[1], STDERR_FILENO);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    server.stderrFd = ends[0];
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{server.stderrFd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(server.stderrFd, buffer, sizeof buffer);
        if (got <= 0) break;
        server.log.append(buffer, static_cast<size_t>(got));
        const size_t at = server.log.find(kReadyLine);
        if (at != std::string::npos) {
            server.port = std::atoi(server.log.c_str() + at + sizeof kReadyLine - 1);
            return server;
        }
    }
    return server;
}

}  // namespace testsupport
