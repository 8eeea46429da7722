#pragma once
// Bounds the time a FastCGI connection may take as a whole, where a socket time-out bounds only
// each silence: a client that trickles a byte now and then would otherwise hold its worker for
// as long as it likes. Once armed, the connection is shut down (the given direction) when its
// deadline passes; a blocked read then sees the end of the stream and a blocked write an error,
// so libfcgi gives up the connection and the worker goes on.
//
// The watchdog keeps its own duplicate of the descriptor while armed: whoever owns the
// connection may close it at any time without the watchdog touching a descriptor number that
// was reused meanwhile. One thread of its own; Arm, Extend and Disarm come from one other thread.
//
// Arming costs no wake-up of that thread, only an uncontended lock: the thread sleeps until the
// deadline it knew when it last woke and, finding a later one then, sleeps on. It is woken only
// when a deadline comes earlier than the time it is asleep until, which for a worker whose limit
// stays the same happens at most once per limit (after an idle spell). A worker pays no context
// switch per request.
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
    // have passed, unless Arm, Extend or Disarm comes first. Replaces what was armed before.
    void Arm(int fd, long limitMs, int how);
    // The connection armed last gets a new deadline, `limitMs` from now, and direction `how`,
    // without a new duplicate of its descriptor. Nothing when none is armed.
    void Extend(long limitMs, int how);
    void Disarm();
    // Connections cut since construction.
    long cut() const;

  private:
    // Under the lock: a new deadline, `limitMs` from now.
    void SetDeadline(long limitMs, int how);
    void Run();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    UniqueFd watched_;
    int how_ = 0;
    Clock::time_point deadline_ = Clock::time_point::max();
    // When the thread wakes of its own accord; max while it waits to be woken.
    Clock::time_point wakeAt_ = Clock::time_point::max();
    long cut_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};
