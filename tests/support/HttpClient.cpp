#include "support/HttpClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace testsupport {
namespace {

constexpr int kIoTimeoutMs = 30000;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void ParseHead(const std::string& head, HttpResponse& response) {
    size_t start = 0;
    bool first = true;
    while (start < head.size()) {
        size_t end = head.find("\r\n", start);
        if (end == std::string::npos) end = head.size();
        const std::string line = head.substr(start, end - start);
        start = end + 2;
        if (first) {
            first = false;
            if (line.size() > 9) response.status = std::atoi(line.c_str() + 9);
            continue;
        }
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        const std::string name = Lower(line.substr(0, colon));
        if (name == "set-cookie")
            response.setCookies += (response.setCookies.empty() ? "" : "\n") + value;
        // Repeated fields combine as one list, as a proxy in between would combine them.
        auto [field, added] = response.headers.emplace(name, value);
        if (!added) field->second += ", " + value;
    }
}

}  // namespace

HttpResponse HttpRequest(unsigned short port, const std::string& method, const std::string& target,
                         const std::string& body,
                         const std::map<std::string, std::string>& headers) {
    HttpResponse response;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return response;
    }
    std::string request = method + " " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n";
    for (const auto& [name, value] : headers) request += name + ": " + value + "\r\n";
    if (method == "POST") {
        if (headers.count("Content-Type") == 0)
            request += "Content-Type: application/x-www-form-urlencoded\r\n";
        request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    }
    request += "\r\n" + body;
    size_t sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
    }
    std::string raw;
    char buf[65536];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, kIoTimeoutMs) <= 0) break;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        raw.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    const auto headEnd = raw.find("\r\n\r\n");
    if (headEnd == std::string::npos) return response;
    ParseHead(raw.substr(0, headEnd), response);
    response.body = raw.substr(headEnd + 4);
    return response;
}

std::string UrlEncode(const std::string& value) {
    std::string out;
    for (unsigned char c : value) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string FormEncode(const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string out;
    for (const auto& [name, value] : fields)
        out += (out.empty() ? "" : "&") + name + "=" + UrlEncode(value);
    return out;
}

}  // namespace testsupport
