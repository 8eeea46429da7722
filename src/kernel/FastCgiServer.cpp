#include "kernel/FastCgiServer.h"

#include <fcgiapp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <set>
#include <string_view>
#include <vector>

#include "kernel/FastCgiChannel.h"
#include "utils/HeapSettings.h"
#include "utils/logging/Logger.h"

extern char** environ;

namespace {

constexpr char kUnixPrefix[] = "unix:";
constexpr useconds_t kRetryPauseUs = 200 * 1000;

constexpr char kConfigurationPrefix[] = "VERBARIUM_";

bool IsConfiguration(const char* entry) {
    return std::string_view(entry).starts_with(kConfigurationPrefix);
}

// The request's parameters as the process environment for one request.
class EnvironmentScope {
  public:
    explicit EnvironmentScope(char** request)
        : saved_(environ), env_(FastCgiServer::RequestEnvironment(request, environ)) {
        environ = env_.data();
    }
    ~EnvironmentScope() { environ = saved_; }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

  private:
    char** saved_;
    std::vector<char*> env_;
};

bool SetTimeout(int fd, int option, long ms) {
    const timeval limit{ms / 1000, static_cast<suseconds_t>((ms % 1000) * 1000)};
    return setsockopt(fd, SOL_SOCKET, option, &limit, sizeof limit) == 0;
}

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

pid_t StartWorker(FastCgiServer& server, const std::function<void()>& serveOne) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        server.Serve(serveOne);
        _exit(0);
    }
    return pid;
}

}  // namespace

std::vector<char*> FastCgiServer::RequestEnvironment(char** request, char** process) {
    std::vector<char*> env;
    for (char** entry = request; entry != nullptr && *entry != nullptr; ++entry)
        if (!IsConfiguration(*entry)) env.push_back(*entry);
    for (char** entry = process; entry != nullptr && *entry != nullptr; ++entry)
        if (IsConfiguration(*entry)) env.push_back(*entry);
    env.push_back(nullptr);
    return env;
}

bool FastCgiServer::StartedByManager() {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    // A listening socket has no peer; a pipe or a file is not a socket at all.
    return getpeername(STDIN_FILENO, reinterpret_cast<sockaddr*>(&peer), &length) != 0 &&
           errno == ENOTCONN;
}

int FastCgiServer::OpenListener(const std::string& spec) {
    if (FCGX_Init() != 0) return -1;
    std::string path = spec;
    if (spec.starts_with(kUnixPrefix)) {
        path = spec.substr(sizeof kUnixPrefix - 1);
        if (path.empty() || path.find(':') != std::string::npos) {
            errno = EINVAL;
            return -1;
        }
        unlink(path.c_str());
    } else if (spec.find(':') == std::string::npos) {
        errno = EINVAL;  // a bare word would silently become a socket file
        return -1;
    } else if (spec.front() == ':') {
        path = kDefaultHost + spec;  // every interface only when asked for by name
    }
    return FCGX_OpenSocket(path.c_str(), kListenBacklog);
}

long FastCgiServer::Serve(const std::function<void()>& serveOne) {
    if (FCGX_Init() != 0) return 0;
    // A client that goes away must end its request, not the process.
    std::signal(SIGPIPE, SIG_IGN);
    HeapSettings::KeepForRequests();
    // Connections inherit the listening socket's time-outs: a client that stops sending (or
    // reading) in the middle of a request gives the worker back, and accepting wakes up now
    // and then, which the loop below takes as no error.
    if (clientTimeoutMs_ > 0) {
        SetTimeout(listenFd_, SO_RCVTIMEO, clientTimeoutMs_);
        SetTimeout(listenFd_, SO_SNDTIMEO, clientTimeoutMs_);
    }
    FCGX_Request request;
    if (FCGX_InitRequest(&request, listenFd_, 0) != 0) return 0;
    long served = 0;
    for (;;) {
        const int accepted = FCGX_Accept_r(&request);
        if (accepted == -EAGAIN || accepted == -EWOULDBLOCK) continue;
        if (accepted != 0) break;
        if (clientTimeoutMs_ > 0) {  // a unix socket's connection inherits nothing
            SetTimeout(request.ipcFd, SO_RCVTIMEO, clientTimeoutMs_);
            SetTimeout(request.ipcFd, SO_SNDTIMEO, clientTimeoutMs_);
        }
        {
            EnvironmentScope environment(request.envp);
            FastCgiChannel channel(request);
            RequestChannel::Scope scope(channel);
            serveOne();
            channel.Output().flush();
        }
        FCGX_Finish_r(&request);
        ++served;
    }
    FCGX_Free(&request, 0);
    return served;
}

int FastCgiServer::Supervise(int workers, const std::function<void()>& serveOne) {
    if (workers < 1) workers = 1;
    if (workers > kMaxWorkers) workers = kMaxWorkers;
    struct sigaction stop {};
    stop.sa_handler = &RequestStop;
    sigaction(SIGTERM, &stop, nullptr);
    sigaction(SIGINT, &stop, nullptr);

    std::set<pid_t> running;
    while (!stopRequested) {
        while (static_cast<int>(running.size()) < workers && !stopRequested) {
            const pid_t pid = StartWorker(*this, serveOne);
            if (pid < 0) {
                usleep(kRetryPauseUs);
                break;
            }
            running.insert(pid);
        }
        int status = 0;
        const pid_t ended = waitpid(-1, &status, 0);
        if (ended > 0) {
            running.erase(ended);
            if (!stopRequested && WIFSIGNALED(status))
                report_error("*WARNING* FastCGI worker %d ended by signal %d; starting another.",
                             static_cast<int>(ended), WTERMSIG(status));
        } else if (errno == ECHILD) {
            running.clear();
        }
    }
    for (pid_t pid : running) kill(pid, SIGTERM);
    for (pid_t pid : running) waitpid(pid, nullptr, 0);
    return 0;
}
