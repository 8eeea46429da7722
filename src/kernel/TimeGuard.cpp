#include "kernel/TimeGuard.h"

#include <signal.h>
#include <sys/time.h>

#include <cstdlib>

#include "utils/logging/Logger.h"

namespace {
constexpr char kAlreadyStarted[] = "*ERROR* TimeGuard. Already started.";
constexpr char kStartedOk[] = "TimeGuard. Successfully started (priority changed OK).";
constexpr char kStartFailed[] = "*ERROR* TimeGuard. Timer could not be started.";
constexpr char kTimeoutExpired[] = "*ERROR* TimeGuard. Timeout expired.";
constexpr char kCpuLimitExceeded[] = "*ERROR* TimeGuard. CPU time limit exceeded.";
constexpr char kStopped[] = "TimeGuard. Successfully stopped.";
constexpr char kNotRunning[] = "TimeGuard. Not running.";
constexpr int kMsPerSecond = 1000;
constexpr int kUsPerMs = 1000;

// The armed guard; the signal handler reads it.
std::atomic<TimeGuard*> armed{nullptr};

bool SetTimer(int which, int ms) {
    itimerval timer{};
    timer.it_value.tv_sec = ms / kMsPerSecond;
    timer.it_value.tv_usec = (ms % kMsPerSecond) * kUsPerMs;
    return setitimer(which, &timer, nullptr) == 0;
}

bool Handle(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    return sigaction(signal, &action, nullptr) == 0;
}

// Nothing else in the process handles these signals: installed at the first Start, the handlers
// stay for every later request.
bool HandledOnce(void (*handler)(int)) {
    static const bool handled = Handle(SIGALRM, handler) && Handle(SIGPROF, handler);
    return handled;
}

}  // namespace

TimeGuard::TimeGuard(int limitMs, std::function<void()> onTimeout, int cpuLimitMs)
    : limitMs_(limitMs),
      cpuLimitMs_(cpuLimitMs),
      onTimeout_(onTimeout ? std::move(onTimeout) : [] { std::abort(); }) {}

TimeGuard::~TimeGuard() { Stop(); }

void TimeGuard::OnSignal(int signal) {
    TimeGuard* guard = armed.exchange(nullptr);
    if (guard == nullptr) return;  // stopped while the signal was on its way
    guard->fired_ = true;
    LogFromSignalHandler(signal == SIGPROF ? kCpuLimitExceeded : kTimeoutExpired);
    guard->onTimeout_();
}

const char* TimeGuard::Start() {
    if (running_) {
        report_error("%s", kAlreadyStarted);
        return kAlreadyStarted;
    }
    TimeGuard* expected = nullptr;
    if (!HandledOnce(&TimeGuard::OnSignal) || !armed.compare_exchange_strong(expected, this)) {
        report_error("%s", kStartFailed);
        return kStartFailed;
    }
    fired_ = false;
    // The first 20 ms step past the limit, as a watchdog counting 20 ms waits would fire.
    if (!SetTimer(ITIMER_REAL, limitMs_ + kPollMs) || !SetTimer(ITIMER_PROF, cpuLimitMs_)) {
        SetTimer(ITIMER_REAL, 0);
        armed = nullptr;
        report_error("%s", kStartFailed);
        return kStartFailed;
    }
    running_ = true;
    return kStartedOk;
}

const char* TimeGuard::Stop() {
    if (!running_) return kNotRunning;
    SetTimer(ITIMER_REAL, 0);
    SetTimer(ITIMER_PROF, 0);
    TimeGuard* self = this;
    armed.compare_exchange_strong(self, nullptr);
    running_ = false;
    return kStopped;
}
