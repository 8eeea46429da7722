#include "utils/metrics/MetricsEndpoint.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "utils/metrics/PrometheusText.h"

namespace {

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Closes the descriptor of one connection, however serving it ends.
struct ConnectionCloser {
    int fd;
    ~ConnectionCloser() { ::close(fd); }
};

std::string HttpAnswer(const char* status, std::string_view contentType, std::string_view body) {
    std::string out = std::string("HTTP/1.0 ") + status + "\r\nContent-Type: ";
    out.append(contentType).append("\r\nContent-Length: ").append(std::to_string(body.size()));
    out.append("\r\nConnection: close\r\n\r\n").append(body);
    return out;
}

std::string Plain(const char* status) {
    return HttpAnswer(status, "text/plain; charset=utf-8", std::string(status) + "\n");
}

// Splits "HOST:PORT" and "[IPV6]:PORT"; false when there is no port.
bool SplitListen(const std::string& listen, std::string& host, std::string& port) {
    const size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon + 1 == listen.size()) return false;
    host = listen.substr(0, colon);
    port = listen.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return !host.empty() && port.find_first_not_of("0123456789") == std::string::npos;
}

int BoundSocket(const std::string& listen) {
    std::string host;
    std::string port;
    if (!SplitListen(listen, host, port))
        throw std::runtime_error("metrics address '" + listen + "' is not HOST:PORT");
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (const int error = getaddrinfo(host.c_str(), port.c_str(), &hints, &found); error != 0)
        throw std::runtime_error("metrics address '" + listen + "': " + gai_strerror(error));
    int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const bool ok = fd >= 0 && ::bind(fd, found->ai_addr, found->ai_addrlen) == 0 &&
                    ::listen(fd, MetricsEndpoint::kListenBacklog) == 0;
    const int error = errno;
    freeaddrinfo(found);
    if (!ok) {
        if (fd >= 0) ::close(fd);
        throw std::runtime_error("cannot listen for metrics on " + listen + ": " +
                                 std::strerror(error));
    }
    return fd;
}

int BoundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

// Waits for `events` on `fd` until `endMs`; false on time-out or error.
bool WaitFor(int fd, short events, long long endMs) {
    for (;;) {
        const long long left = endMs - NowMs();
        if (left <= 0) return false;
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

// The request head up to its blank line; `complete` false when it did not come within the limits.
std::string ReadHead(int fd, bool& complete) {
    const long long endMs = NowMs() + MetricsEndpoint::kRequestTimeoutMs;
    std::string head;
    char buffer[1024];
    complete = false;
    while (head.size() < MetricsEndpoint::kMaxRequestHeadBytes && WaitFor(fd, POLLIN, endMs)) {
        const size_t room = MetricsEndpoint::kMaxRequestHeadBytes - head.size();
        const ssize_t got = ::recv(fd, buffer, std::min(room, sizeof buffer), MSG_DONTWAIT);
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (got <= 0) break;
        head.append(buffer, static_cast<size_t>(got));
        for (const char* end : {"\r\n\r\n", "\n\n"}) {
            if (const size_t at = head.find(end); at != std::string::npos) {
                complete = true;
                return head.substr(0, at);
            }
        }
    }
    return head;
}

void SendAll(int fd, std::string_view data) {
    const long long endMs = NowMs() + MetricsEndpoint::kWriteTimeoutMs;
    while (!data.empty()) {
        const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            data.remove_prefix(static_cast<size_t>(sent));
        } else if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!WaitFor(fd, POLLOUT, endMs)) return;
        } else {
            return;
        }
    }
}

}  // namespace

MetricsEndpoint::MetricsEndpoint(const std::string& listen, PeerAllowList allow, Render render)
    : allow_(std::move(allow)), render_(std::move(render)) {
    listen_ = BoundSocket(listen);
    port_ = BoundPort(listen_);
    stop_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stop_ < 0) {
        ::close(listen_);
        throw std::runtime_error(std::string("metrics: ") + std::strerror(errno));
    }
}

MetricsEndpoint::~MetricsEndpoint() {
    ::close(listen_);
    ::close(stop_);
}

void MetricsEndpoint::Stop() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(stop_, &one, sizeof one);
}

void MetricsEndpoint::Serve() {
    for (;;) {
        pollfd polled[2] = {{stop_, POLLIN, 0}, {listen_, POLLIN, 0}};
        if (::poll(polled, 2, -1) < 0 && errno != EINTR) return;
        if (polled[0].revents != 0) return;
        if (polled[1].revents == 0) continue;
        const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) ServeConnection(fd);
    }
}

void MetricsEndpoint::ServeConnection(int fd) {
    const ConnectionCloser closer{fd};
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    const bool allowed =
        getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 && allow_.Allows(peer);
    bool complete = false;
    const std::string head = ReadHead(fd, complete);
    SendAll(fd, Answer(head, complete, allowed, render_));
    ::shutdown(fd, SHUT_WR);
}

std::string MetricsEndpoint::Answer(std::string_view head, bool complete, bool allowed,
                                    const Render& render) {
    if (!allowed) return Plain("403 Forbidden");
    if (!complete) return Plain("400 Bad Request");
    const std::string_view line = head.substr(0, head.find_first_of("\r\n"));
    const size_t first = line.find(' ');
    const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos ||
        !line.substr(second + 1).starts_with("HTTP/1."))
        return Plain("400 Bad Request");
    const std::string_view method = line.substr(0, first);
    std::string_view target = line.substr(first + 1, second - first - 1);
    target = target.substr(0, target.find('?'));
    if (method != "GET" || target != "/metrics") return Plain("404 Not Found");
    return HttpAnswer("200 OK", PrometheusText::kContentType, render());
}
