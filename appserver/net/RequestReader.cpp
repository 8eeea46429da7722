#include "net/RequestReader.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "wire/WireHeader.h"

namespace {

constexpr size_t kReadChunkBytes = 64u << 10;

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
        case Outcome::kBusy:
            return "Server busy: too much text in progress, try again later";
        default:
            return "";
    }
}

RequestReader::Outcome RequestReader::ReadAvailable(int fd) {
    for (;;) {
        // The header phase reads at most the header limit; the body is read with its exact
        // length, so nothing past it is taken.
        const size_t want =
            headerDone() ? total_ - buffer_.size() : NetLimits::kMaxHeaderBytes - buffer_.size();
        if (want == 0) return AfterRead();
        const size_t old = buffer_.size();
        buffer_.resize(old + std::min(want, kReadChunkBytes));
        const ssize_t got = ::recv(fd, buffer_.data() + old, buffer_.size() - old, MSG_DONTWAIT);
        buffer_.resize(old + (got > 0 ? static_cast<size_t>(got) : 0));
        if (got == 0) return Outcome::kClosed;
        if (got < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return Outcome::kNeedMore;
            return Outcome::kFailed;
        }
        const Outcome outcome = AfterRead();
        if (outcome != Outcome::kNeedMore) return outcome;
    }
}

RequestReader::Outcome RequestReader::AfterRead() {
    if (!headerDone()) {
        const size_t end = wire::FindHeaderEnd(buffer_, searchFrom_);
        // The end mark may straddle two reads: the next search starts just before the end.
        searchFrom_ = buffer_.size() >= 3 ? buffer_.size() - 3 : 0;
        if (end == std::string::npos) {
            return buffer_.size() >= NetLimits::kMaxHeaderBytes ? Outcome::kHeaderTooLarge
                                                                : Outcome::kNeedMore;
        }
        const auto length = wire::StrictContentLengthOf(std::string_view(buffer_).substr(0, end));
        if (!length) return Outcome::kNoLength;
        if (*length > static_cast<long long>(NetLimits::kMaxRequestBytes))
            return Outcome::kTooLarge;
        headerEnd_ = end;
        total_ = end + static_cast<size_t>(*length);
        if (buffer_.size() > total_) {  // bytes past the body are not ours
            buffer_.resize(total_);
            extraBytes_ = true;
        }
        return Outcome::kHeaderDone;
    }
    return buffer_.size() == total_ ? Outcome::kOk : Outcome::kNeedMore;
}

std::string RequestReader::TakeBody() {
    buffer_.erase(0, headerEnd_);
    headerEnd_ = 0;
    total_ = buffer_.size();
    return std::move(buffer_);
}
