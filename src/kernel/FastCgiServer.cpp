#include "kernel/FastCgiServer.h"

#include <arpa/inet.h>
#include <fcgiapp.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string_view>
#include <vector>

#include "kernel/ConnectionWatchdog.h"
#include "kernel/FastCgiChannel.h"
#include "utils/HeapSettings.h"
#include "utils/logging/Logger.h"

extern char** environ;

namespace {

constexpr char kUnixPrefix[] = "unix:";
constexpr long kRetryPauseMs = 200;

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

// libfcgi's listening socket: none (see Serve).
constexpr int kNoListener = -1;
// libfcgi's variable: the IPv4 addresses of the web servers allowed to connect.
constexpr char kAllowedPeersVariable[] = "FCGI_WEB_SERVER_ADDRS";

std::string Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

// Accepting failed for this connection only (it went away, or a signal came), not for good.
bool AcceptAgain(int error) {
    switch (error) {
        case EINTR:
        case EAGAIN:
        case ECONNABORTED:
        case EPROTO:
        case ECONNRESET:
        case ETIMEDOUT:
        case EHOSTUNREACH:
        case ENETUNREACH:
        case ENETDOWN:
            return true;
        default:
            return false;
    }
}

bool SetTimeout(int fd, int option, long ms) {
    const timeval limit{ms / 1000, static_cast<suseconds_t>((ms % 1000) * 1000)};
    return setsockopt(fd, SOL_SOCKET, option, &limit, sizeof limit) == 0;
}

bool HasTimeout(int fd, int option, long ms) {
    timeval limit{};
    socklen_t length = sizeof limit;
    return getsockopt(fd, SOL_SOCKET, option, &limit, &length) == 0 && limit.tv_sec == ms / 1000 &&
           limit.tv_usec == (ms % 1000) * 1000;
}

bool HasNoDelay(int fd) {
    int on = 0;
    socklen_t length = sizeof on;
    return getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, &length) == 0 && on != 0;
}

// What every accepted connection needs: TCP_NODELAY on TCP (records are small and answered at
// once) and the client time-outs both ways (none when 0). Set on the listening socket, accepted
// connections start with them (Linux copies them), which the first connection confirms: then a
// connection costs no call to set them. Elsewhere each connection gets them. The listening
// socket's time-outs also bound accept, which then only starts again.
class ConnectionOptions {
  public:
    ConnectionOptions(int listenFd, long timeoutMs)
        : timeoutMs_(timeoutMs), tcp_(SetNoDelay(listenFd)), inherited_(SetTimeouts(listenFd)) {}

    void Apply(int fd) {
        if (!checked_) {
            checked_ = true;
            inherited_ = inherited_ && (!tcp_ || HasNoDelay(fd)) &&
                         (timeoutMs_ <= 0 || (HasTimeout(fd, SO_RCVTIMEO, timeoutMs_) &&
                                              HasTimeout(fd, SO_SNDTIMEO, timeoutMs_)));
        }
        if (inherited_) return;
        SetNoDelay(fd);  // fails on a unix socket, which needs none
        SetTimeouts(fd);
    }

  private:
    static bool SetNoDelay(int fd) {
        const int on = 1;
        return setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0;
    }
    bool SetTimeouts(int fd) const {
        return timeoutMs_ <= 0 ||
               (SetTimeout(fd, SO_RCVTIMEO, timeoutMs_) && SetTimeout(fd, SO_SNDTIMEO, timeoutMs_));
    }

    const long timeoutMs_;
    const bool tcp_;
    bool inherited_;
    bool checked_ = false;
};

// Nothing the client sent is left unread: closing the connection cannot make it a reset.
bool NothingUnread(int fd) {
    int unread = 0;
    return ioctl(fd, FIONREAD, &unread) == 0 && unread == 0;
}

// How long stopped workers have to end before they are killed.
constexpr long kWorkersStopMs = 5000;
constexpr long kNsPerMs = 1000 * 1000;

// The signals the supervisor waits for: a request to stop, and a worker that ended.
sigset_t SupervisorSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGCHLD);
    return signals;
}

// The next of `signals` (blocked), or 0 when none came within `ms`.
int NextSignal(const sigset_t& signals, long ms) {
    const timespec wait{ms / 1000, (ms % 1000) * kNsPerMs};
    const int signal = sigtimedwait(&signals, nullptr, &wait);
    return signal > 0 ? signal : 0;
}

pid_t StartWorker(FastCgiServer& server, const std::function<void()>& serveOne,
                  const sigset_t& workerMask) {
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        FastCgiServer::EndWithParent(parent);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        sigprocmask(SIG_SETMASK, &workerMask, nullptr);
        server.Serve(serveOne);
        _exit(0);
    }
    return pid;
}

// Takes the status of every worker that has ended; reports those a signal ended unless stopping.
void ReapEnded(std::set<pid_t>& running, bool stopping) {
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(-1, &status, WNOHANG)) > 0) {
        running.erase(ended);
        if (stopping) continue;
        if (WIFSIGNALED(status))
            report_error("*WARNING* FastCGI worker %d ended by signal %d; starting another.",
                         static_cast<int>(ended), WTERMSIG(status));
        else if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
            report_error("*WARNING* FastCGI worker %d ended with status %d; starting another.",
                         static_cast<int>(ended), WEXITSTATUS(status));
    }
    if (ended < 0 && errno == ECHILD) running.clear();
}

