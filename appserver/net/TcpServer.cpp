#include "net/TcpServer.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>

#include "core/CallDeadline.h"
#include "core/Log.h"
#include "net/RequestReader.h"
#include "net/WorkingMemory.h"
#include "utils/HeapSettings.h"
#include "wire/WireAnswer.h"

namespace {

constexpr int kListenBacklog = 1024;
constexpr int kTickMs = 50;  // how often the reading loop looks at time limits and the stop
constexpr int kDeferAcceptSeconds = 1;

void SetNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

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
            // Accepted sockets inherit it: each answer is one write, sent at once.
            ::setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
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

UniqueFd NewEventFd(unsigned flags) {
    UniqueFd fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK | flags));
    if (!fd.valid())
        throw std::runtime_error(std::string("cannot create an eventfd: ") + std::strerror(errno));
    return fd;
}

void Signal(const UniqueFd& fd) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd.get(), &one, sizeof one);
}

bool Consume(const UniqueFd& fd) {
    uint64_t count = 0;
    return ::read(fd.get(), &count, sizeof count) == static_cast<ssize_t>(sizeof count);
}

void Watch(int epoll, int fd, uint32_t events) {
    epoll_event event{};
    event.events = events;
    event.data.fd = fd;
    if (::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event) != 0)
        throw std::runtime_error(std::string("cannot watch a descriptor: ") + std::strerror(errno));
}

}  // namespace

TcpServer::TcpServer(const std::string& host, int port, int workers, NetLimits limits,
                     Handler handler)
    : listen_(BindAndListen(host, port)),
      stop_(NewEventFd(0)),
      inbox_(NewEventFd(0)),
      jobs_(NewEventFd(EFD_SEMAPHORE)),
      workerCount_(workers < 1 ? 1 : workers),
      limits_(limits),
      handler_(std::move(handler)),
      budget_(limits.maxInFlightBytes) {
    port_ = BoundPort(listen_.get());
    SetNonBlocking(listen_.get());
}

TcpServer::~TcpServer() { Stop(); }

