#pragma once
// The limits of one engine call: the time the whole call may take, the shorter time its
// suggestions may take, and the connection of the client that waits for it. Work that can stop
// early (suggestions, word by word) asks between steps and answers the rest without it; the
// answer stays well-formed. Asking is cheap: the socket is looked at once per kProbeEveryMs.
//
// The server's worker installs the deadline of the call it serves (Scope) for the services to
// read (Current); outside a call (tests, benchmarks) Current has no limits. A deadline belongs
// to one thread.
#include <chrono>

class CallDeadline {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kProbeEveryMs = 20;

    // No limits and no client.
    CallDeadline() = default;
    // From now: `callMs` for the call; `suggestMs` for its suggestions; `clientFd` (-1: none)
    // is the client's connection, read by nobody meanwhile.
    CallDeadline(int callMs, int suggestMs, int clientFd);

    // The call's time has passed or its client has closed the connection.
    bool Expired() const;
    // Expired, or the time for suggestions, counted from `suggestionsBegan`, has passed.
    bool SuggestionsSpent(Clock::time_point suggestionsBegan) const;

    // The deadline of the call this thread serves.
    static const CallDeadline& Current();

    // Makes `deadline` the current one of this thread for the life of the scope.
    class Scope {
      public:
        explicit Scope(const CallDeadline& deadline);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        const CallDeadline* previous_;
    };

  private:
    bool ClientGone() const;

    Clock::time_point end_ = Clock::time_point::max();
    Clock::duration suggestTime_ = Clock::duration::max();
    int clientFd_ = -1;
    mutable Clock::time_point nextProbe_{};
    mutable bool gone_ = false;
};
