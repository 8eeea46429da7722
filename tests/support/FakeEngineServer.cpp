#include "support/FakeEngineServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <stdexcept>

namespace testsupport {
namespace {

int ListenOnLoopback(unsigned short& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot listen on loopback");
    }
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

// Reads until the header block and its declared content have arrived (or the peer stops).
std::string ReadRequest(int fd) {
    std::string data;
    char buf[4096];
    for (;;) {
        const auto headerEnd = data.find("\r\n\r\n");
        if (headerEnd != std::string::npos) {
            size_t length = 0;
            auto at = data.find("Content-length: ");
            // HTTP clients (the relay's) spell it with a capital L.
            if (at == std::string::npos) at = data.find("Content-Length: ");
            if (at != std::string::npos && at < headerEnd)
                length = std::strtoul(data.c_str() + at + 16, nullptr, 10);
            if (data.size() >= headerEnd + 4 + length) return data;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return data;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return data;
        data.append(buf, static_cast<size_t>(n));
    }
}

}  // namespace

FakeEngineServer::FakeEngineServer() {
    listenFd_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { serve(); });
}

FakeEngineServer::~FakeEngineServer() {
    stop_ = true;
    thread_.join();
    ::close(listenFd_);
}

void FakeEngineServer::SetScript(Script script) {
    std::lock_guard lock(mutex_);
    script_ = std::move(script);
}

void FakeEngineServer::AnswerWith(const std::string& content) { SetScript({{Answer(content)}}); }

void FakeEngineServer::AnswerNextWith(std::vector<std::string> contents) {
    std::lock_guard lock(mutex_);
    next_.assign(contents.begin(), contents.end());
}

std::string FakeEngineServer::Answer(const std::string& content) {
    return "HTTP/1.0 200 OK\r\nContent-length: " + std::to_string(content.size()) + "\r\n\r\n" +
           content;
}

std::vector<std::string> FakeEngineServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void FakeEngineServer::serve() {
    while (!stop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        handle(fd);
        ::close(fd);
    }
}

void FakeEngineServer::handle(int fd) {
    Script script;
    {
        std::lock_guard lock(mutex_);
        script = script_;
        if (!next_.empty()) {
            script.chunks = {Answer(next_.front())};
            next_.pop_front();
        }
    }
    const std::string request = script.readRequest ? ReadRequest(fd) : std::string();
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    for (size_t i = 0; i < script.chunks.size(); ++i) {
        if (i > 0) std::this_thread::sleep_for(script.pause);
        ::send(fd, script.chunks[i].data(), script.chunks[i].size(), MSG_NOSIGNAL);
    }
}

// Ports the kernel hands out itself (port 0, outgoing connections) come from the ephemeral
// range, 32768-60999 on Linux; a port released there can be taken by any test's next
// connection before the server that was meant to have it binds it. Below that range only
// another test's random pick can collide, and LiveService retries then.
unsigned short UnusedLoopbackPort() {
    thread_local std::mt19937 pick{std::random_device{}()};
    std::uniform_int_distribution<int> below(20000, 32767);
    for (int attempt = 0; attempt < 50; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<unsigned short>(below(pick)));
        const bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        ::close(fd);
        if (free) return ntohs(addr.sin_port);
    }
    unsigned short port = 0;
    ::close(ListenOnLoopback(port));
    return port;
}

}  // namespace testsupport
