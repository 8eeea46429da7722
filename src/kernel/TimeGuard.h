#pragma once
// Watchdog of a request: a thread that polls a flag every 20 ms and, once more than `limitMs`
// have passed (counted in sleeps, not read from a clock), logs "*ERROR* TimeGuard. Timeout
// expired." and calls `onTimeout` (abort() in the programs: no further output, no clean-up).
//
// Start and Stop are called from the request thread. Stop returns only after the watchdog has
// acknowledged; when the thread never started, Stop returns at once.
#include <atomic>
#include <functional>
#include <thread>

class TimeGuard {
public:
    static constexpr int kWatchdogLimitMs = 180000;
    static constexpr int kPollMs = 20;
    static constexpr int kStopPollMs = 10;

    explicit TimeGuard(int limitMs = kWatchdogLimitMs, std::function<void()> onTimeout = nullptr);
    ~TimeGuard();
    TimeGuard(const TimeGuard&) = delete;
    TimeGuard& operator=(const TimeGuard&) = delete;

    const char* Start();
    const char* Stop();
    bool fired() const { return fired_.load(); }

private:
    void watch();

    const int limitMs_;
    std::function<void()> onTimeout_;
    std::atomic<int> flag_{0};  // 0 not running, 1 running; the watchdog acknowledges a stop by 0 -> 1
    std::atomic<bool> fired_{false};
    std::thread thread_;
};
