#pragma once
// Watchdog of a request: a thread that wakes every 20 ms and, once more than `limitMs` have
// passed (counted in 20 ms waits, not read from a clock), logs "*ERROR* TimeGuard. Timeout
// expired." and calls `onTimeout` (abort() in the programs: no further output, no clean-up).
//
// Start and Stop are called from the request thread. Stop wakes the watchdog at once and
// returns after it has acknowledged (joined); when the thread never started, Stop returns at
// once. A stop costs no polling delay, which matters: every request process pays it.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class TimeGuard {
  public:
    static constexpr int kWatchdogLimitMs = 180000;
    static constexpr int kPollMs = 20;

    explicit TimeGuard(int limitMs = kWatchdogLimitMs, std::function<void()> onTimeout = nullptr);
    ~TimeGuard();
    TimeGuard(const TimeGuard&) = delete;
    TimeGuard& operator=(const TimeGuard&) = delete;

    const char* Start();
    const char* Stop();
    bool fired() const;

  private:
    void watch();

    const int limitMs_;
    std::function<void()> onTimeout_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool running_ = false;
    bool stopping_ = false;
    bool fired_ = false;
    std::thread thread_;
};
