#pragma once
// Bounds the time a FastCGI connection may take as a whole, where a socket time-out bounds only
// each silence: a client that trickles a byte now and then would otherwise hold its worker for
// as long as it likes. Once armed, the connection is shut down (the given direction) when its
// deadline passes; a blocked read then sees the end of the stream and a blocked write an error,
// so libfcgi gives up the connection and the worker goes on.
//
// The watchdog keeps its own duplicate of the descriptor while armed: whoever owns the
// connection may close it at any time without the watchdog touching a descriptor number that
// was reused meanwhile. One thread of its own; Arm and Disarm come from one other thread.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "client/UniqueFd.h"

class ConnectionWatchdog {
  public:
    using Clock = std::chrono::steady_clock;

    ConnectionWatchdog();
    ~ConnectionWatchdog();
    ConnectionWatchdog(const ConnectionWatchdog&) = delete;
    ConnectionWatchdog& operator=(const ConnectionWatchdog&) = delete;

    // From now on, `fd` is shut down in direction `how` (SHUT_RD, SHUT_RDWR) once `limitMs`
    // have passed, unless Arm or Disarm comes first. Replaces what was armed before.
    void Arm(int fd, long limitMs, int how);
    void Disarm();
    // Connections cut since construction.
    long cut() const;

  private:
    void Run();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    UniqueFd watched_;
    int how_ = 0;
    Clock::time_point deadline_ = Clock::time_point::max();
    long cut_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};
