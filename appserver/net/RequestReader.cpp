#include "net/RequestReader.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "utils/wire/WireHeader.h"

namespace {

constexpr size_t kReadChunkBytes = 64u << 10;

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

const char* RequestReader::MessageFor(Outcome outcome) {
    switch (outcome) {
        case Outcome::kTimedOut:
            return "Request read timed out";
        case Outcome::kHeaderTooLarge:
            return "Request header too large";
        case Outcome::kNoLength:
            return "Request without a valid Content-length";
        case Outcome::kTooLarge:
            return "Request too large";
        default:
            return "";
    }
}

RequestReader::Outcome RequestReader::ReadSome(std::string& buffer, size_t want,
                                               long long deadlineMs) {
    const long long silenceEnd = NowMs() + limits_.readTimeoutMs;
    for (;;) {
        if (stopping_.load()) return Outcome::kStopped;
        // Try first: the data is usually there already, and a poll would cost a system call.
        const size_t old = buffer.size();
        buffer.resize(old + std::min(want, kReadChunkBytes));
        const ssize_t got = ::recv(fd_, buffer.data() + old, buffer.size() - old, MSG_DONTWAIT);
        buffer.resize(old + (got > 0 ? static_cast<size_t>(got) : 0));
        if (got > 0) return Outcome::kOk;
        if (got == 0) return Outcome::kClosed;
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return Outcome::kFailed;

        const long long now = NowMs();
        const long long end = std::min(silenceEnd, deadlineMs);
        if (now >= end) return Outcome::kTimedOut;
        pollfd p{fd_, POLLIN, 0};
        const int wait = static_cast<int>(std::min<long long>(end - now, NetLimits::kStopPollMs));
        if (::poll(&p, 1, wait) < 0 && errno != EINTR) return Outcome::kFailed;
    }
}

RequestReader::Outcome RequestReader::Read(std::string& body) {
    const long long deadline = NowMs() + limits_.requestDeadlineMs;
    std::string buffer;
    size_t headerEnd = std::string::npos;
    // The header phase reads at most the header limit; what arrives of the body with it is
    // kept, and the rest of the body is read with its exact length below.
    while (headerEnd == std::string::npos) {
        if (buffer.size() >= NetLimits::kMaxHeaderBytes) return Outcome::kHeaderTooLarge;
        const size_t before = buffer.size();
        const Outcome o = ReadSome(buffer, NetLimits::kMaxHeaderBytes - buffer.size(), deadline);
        if (o != Outcome::kOk) return o;
        headerEnd = wire::FindHeaderEnd(buffer, before >= 3 ? before - 3 : 0);
    }
    const auto length = wire::StrictContentLengthOf(std::string_view(buffer).substr(0, headerEnd));
    if (!length) return Outcome::kNoLength;
    if (*length > static_cast<long long>(NetLimits::kMaxRequestBytes)) return Outcome::kTooLarge;
    const size_t total = headerEnd + static_cast<size_t>(*length);
    if (buffer.size() > total) {  // bytes past the body are not ours
        buffer.resize(total);
        extraBytes_ = true;
    }
    buffer.reserve(total);
    while (buffer.size() < total) {
        const Outcome o = ReadSome(buffer, total - buffer.size(), deadline);
        if (o != Outcome::kOk) return o;
    }
    body = buffer.substr(headerEnd);
    return Outcome::kOk;
}