void TcpServer::Start() {
    reader_ = std::thread([this] { ReadLoop(); });
    for (int i = 0; i < workerCount_; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

void TcpServer::Stop() {
    if (stopping_.exchange(true)) return;
    Signal(stop_);
    if (reader_.joinable()) reader_.join();
    for (auto& worker : workers_)
        if (worker.joinable()) worker.join();
    // Requests that no worker took are closed unanswered.
    for (Job& job : queue_) budget_.Release(job.reserved);
    queue_.clear();
    for (const auto& c : handed_) budget_.Release(c->reserved);
    handed_.clear();
    ::shutdown(listen_.get(), SHUT_RDWR);
}

// --- the reading thread: requests that arrive slowly ---

void TcpServer::ReadLoop() {
    Connections connections;
    std::vector<pollfd> polled;
    while (!stopping_.load()) {
        polled.clear();
        polled.push_back({stop_.get(), POLLIN, 0});
        polled.push_back({inbox_.get(), POLLIN, 0});
        for (const auto& c : connections) polled.push_back({c->fd.get(), POLLIN, 0});
        if (::poll(polled.data(), polled.size(), kTickMs) < 0 && errno != EINTR) continue;
        const long long now = NowMs();
        for (size_t i = 2; i < polled.size(); ++i)
            if (polled[i].revents != 0) Step(*connections[i - 2], now);
        if (polled[1].revents != 0) TakeHanded(connections);
        for (const auto& c : connections) CheckTime(*c, now);
        std::erase_if(connections,
                      [](const auto& c) { return c->state == Connection::State::kDone; });
        held_.store(connections.size());
    }
    for (const auto& c : connections) budget_.Release(c->reserved);
}

void TcpServer::TakeHanded(Connections& connections) {
    const std::lock_guard<std::mutex> lock(mutex_);
    Consume(inbox_);
    for (auto& c : handed_) connections.push_back(std::move(c));
    handed_.clear();
}

void TcpServer::Step(Connection& c, long long now) {
    if (!Advance(c, now)) return;
    // Only this thread adds to the queue: it cannot fill up after this check.
    if (QueueFull()) return Refuse(c, RequestReader::Outcome::kBusy, now);
    Enqueue(TakeJob(c));
}

bool TcpServer::Advance(Connection& c, long long now) {
    if (c.state == Connection::State::kDraining) {
        Drain(c, now);
        return false;
    }
    if (c.state != Connection::State::kReading) return false;
    c.lastDataMs = now;
    for (;;) {
        const RequestReader::Outcome outcome = c.reader.ReadAvailable(c.fd.get());
        switch (outcome) {
            case RequestReader::Outcome::kNeedMore:
                return false;
            case RequestReader::Outcome::kHeaderDone:
                OnHeader(c, now);
                if (c.state != Connection::State::kReading) return false;
                continue;
            case RequestReader::Outcome::kOk:
                return true;
            case RequestReader::Outcome::kClosed:
            case RequestReader::Outcome::kFailed:
                Finish(c);
                return false;
            default:
                Refuse(c, outcome, now);
                return false;
        }
    }
}

TcpServer::Job TcpServer::TakeJob(Connection& c) {
    c.state = Connection::State::kDone;
    const bool extra = c.reader.sawExtraBytes();
    return {std::move(c.fd), c.reader.TakeBody(), std::exchange(c.reserved, 0), extra};
}

void TcpServer::OnHeader(Connection& c, long long now) {
    const size_t length = c.reader.contentLength();
    if (!budget_.TryReserve(length)) return Refuse(c, RequestReader::Outcome::kBusy, now);
    c.reserved = length;
    const long long bodyMs = static_cast<long long>(length) * 1000 /
                             static_cast<long long>(NetLimits::kMinBodyBytesPerSecond);
    c.deadlineMs =
        std::min(now + limits_.headerTimeoutMs + bodyMs, c.acceptedMs + limits_.requestDeadlineMs);
}

void TcpServer::CheckTime(Connection& c, long long now) {
    if (c.state == Connection::State::kDraining && now >= c.drainEndMs) return Finish(c);
    if (c.state != Connection::State::kReading) return;
    if (now - c.lastDataMs >= limits_.readTimeoutMs || now >= c.deadlineMs)
        Refuse(c, RequestReader::Outcome::kTimedOut, now);
}

void TcpServer::Refuse(Connection& c, RequestReader::Outcome outcome, long long now) {
    const std::string message = RequestReader::MessageFor(outcome);
    if (message.empty()) return Finish(c);  // nobody to answer
    if (outcome == RequestReader::Outcome::kBusy) refusedBusy_.fetch_add(1);
    Log::Warning("refused a request: " + message);
    budget_.Release(std::exchange(c.reserved, 0));
    // The answer is small and the socket has sent nothing yet: it fits the send buffer.
    const std::string answer = wire::BuildErrorAnswer(message);
    ::send(c.fd.get(), answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(c.fd.get(), SHUT_WR);
    c.state = Connection::State::kDraining;
    const bool busy = outcome == RequestReader::Outcome::kBusy && c.reader.headerDone();
    c.drainEndMs = now + (busy ? NetLimits::kBusyDrainMs : NetLimits::kDrainMs);
    c.drainLimit = busy ? std::max(NetLimits::kMaxDrainBytes, c.reader.contentLength())
                        : NetLimits::kMaxDrainBytes;
    Drain(c, now);
}

void TcpServer::Drain(Connection& c, long long now) {
    // Reading what the client still sends lets it see the answer instead of a reset.
    char sink[4096];
    while (c.drained < c.drainLimit && now < c.drainEndMs) {
        const ssize_t got = ::recv(c.fd.get(), sink, sizeof sink, MSG_DONTWAIT);
        if (got > 0) {
            c.drained += static_cast<size_t>(got);
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
        break;  // closed or failed
    }
    Finish(c);
}

void TcpServer::Finish(Connection& c) {
    budget_.Release(std::exchange(c.reserved, 0));
    if (c.fd.valid()) open_.fetch_sub(1);
    c.fd.Reset();
    c.state = Connection::State::kDone;
}

bool TcpServer::QueueFull() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size() >= NetLimits::kMaxQueuedRequests;
}

void TcpServer::Enqueue(Job job) {
    const std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(job));
    Signal(jobs_);
}

// --- the workers ---

void TcpServer::WorkerLoop() {
    UniqueFd epoll(::epoll_create1(EPOLL_CLOEXEC));
    try {
        if (!epoll.valid()) throw std::runtime_error(std::strerror(errno));
        Watch(epoll.get(), stop_.get(), EPOLLIN);
        // Exclusive: a new connection or request wakes one idle worker, not all of them.
        Watch(epoll.get(), listen_.get(), EPOLLIN | EPOLLEXCLUSIVE);
        Watch(epoll.get(), jobs_.get(), EPOLLIN | EPOLLEXCLUSIVE);
    } catch (const std::exception& e) {
        Log::Error(std::string("a worker could not start: ") + e.what());
        return;
    }
    epoll_event events[3];
    while (!stopping_.load()) {
        if (::epoll_wait(epoll.get(), events, 3, -1) < 0 && errno != EINTR) {
            Log::Error(std::string("a worker stopped waiting: ") + std::strerror(errno));
            return;
        }
        if (stopping_.load()) return;
        // Requests that were read slowly have waited longest: they go first. A connection left
        // waiting meanwhile is still ready when this worker waits again.
        if (Job job; TakeQueued(job)) {
            Answer(std::move(job));
            continue;
        }
        ServeNewConnection();
    }
}

bool TcpServer::TakeQueued(Job& job) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty()) return false;
    Consume(jobs_);
    job = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

void TcpServer::ServeNewConnection() {
    UniqueFd fd(::accept4(listen_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!fd.valid()) return;  // another worker took it, the client gave up, a passing shortage
    open_.fetch_add(1);
    const long long now = NowMs();
    auto c = std::make_unique<Connection>();
    c->fd = std::move(fd);
    c->acceptedMs = now;
    c->lastDataMs = now;
    c->deadlineMs = now + std::min(limits_.headerTimeoutMs, limits_.requestDeadlineMs);
    if (Advance(*c, now)) return Answer(TakeJob(*c));
    if (c->state != Connection::State::kDone) HandToReader(std::move(c), now);
}

void TcpServer::HandToReader(std::unique_ptr<Connection> c, long long now) {
    if (held_.load() >= NetLimits::kMaxConnections) {
        // Too many slow connections already: this one gets the busy answer instead.
        if (c->state == Connection::State::kReading) Refuse(*c, RequestReader::Outcome::kBusy, now);
        return Finish(*c);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    handed_.push_back(std::move(c));
    Signal(inbox_);
}

void TcpServer::Answer(Job job) {
    const size_t bodyBytes = job.body.size();
    if (!HoldWorkingMemory(job)) return RefuseBusy(std::move(job));
    {
        const CallDeadline deadline(limits_.callDeadlineMs, limits_.suggestBudgetMs, job.fd.get());
        const CallDeadline::Scope scope(deadline);
        const std::string answer = handler_(job.body);
        job.body = std::string();
        if (SendAll(job.fd.get(), answer)) served_.fetch_add(1);
    }
    Close(std::move(job));
    // Freed blocks of a large request stay with the allocator otherwise, in every worker's
    // arena: the server would keep its largest burst for good.
    if (bodyBytes >= NetLimits::kTrimAfterBytes) HeapSettings::GiveBack();
}

bool TcpServer::HoldWorkingMemory(Job& job) {
    // The body alone was held while it was read; answering it takes a multiple of that.
    const size_t bytes = WorkingMemory::BytesFor(job.body);
    if (bytes <= job.reserved) return true;
    // A large call waits a little for room (the running ones end within seconds) rather than
    // fail at once; half the workers at most, so that small calls always find one. Its body
    // stays counted meanwhile: the budget has room for one 4 MiB text call and the bodies of
    // the calls waiting behind it.
    if (!budget_.ReserveWithin(bytes - job.reserved,
                               std::chrono::milliseconds(NetLimits::kWorkingMemoryWaitMs),
                               std::max(1, workerCount_ / 2)))
        return false;
    job.reserved = bytes;
    return true;
}

void TcpServer::RefuseBusy(Job job) {
    refusedBusy_.fetch_add(1);
    const std::string message = RequestReader::MessageFor(RequestReader::Outcome::kBusy);
    Log::Warning("refused a request: " + message);
    job.body = std::string();
    SendAll(job.fd.get(), wire::BuildErrorAnswer(message));
    Close(std::move(job));
}

void TcpServer::Close(Job job) {
    // Given back before the client can see the end of the answer: its next request finds the
    // room again.
    budget_.Release(job.reserved);
    if (job.extraBytes) {
        // Only after the end of the answer: a well-behaved client keeps its end open, and
        // draining would wait.
        ::shutdown(job.fd.get(), SHUT_WR);
        DrainBlocking(job.fd.get());
    }
    job.fd.Reset();  // closing sends the end of the answer
    open_.fetch_sub(1);
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

void TcpServer::DrainBlocking(int fd) {
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