// SIGTERM to every worker; SIGKILL to those that have not ended kWorkersStopMs later.
void StopWorkers(std::set<pid_t>& running, const sigset_t& signals) {
    for (pid_t pid : running) kill(pid, SIGTERM);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWorkersStopMs);
    while (!running.empty() && std::chrono::steady_clock::now() < deadline) {
        ReapEnded(running, true);
        if (!running.empty()) NextSignal(signals, kRetryPauseMs);
    }
    for (pid_t pid : running) kill(pid, SIGKILL);
    for (pid_t pid : running) waitpid(pid, nullptr, 0);
    running.clear();
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

bool FastCgiServer::PeerAllowed(const sockaddr* peer, std::string_view allowList) {
    if (allowList.empty() || peer->sa_family == AF_UNIX) return true;
    in_addr address{};
    if (peer->sa_family == AF_INET) {
        address = reinterpret_cast<const sockaddr_in*>(peer)->sin_addr;
    } else if (peer->sa_family == AF_INET6) {
        const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(peer)->sin6_addr;
        if (!IN6_IS_ADDR_V4MAPPED(&v6)) return false;
        std::memcpy(&address, v6.s6_addr + 12, sizeof address);
    } else {
        return false;
    }
    for (size_t at = 0; at <= allowList.size();) {
        size_t end = allowList.find(',', at);
        if (end == std::string_view::npos) end = allowList.size();
        in_addr listed{};
        if (inet_pton(AF_INET, Trimmed(allowList.substr(at, end - at)).c_str(), &listed) == 1 &&
            listed.s_addr == address.s_addr)
            return true;
        at = end + 1;
    }
    return false;
}

int FastCgiServer::AcceptClient(std::string_view allowList) const {
    for (;;) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int fd = accept(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length);
        if (fd < 0) return -1;
        if (PeerAllowed(reinterpret_cast<const sockaddr*>(&peer), allowList)) return fd;
        close(fd);
    }
}

long FastCgiServer::Serve(const std::function<void()>& serveOne) {
    if (FCGX_Init() != 0) return 0;
    // FCGX_Init catches SIGTERM only to set a flag for libfcgi's own accept loop, which is not
    // used here: the SIGTERM of a process manager (lighttpd stopping) must end the process.
    std::signal(SIGTERM, SIG_DFL);
    // A client that goes away must end its request, not the process.
    std::signal(SIGPIPE, SIG_IGN);
    HeapSettings::KeepForRequests();
    const char* allowed = std::getenv(kAllowedPeersVariable);
    const std::string allowList = allowed ? allowed : "";
    // Connections are accepted here and handed to libfcgi, which only reads and writes them:
    // the deadline is armed before libfcgi reads a byte. libfcgi has no listening socket of its
    // own, so a connection it gives up ends FCGX_Accept_r instead of a blocking accept of its own.
    FCGX_Request request;
    if (FCGX_InitRequest(&request, kNoListener, 0) != 0) return 0;
    ConnectionWatchdog watchdog;
    ConnectionOptions options(listenFd_, clientTimeoutMs_);
    long served = 0;
    for (;;) {
        if (request.ipcFd < 0) {
            const int fd = AcceptClient(allowList);
            if (fd < 0 && AcceptAgain(errno)) continue;
            if (fd < 0) break;
            request.ipcFd = fd;
            options.Apply(fd);
        }
        if (clientTimeoutMs_ > 0)  // the whole request, parameters and body, within the time-out
            watchdog.Arm(request.ipcFd, clientTimeoutMs_, SHUT_RD);
        // FCGX_Accept_r first finishes the request before, which closes the connection unless
        // its client asked to keep it: the one accepted above is still to be read.
        request.keepConnection = 1;
        if (FCGX_Accept_r(&request) != 0) {  // no whole request came; libfcgi closed it
            watchdog.Disarm();
            continue;
        }
        {
            EnvironmentScope environment(request.envp);
            FastCgiChannel channel(request);
            RequestChannel::Scope scope(channel);
            serveOne();
            if (clientTimeoutMs_ > 0)  // the rest of the answer within the time-out
                watchdog.Extend(clientTimeoutMs_, SHUT_RDWR);
        }
        // libfcgi ends a connection by shutting its sending side and waiting for the client to
        // close, lest unread input turn the close into a reset that loses the answer's end. With
        // nothing unread, a plain close ends it as well and the worker waits for nobody.
        if (!request.keepConnection && NothingUnread(request.ipcFd)) request.detached = 1;
        FCGX_Finish_r(&request);
        watchdog.Disarm();
        ++served;
    }
    if (watchdog.cut() > 0)
        report_error("*WARNING* FastCGI: %ld connections cut at the client time-out.",
                     watchdog.cut());
    FCGX_Free(&request, 0);
    return served;
}

void FastCgiServer::EndWithParent(pid_t parent) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(0);  // the parent ended before the line above
}

int FastCgiServer::Supervise(int workers, const std::function<void()>& serveOne) {
    workers = std::clamp(workers, 1, kMaxWorkers);
    // The signals are blocked and taken by sigtimedwait rather than by a handler: one that comes
    // between two calls waits for the next wait instead of being missed while it blocks.
    const sigset_t signals = SupervisorSignals();
    sigset_t before;
    sigprocmask(SIG_BLOCK, &signals, &before);
    std::set<pid_t> running;
    for (bool stopping = false; !stopping;) {
        while (static_cast<int>(running.size()) < workers) {
            const pid_t pid = StartWorker(*this, serveOne, before);
            if (pid < 0) break;  // tried again after the pause below
            running.insert(pid);
        }
        const int signal = NextSignal(signals, kRetryPauseMs);
        stopping = signal == SIGTERM || signal == SIGINT;
        ReapEnded(running, stopping);
    }
    StopWorkers(running, signals);
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return 0;
}
