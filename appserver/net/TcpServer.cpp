#include "net/TcpServer.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>

#include "core/Log.h"
#include "net/RequestReader.h"
#include "utils/wire/WireAnswer.h"

namespace {

constexpr int kListenBacklog = 1024;
constexpr int kAcceptRetryMs = 50;
constexpr int kDeferAcceptSeconds = 1;

UniqueFd BindAndListen(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int rc =
        ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) throw std::runtime_error("cannot resolve " + host + ": " + gai_strerror(rc));
    std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(found, ::freeaddrinfo);
    std::string lastError = "no address";
    for (addrinfo* a = list.get(); a; a = a->ai_next) {
        UniqueFd fd(::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol));
        if (!fd.valid()) continue;
        const int on = 1;
        ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd.get(), a->ai_addr, a->ai_addrlen) == 0 &&
            ::listen(fd.get(), kListenBacklog) == 0) {
            // A connection reaches accept only once its request has begun to arrive: one
            // wake-up less per request, and silent connections hold no worker meanwhile.
            const int deferSeconds = kDeferAcceptSeconds;
            ::setsockopt(fd.get(), IPPROTO_TCP, TCP_DEFER_ACCEPT, &deferSeconds,
                         sizeof deferSeconds);
            return fd;
        }
        lastError = std::strerror(errno);
    }
    throw std::runtime_error("cannot listen on " + host + ":" + service + ": " + lastError);
}

int BoundPort(int fd) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return -1;
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    return -1;
}

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

TcpServer::TcpServer(const std::string& host, int port, int workers, NetLimits limits,
                     Handler handler)
    : listen_(BindAndListen(host, port)),
      workerCount_(workers < 1 ? 1 : workers),
      limits_(limits),
      handler_(std::move(handler)) {
    port_ = BoundPort(listen_.get());
}

TcpServer::~TcpServer() { Stop(); }

void TcpServer::Start() {
    for (int i = 0; i < workerCount_; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

void TcpServer::Stop() {
    if (stopping_.exchange(true)) return;
    // Wakes every worker blocked in accept (it then fails) and refuses new connections.
    ::shutdown(listen_.get(), SHUT_RDWR);
    for (auto& worker : workers_)
        if (worker.joinable()) worker.join();
}

void TcpServer::WorkerLoop() {
    // A blocking accept wakes one waiting worker per connection (polling the listening socket
    // would wake them all).
    while (!stopping_.load()) {
        UniqueFd connection(::accept4(listen_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!connection.valid()) {
            if (stopping_.load()) return;
            if (errno == EMFILE || errno == ENFILE || errno == ENOMEM || errno == ENOBUFS)
                std::this_thread::sleep_for(std::chrono::milliseconds(kAcceptRetryMs));
            continue;  // the client gave up, a signal, or a passing shortage
        }
        const int on = 1;
        ::setsockopt(connection.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        Serve(std::move(connection));
    }
}

void TcpServer::Serve(UniqueFd connection) {
    std::string body;
    RequestReader reader(connection.get(), limits_, stopping_);
    const RequestReader::Outcome outcome = reader.Read(body);
    if (outcome == RequestReader::Outcome::kOk) {
        const std::string answer = handler_(body);
        body = std::string();
        if (SendAll(connection.get(), answer)) served_.fetch_add(1);
        ::shutdown(connection.get(), SHUT_WR);
        // Only then: a well-behaved client keeps its end open, and draining would wait.
        if (reader.sawExtraBytes()) Drain(connection.get());
        return;
    }
    const std::string message = RequestReader::MessageFor(outcome);
    if (message.empty()) return;  // closed, failed or stopping: nobody to answer
    Log::Warning("refused a request: " + message);
    SendAll(connection.get(), wire::BuildErrorAnswer(message));
    ::shutdown(connection.get(), SHUT_WR);
    Drain(connection.get());
}

bool TcpServer::SendAll(int fd, std::string_view data) {
    const long long end = NowMs() + NetLimits::kWriteTimeoutMs;
    while (!data.empty()) {
        const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            data.remove_prefix(static_cast<size_t>(sent));
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        const long long left = end - NowMs();
        if (left <= 0) return false;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) return false;
    }
    return true;
}

void TcpServer::Drain(int fd) {
    // Reading what the client still sends lets it see the answer instead of a reset.
    const long long end = NowMs() + NetLimits::kDrainMs;
    char sink[4096];
    size_t drained = 0;
    while (drained < NetLimits::kMaxDrainBytes) {
        const long long left = end - NowMs();
        if (left <= 0) return;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) return;
        const ssize_t got = ::recv(fd, sink, sizeof sink, MSG_DONTWAIT);
        if (got <= 0) return;
        drained += static_cast<size_t>(got);
    }
}
