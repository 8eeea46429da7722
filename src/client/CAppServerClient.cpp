#include "client/CAppServerClient.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>

#include "client/EngineServerList.h"
#include "client/FailedServerMemory.h"
#include "client/SocketErrors.h"
#include "client/UniqueFd.h"
#include "utils/logging/Logger.h"
#include "wire/WireAnswer.h"
#include "wire/WireHeader.h"
#include "wire/WireRequest.h"

namespace {

constexpr char kUninitialized[] = "       CLI:Networking services uninitialized";
// How the engine's refusal of a call as busy begins.
constexpr std::string_view kBusyRefusal = "Server busy";

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char buf[CAppServerClient::kMaxMessageBytes + 1];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return n < 0 ? std::string()
                 : std::string(buf, std::min<size_t>(static_cast<size_t>(n), sizeof buf - 1));
}

[[noreturn]] void Fail(int code, const std::string& message) {
    throw CAppServerClient::Error(code, message);
}

unsigned SocketId(int fd) { return static_cast<unsigned>(fd); }

// Waits until `fd` has one of `events`, at most `waitMs` (kWaitForever: no limit); poll's result.
int WaitFor(int fd, short events, std::uint32_t waitMs) {
    pollfd p{fd, events, 0};
    const int timeout = waitMs == CAppServerClient::kWaitForever
                            ? -1
                            : static_cast<int>(std::min<std::uint32_t>(waitMs, 0x7FFFFFFF));
    int r;
    do {
        r = ::poll(&p, 1, timeout);
    } while (r < 0 && errno == EINTR);
    return r;
}

// Sends all of `message` on the non-blocking `fd`, waiting at most `waitMs` each time the
// socket is full.
void SendAll(int fd, const std::string& message, std::uint32_t waitMs) {
    size_t sent = 0;
    while (sent < message.size()) {
        const ssize_t n = ::send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLOUT, waitMs) > 0)
            continue;
        GetLogger().Log(loglevel::Debug, 0, "       CLI:Socket 0x%X: send(%zu bytes) returned %zd",
                        SocketId(fd), message.size() - sent, n);
        if (n <= 0)
            Fail(CAppServerClient::kSocketError,
                 Format("Socket 0x%X couldn't be sent through; WSA error %d", SocketId(fd), errno));
        sent += static_cast<size_t>(n);
    }
}

// Waits until `fd` is readable; throws the wait errors of the reader.
void WaitReadable(int fd, std::uint32_t waitMs) {
    GetLogger().Log(loglevel::Debug, 0, "       CLI:waiting for data to arrive on socket 0x%X",
                    SocketId(fd));
    const int r = WaitFor(fd, POLLIN, waitMs);
    if (r == 0) Fail(CAppServerClient::kSocketError, "CLI: Recv: Socket recv wait expired");
    if (r < 0) Fail(CAppServerClient::kSocketError, Format("CLI: Recv: Socket error %d", errno));
    GetLogger().Log(loglevel::Debug, 0, "        CLI: data arrived");
}

// The IPv4 address of a dotted address or a host name; 0, or the resolver's code.
int Resolve(const std::string& host, in_addr& ipv4) {
    if (!host.empty() && host[0] >= '0' && host[0] <= '9' &&
        inet_pton(AF_INET, host.c_str(), &ipv4) == 1)
        return 0;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = host.empty() ? EAI_NONAME : getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (rc != 0 || found == nullptr) return rc != 0 ? rc : EAI_NONAME;
    ipv4 = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return 0;
}

// Connects the non-blocking socket `fd`, waiting at most `timeoutMs`; 0, or the error number
// (ETIMEDOUT when the server did not answer in time).
int ConnectWithin(int fd, const sockaddr_in& address, std::uint32_t timeoutMs) {
    int error = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = errno;
        if (error == EINPROGRESS || error == EINTR) {
            pollfd p{fd, POLLOUT, 0};
            int r;
            do {
                r = ::poll(&p, 1, static_cast<int>(std::min<std::uint32_t>(timeoutMs, 0x7FFFFFFF)));
            } while (r < 0 && errno == EINTR);
            socklen_t length = sizeof error;
            if (r == 0)
                error = ETIMEDOUT;
            else if (r < 0)
                error = errno;
            else if (p.revents == POLLOUT)  // a failed connection also shows POLLERR and POLLHUP
                error = 0;
            else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                error = errno;
        }
    }
    return error;
}

