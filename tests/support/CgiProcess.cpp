#include "support/CgiProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

namespace testsupport {
namespace {

struct Fd {
    int fd = -1;
    ~Fd() { reset(); }
    void reset() {
        if (fd >= 0) close(fd);
        fd = -1;
    }
};

}  // namespace

CgiResult RunCgi(const std::string& program, const std::map<std::string, std::string>& env,
                 const std::string& body, int timeoutMs, const std::string& workingDir) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return {};
    Fd inRead{in[0]}, inWrite{in[1]}, outRead{out[0]}, outWrite{out[1]};

    std::vector<std::string> envStrings;
    for (const auto& [k, v] : env) envStrings.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (auto& s : envStrings) envp.push_back(s.data());
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0) return {};
    if (pid == 0) {
        dup2(inRead.fd, 0);
        dup2(outWrite.fd, 1);
        for (int fd = 3; fd < 256; ++fd) close(fd);
        if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(126);
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        execve(program.c_str(), argv, envp.data());
        _exit(127);
    }
    inRead.reset();
    outWrite.reset();

    signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    if (body.empty()) inWrite.reset();
    fcntl(inWrite.fd, F_SETFL, O_NONBLOCK);

    CgiResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[65536];
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd fds[2] = {{outRead.fd, POLLIN, 0}, {inWrite.fd, POLLOUT, 0}};
        const int nfds = inWrite.fd >= 0 ? 2 : 1;
        if (poll(fds, nfds, 100) < 0) break;
        if (nfds == 2 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = write(inWrite.fd, body.data() + written, body.size() - written);
            if (n > 0) written += static_cast<size_t>(n);
            if (n < 0 || written == body.size()) inWrite.reset();
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t n = read(outRead.fd, buf, sizeof buf);
            if (n <= 0) break;
            result.output.append(buf, static_cast<size_t>(n));
        }
    }
    int status = 0;
    if (std::chrono::steady_clock::now() >= deadline) kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

InstalledTree::InstalledTree(const std::string& root) : root_(root) {
    std::filesystem::create_directories(cgiBin());
    std::filesystem::create_directories(logs());
}

std::string InstalledTree::AddProgram(const std::string& builtBinary,
                                      const std::string& name) const {
    const std::string target = cgiBin() + name;
    std::filesystem::copy_file(builtBinary, target,
                               std::filesystem::copy_options::overwrite_existing);
    return target;
}

}  // namespace testsupport
