#include "WireClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "wire/WireAnswer.h"
#include "wire/WireHeader.h"
#include "wire/WireRequest.h"

namespace apptest {

std::string Raw(int port, const std::string& bytes, int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        char buffer[65536];
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            answer.append(buffer, static_cast<size_t>(got));
        }
    }
    ::close(fd);
    return answer;
}

std::string ContentOf(const std::string& answer) {
    const size_t h = wire::FindHeaderEnd(answer);
    return h == std::string::npos ? std::string() : answer.substr(h);
}

CallResult Call(int port, const std::string& function, const std::vector<std::string>& params,
                size_t expectedResults) {
    CallResult result;
    const std::string answer =
        Raw(port, wire::BuildRequestMessage(wire::BuildRequestBody(function, params)));
    const size_t h = wire::FindHeaderEnd(answer);
    if (h == std::string::npos) return result;
    const std::string content = answer.substr(h);
    const auto classified = wire::ClassifyAnswer(content);
    switch (classified.kind) {
        case wire::AnswerKind::kOk:
            result.kind = CallResult::kOk;
            result.decodeCode =
                wire::DecodeResults(classified.rest, expectedResults, result.results);
            break;
        case wire::AnswerKind::kError:
            result.kind = CallResult::kError;
            result.message = std::string(classified.rest);
            break;
        case wire::AnswerKind::kUnknown:
            result.kind = CallResult::kUnknown;
            break;
    }
    return result;
}

std::vector<std::string> SpellParams(const std::string& language, const std::string& text,
                                     const std::string& options, const std::string& ignored,
                                     const std::string& userDictionaries, const char* positions) {
    std::vector<std::string> params = {language, "", options, text, ignored, userDictionaries};
    if (positions) params.emplace_back(positions);
    return params;
}

}  // namespace apptest