// The setting `key` of `map` when it is a decimal number and nothing else.
std::optional<unsigned long> DecimalSetting(const StringMap& map, const char* key) {
    const auto it = map.find(key);
    if (it == map.end() || it->second.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(it->second.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || it->second[0] == '-') return std::nullopt;
    return value;
}

}  // namespace

CAppServerClient& CAppServerClient::Instance() {
    static CAppServerClient client;
    return client;
}

void CAppServerClient::Reset() {
    if (!initialised_) return;
    initialised_ = false;
    servers_.clear();
    GetLogger().Log(loglevel::Debug, 0, kUninitialized);
}

void CAppServerClient::ResetAndResolve(const std::string& host, std::uint16_t port) {
    Reset();
    int lastCode = EAI_NONAME;
    for (const auto& entry : EngineServerList::Parse(host, port)) {
        in_addr ipv4{};
        if (const int rc = Resolve(entry.host, ipv4); rc != 0) {
            lastCode = rc;
            if (EngineServerList::IsList(host))
                GetLogger().Log(loglevel::Warning, 0,
                                "CLI: *WARNING* engine server %s cannot be resolved (code %d)",
                                entry.host.c_str(), rc);
            continue;
        }
        Server server;
        server.address.sin_family = AF_INET;
        server.address.sin_port = htons(entry.port);
        server.address.sin_addr = ipv4;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &ipv4, text, sizeof text);
        server.label = std::string(text) + ":" + std::to_string(entry.port);
        GetLogger().Log(loglevel::Debug, 0,
                        "  CAppServerClient initialized successfully. Host %s:%d family %d", text,
                        entry.port, AF_INET);
        servers_.push_back(std::move(server));
    }
    if (servers_.empty())
        Fail(kCannotResolve, Format("Cannot resolve host address code %d", lastCode));
    initialised_ = true;
}

std::vector<std::string> CAppServerClient::servers() const {
    std::vector<std::string> labels;
    for (const auto& server : servers_) labels.push_back(server.label);
    return labels;
}

