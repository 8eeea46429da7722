#include "kernel/TimeGuard.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <cstdlib>
#include <system_error>

#include "utils/logging/Logger.h"

namespace {
constexpr char kAlreadyStarted[] = "*ERROR* TimeGuard. Already started.";
constexpr char kStartedPriorityOk[] = "TimeGuard. Successfully started (priority changed OK).";
constexpr char kStartedPriorityFailed[] = "TimeGuard. Successfully started (priority change FAILED).";
constexpr char kStartFailed[] = "*ERROR* TimeGuard. Thread could not be started.";
constexpr char kStopped[] = "TimeGuard. Successfully stopped.";
constexpr char kNotRunning[] = "TimeGuard. Not running.";
}  // namespace

TimeGuard::TimeGuard(int limitMs, std::function<void()> onTimeout)
    : limitMs_(limitMs), onTimeout_(onTimeout ? std::move(onTimeout) : [] { std::abort(); }) {}

TimeGuard::~TimeGuard() { Stop(); }

const char* TimeGuard::Start() {
    if (flag_.load() != 0 || thread_.joinable()) {
        report_error("%s", kAlreadyStarted);
        return kAlreadyStarted;
    }
    flag_.store(1);
    try {
        thread_ = std::thread([this] { watch(); });
    } catch (const std::system_error&) {
        flag_.store(0);
        report_error("%s", kStartFailed);
        return kStartFailed;
    }
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    if (pthread_setschedparam(thread_.native_handle(), SCHED_FIFO, &param) == 0) return kStartedPriorityOk;
    report_error("%s", kStartedPriorityFailed);
    return kStartedPriorityFailed;
}

void TimeGuard::watch() {
    long elapsedMs = 0;
    while (flag_.load() != 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        elapsedMs += kPollMs;
        if (elapsedMs > limitMs_ && flag_.load() != 0) {
            report_error("*ERROR* TimeGuard. Timeout expired.");
            fired_.store(true);
            onTimeout_();
            return;  // only reached when a test replaced abort()
        }
    }
    flag_.fetch_add(1);
}

const char* TimeGuard::Stop() {
    if (!thread_.joinable()) return kNotRunning;
    flag_.fetch_sub(1);
    // The watchdog acknowledges by raising the flag back to 1; one that already fired never will.
    while (flag_.load() == 0 && !fired_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(kStopPollMs));
    flag_.store(0);
    thread_.join();
    return kStopped;
}
