#include "core/CallDeadline.h"

#include <poll.h>

namespace {

const CallDeadline kUnlimited;
thread_local const CallDeadline* current = &kUnlimited;

}  // namespace

CallDeadline::CallDeadline(int callMs, int suggestMs, int clientFd)
    : end_(Clock::now() + std::chrono::milliseconds(callMs)),
      suggestTime_(std::chrono::milliseconds(suggestMs)),
      clientFd_(clientFd) {}

bool CallDeadline::Expired() const { return Clock::now() >= end_ || ClientGone(); }

bool CallDeadline::SuggestionsSpent(Clock::time_point suggestionsBegan) const {
    return Clock::now() - suggestionsBegan >= suggestTime_ || Expired();
}

bool CallDeadline::ClientGone() const {
    if (gone_ || clientFd_ < 0) return gone_;
    const Clock::time_point now = Clock::now();
    if (now < nextProbe_) return false;
    nextProbe_ = now + std::chrono::milliseconds(kProbeEveryMs);
    // The client sends its whole request and then only waits: an end of stream or an error on
    // its connection means it gave up.
    pollfd probe{clientFd_, POLLRDHUP, 0};
    gone_ = ::poll(&probe, 1, 0) > 0 && (probe.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
    return gone_;
}

const CallDeadline& CallDeadline::Current() { return *current; }

CallDeadline::Scope::Scope(const CallDeadline& deadline) : previous_(current) {
    current = &deadline;
}

CallDeadline::Scope::~Scope() { current = previous_; }