UniqueFd CAppServerClient::ConnectToAServer() {
    FailedServerMemory& memory = FailedServerMemory::Process();
    const auto now = FailedServerMemory::Clock::now();
    const std::vector<std::size_t> order = memory.TryOrder(servers(), now);
    int lastSocket = -1;
    for (std::size_t tried = 0; tried < order.size(); ++tried) {
        const Server& server = servers_[order[tried]];
        // Non-blocking throughout: every wait is a poll with its own limit.
        UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        const int one = 1;
        if (setsockopt(socket.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0)
            GetLogger().Log(loglevel::Warning, 0,
                            "*WARNING*: cannot set socket option TCP_NODELAY, Error #%d, %s", errno,
                            std::strerror(errno));
        if (!socket.valid()) Fail(kSocketError, Format("  CLI:socket creation error %d", errno));
        GetLogger().Log(loglevel::Debug, 0, "  CLI:socket 0x%X created", SocketId(socket.get()));
        if (const int error = ConnectWithin(socket.get(), server.address, connectMs_); error == 0) {
            memory.MarkWorking(server.label);
            GetLogger().Log(loglevel::Debug, 0, "  CLI:socket 0x%X connected",
                            SocketId(socket.get()));
            return socket;
        } else if (tried + 1 < order.size()) {
            ++failovers_;
            GetLogger().Log(loglevel::Warning, 0,
                            "CLI: *WARNING* engine server %s cannot be reached (error %d); "
                            "trying the next",
                            server.label.c_str(), error);
        }
        memory.MarkFailed(server.label, now);
        lastSocket = socket.get();
    }
    Fail(kSocketError, Format("socket 0x%X cannot connect to the server", SocketId(lastSocket)));
}

std::vector<std::string> CAppServerClient::DoFunc(const std::string& function,
                                                  const std::vector<std::string>& params,
                                                  size_t expected) {
    const std::string body = wire::BuildRequestBody(function, params);
    std::uint32_t pauseMs = kFirstBusyPauseMs;
    std::uint32_t pausedMs = 0;
    for (int retry = 0;; ++retry) {
        std::string content = AppServerRequest(function, body);
        const std::uint32_t waitLimitMs = std::min(kMaxBusyPauseMs, waitMs_);
        if (retry == kMaxBusyRetries || pausedMs + pauseMs > waitLimitMs || !IsBusyRefusal(content))
            return CheckAnswer(function, content, expected);
        GetLogger().Log(loglevel::Warning, 0,
                        "CLI: *WARNING* the engine server is busy; %s is sent again in %u ms",
                        function.c_str(), pauseMs);
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        pausedMs += pauseMs;
        pauseMs *= 2;
    }
}

bool CAppServerClient::IsBusyRefusal(std::string_view content) {
    const wire::ClassifiedAnswer answer = wire::ClassifyAnswer(content);
    return answer.kind == wire::AnswerKind::kError && answer.rest.starts_with(kBusyRefusal);
}

std::vector<std::string> CAppServerClient::CheckAnswer(const std::string& function,
                                                       const std::string& content,
                                                       size_t expected) {
    const wire::ClassifiedAnswer answer = wire::ClassifyAnswer(content);
    if (answer.kind == wire::AnswerKind::kError) Fail(kServerError, std::string(answer.rest));
    if (answer.kind != wire::AnswerKind::kOk)
        Fail(kBadAnswerHeader, Format("CLI:Answer header indicates error. The server couldn't "
                                      "process request for function %s",
                                      function.c_str()));
    std::vector<std::string> results;
    if (const int code = wire::DecodeResults(answer.rest, expected, results);
        code != wire::kDecodeOk)
        Fail(kDecodeError, Format("Server responded OK. Content decode error %d. Possible mismatch "
                                  "of server and client versions",
                                  code));
    GetLogger().Log(loglevel::Debug, 0,
                    "       CLI:Server responded OK. Content decoded successfully");
    GetLogger().Log(loglevel::Debug, 0, "       CLI:DoFunc(%s,...) returned OK", function.c_str());
    return results;
}

std::string CAppServerClient::AppServerRequest(const std::string& function,
                                               const std::string& body) {
    if (!initialised_)
        Fail(kNotInitialized,
             Format("Request (%s): CAppServerClient object is not initialized", function.c_str()));
    GetLogger().Log(loglevel::Debug, 0, "       CLI:AppServerRequest (%s)", function.c_str());

    const UniqueFd socket = ConnectToAServer();
    GetLogger().Log(loglevel::Debug, 0, "       CLI:Sending http request");
    SendAll(socket.get(), wire::BuildRequestMessage(body), waitMs_);
    return ReadAnswer(socket.get(), waitMs_);
}

std::string CAppServerClient::ReadAnswer(int fd, std::uint32_t waitMs) {
    std::string buffer;
    size_t headerEnd = 0;
    int contentLength = 0;
    int retries = 0;
    for (;;) {
        int available = 0;
        if (::ioctl(fd, FIONREAD, &available) != 0)
            Fail(
                kSocketError,
                Format("Cannot retrieve the amount of available data on socket 0x%X. Error code %d",
                       SocketId(fd), errno));
        const size_t held = buffer.size();
        const size_t room = available > 0 ? static_cast<size_t>(available) : 1;
        if (held + room > kMaxAnswerBytes)
            Fail(kAnswerTooLarge, Format("The answer exceeds %zu bytes", kMaxAnswerBytes));
        buffer.resize(held + room);
        const ssize_t n = ::recv(fd, buffer.data() + held, room, 0);
        const int error = errno;
        buffer.resize(held + (n > 0 ? static_cast<size_t>(n) : 0));
        GetLogger().Log(loglevel::Debug, 0, "       CLI:recv() returned %zd (WSAE status %d)", n,
                        n < 0 ? error : 0);

        if (n < 0) {
            const RecvErrorClass kind = ClassifyRecvError(error);
            if (kind == RecvErrorClass::Interrupted) continue;
            if (available > 0) {
                if (kind != RecvErrorClass::WouldBlock)
                    Fail(kRecvError, Format("recv() returned error code %d. WSA error %d. Aborting",
                                            -1, error));
                GetLogger().Log(loglevel::Debug, 0,
                                "       CLI:recv() returned error code EWOULDBLOCK. Waiting");
            } else if (kind == RecvErrorClass::Strange || kind == RecvErrorClass::Disconnection) {
                if (kind == RecvErrorClass::Strange)
                    GetLogger().Log(loglevel::Error, 0, "CLI: *ERROR* strange error code %d",
                                    error);
                GetLogger().Log(loglevel::Debug, 0, "       CLI: Disconnection detected (code %d)",
                                error);
                return buffer.empty() ? std::string()
                                      : ExtractContent(buffer, headerEnd, contentLength);
            } else {
                retries = kind == RecvErrorClass::WouldBlock ? 0 : retries + 1;
                GetLogger().Log(loglevel::Debug, 0,
                                "       CLI: data is unavailable, error code %d ", error);
            }
        } else if (n == 0) {
            GetLogger().Log(loglevel::Debug, 0, "       CLI:Disconnection detected. WSAE code %d",
                            0);
            break;
        } else {
            if (headerEnd == 0) {
                const size_t end = wire::FindHeaderEnd(buffer, held >= 3 ? held - 3 : 0);
                if (end != std::string::npos) {
                    headerEnd = end;
                    contentLength =
                        wire::ContentLengthOf(std::string_view(buffer).substr(0, headerEnd));
                    GetLogger().Log(loglevel::Debug, 0, "        CLI:Content-length: %d found",
                                    contentLength);
                }
            }
            GetLogger().Log(loglevel::Debug, 0, "       CLI:Total answer size = %zu",
                            buffer.size());
            if (headerEnd > 0 && contentLength > 0 &&
                buffer.size() >= headerEnd + static_cast<size_t>(contentLength)) {
                GetLogger().Log(loglevel::Debug, 0,
                                "       CLI:Content has been read. Answer read successfully");
                break;
            }
        }
        WaitReadable(fd, waitMs);
        if (retries > kMaxRetries) {
            GetLogger().Log(loglevel::Debug, 0,
                            "       CLI:Totally %d retries have been made; aborting cycle",
                            retries);
            break;
        }
    }
    return ExtractContent(buffer, headerEnd, contentLength);
}

std::string CAppServerClient::ExtractContent(const std::string& buffer, size_t headerEnd,
                                             int contentLength) {
    if (headerEnd == 0) Fail(kNoHttpHeader, "No http header detected");
    const size_t length = contentLength > 0 ? static_cast<size_t>(contentLength) : 0;
    if (buffer.size() < headerEnd + length)
        Fail(kPartialContent, "Only part of the content has been read");
    std::string content = length > 0 ? buffer.substr(headerEnd, length) : buffer.substr(headerEnd);
    GetLogger().Log(loglevel::Debug, 0, "       CLI:Returned content dump:\n%s", content.c_str());
    return content;
}

int AppServerInit(const std::string& host, std::uint16_t port) {
    GetLogger().Log(loglevel::Debug, 0,
                    "       CLI:Sockets initialized successfully. Looking up host %s, port %d",
                    host.c_str(), port);
    try {
        CAppServerClient::Instance().ResetAndResolve(host, port);
        return 0;
    } catch (const CAppServerClient::Error& e) {
        CAppServerClient::Instance().NoteFailure();
        GetLogger().Log(loglevel::Error, 0,
                        "*ERROR* couldn't initialize AppServer object for (%s, %d)", host.c_str(),
                        port);
        return e.code() != 0 ? e.code() : -1;
    }
}

int AppServerConnect(const StringMap& map, const std::string& host, std::uint16_t port) {
    CAppServerClient& client = CAppServerClient::Instance();
    client.SetWaitTimeMs(CAppServerClient::kDefaultWaitMs);
    if (const auto value = DecimalSetting(map, "appserver_wait_ms")) {
        if (*value == 0) client.SetWaitTimeMs(CAppServerClient::kWaitForever);
        if (*value > 0 && *value < CAppServerClient::kWaitForever)
            client.SetWaitTimeMs(static_cast<std::uint32_t>(*value));
    }
    client.SetConnectTimeMs(CAppServerClient::kDefaultConnectMs);
    if (const auto value = DecimalSetting(map, "appserver_connect_ms"); value && *value > 0)
        client.SetConnectTimeMs(static_cast<std::uint32_t>(std::min(*value, 600000ul)));
    return AppServerInit(host, port);
}

int AppServerDoFunc(const std::string& function, const std::vector<std::string>& params,
                    std::vector<std::string>& results, size_t expected) {
    results.clear();
    try {
        results = CAppServerClient::Instance().DoFunc(function, params, expected);
        return 0;
    } catch (const CAppServerClient::Error& e) {
        CAppServerClient::Instance().NoteFailure();
        GetLogger().Log(loglevel::Debug, 0, "       CLI: AppServerDoFunc: Error: %s", e.what());
        return e.code() != 0 ? e.code() : -1;
    } catch (const std::exception& e) {
        CAppServerClient::Instance().NoteFailure();
        GetLogger().Log(loglevel::Error, 0, "CLI: *ERROR* AppServerDoFunc: %s", e.what());
        return -1;
    }
}

void AppServerUninit() { CAppServerClient::Instance().Reset(); }
