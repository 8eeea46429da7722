#include "support/FastCgiClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace testsupport {
namespace {

constexpr std::uint16_t kRequestId = 1;
constexpr size_t kMaxRecordContent = 65535;
enum RecordType : std::uint8_t {
    kBeginRequest = 1,
    kEndRequest = 3,
    kParams = 4,
    kStdin = 5,
    kStdout = 6,
    kStderr = 7
};
constexpr std::uint8_t kResponderRole = 1;

std::string Record(std::uint8_t type, const std::string& content) {
    std::string out;
    out += static_cast<char>(1);  // version
    out += static_cast<char>(type);
    out += static_cast<char>(kRequestId >> 8);
    out += static_cast<char>(kRequestId & 0xFF);
    out += static_cast<char>(content.size() >> 8);
    out += static_cast<char>(content.size() & 0xFF);
    out += '\0';  // no padding
    out += '\0';
    return out + content;
}

// Splits `content` into records of the largest allowed size, then the empty closing record.
std::string Stream(std::uint8_t type, const std::string& content) {
    std::string out;
    for (size_t at = 0; at < content.size(); at += kMaxRecordContent)
        out += Record(type, content.substr(at, kMaxRecordContent));
    return out + Record(type, "");
}

std::string Length(size_t n) {
    if (n < 128) return std::string(1, static_cast<char>(n));
    return {static_cast<char>(0x80 | ((n >> 24) & 0x7F)), static_cast<char>((n >> 16) & 0xFF),
            static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n & 0xFF)};
}

std::string EncodeParams(const std::map<std::string, std::string>& params) {
    std::string out;
    for (const auto& [name, value] : params)
        out += Length(name.size()) + Length(value.size()) + name + value;
    return out;
}

bool SendAll(int fd, const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::string ReadToClose(int fd, int timeoutMs) {
    std::string in;
    char buf[65536];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, timeoutMs) > 0) {
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        in.append(buf, static_cast<size_t>(n));
    }
    return in;
}

FastCgiResult ParseRecords(const std::string& in) {
    FastCgiResult result;
    for (size_t at = 0; at + 8 <= in.size();) {
        const auto byte = [&](size_t i) { return static_cast<unsigned char>(in[at + i]); };
        const size_t length = (byte(4) << 8) | byte(5);
        const size_t padding = byte(6);
        if (at + 8 + length > in.size()) break;
        const std::string content = in.substr(at + 8, length);
        if (byte(1) == kStdout) result.output += content;
        if (byte(1) == kStderr) result.errors += content;
        if (byte(1) == kEndRequest) result.completed = true;
        at += 8 + length + padding;
    }
    return result;
}

}  // namespace

FastCgiResult FastCgiRequest(unsigned short port, const std::map<std::string, std::string>& params,
                             const std::string& body, int timeoutMs) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return {};
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    FastCgiResult result;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        const std::string begin = {0, static_cast<char>(kResponderRole), 0, 0, 0, 0, 0, 0};
        if (SendAll(fd, Record(kBeginRequest, begin) + Stream(kParams, EncodeParams(params)) +
                            Stream(kStdin, body)))
            result = ParseRecords(ReadToClose(fd, timeoutMs));
    }
    close(fd);
    return result;
}

}  // namespace testsupport
