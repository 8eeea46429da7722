#pragma once
// Watchdog of a request: a one-shot timer signal (SIGALRM, real time) armed by Start and
// disarmed by Stop. When it fires, more than `limitMs` after Start (the first 20 ms step past
// the limit), it logs "*ERROR* TimeGuard. Timeout expired." and calls `onTimeout` (abort() in
// the programs: no further output, no clean-up).
//
// A second one-shot timer (SIGPROF) counts the CPU time the process spends from Start: past
// `cpuLimitMs` it logs "*ERROR* TimeGuard. CPU time limit exceeded." and calls `onTimeout` the
// same way. It ends a request that keeps a core busy long before the wall-time limit, so that a
// few heavy requests cannot hold the workers that other clients wait for.
//
// No thread: arming and disarming are two system calls, which matters because every CGI
// process and every FastCGI request pays them. One TimeGuard may run at a time in a process
// (the timer is the process's); Start and Stop are called from the request thread. `onTimeout`
// runs in the signal handler: the programs' abort() is safe there; a test's may set a flag.
#include <atomic>
#include <functional>

class TimeGuard {
  public:
    static constexpr int kWatchdogLimitMs = 180000;
    static constexpr int kPollMs = 20;
    // A request within the size limits needs a few seconds of CPU at most.
    static constexpr int kCpuLimitMs = 10000;

    explicit TimeGuard(int limitMs = kWatchdogLimitMs, std::function<void()> onTimeout = nullptr,
                       int cpuLimitMs = kCpuLimitMs);
    ~TimeGuard();
    TimeGuard(const TimeGuard&) = delete;
    TimeGuard& operator=(const TimeGuard&) = delete;

    const char* Start();
    const char* Stop();
    bool fired() const { return fired_.load(); }

  private:
    static void OnSignal(int signal);

    const int limitMs_;
    const int cpuLimitMs_;
    std::function<void()> onTimeout_;
    bool running_ = false;
    std::atomic<bool> fired_{false};
};
