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
constexpr char kStartedPriorityFailed[] =
    "TimeGuard. Successfully started (priority change FAILED).";
constexpr char kStartFailed[] = "*ERROR* TimeGuard. Thread could not be started.";
constexpr char kStopped[] = "TimeGuard. Successfully stopped.";
constexpr char kNotRunning[] = "TimeGuard. Not running.";
}  // namespace

TimeGuard::TimeGuard(int limitMs, std::function<void()> onTimeout)
    : limitMs_(limitMs), onTimeout_(onTimeout ? std::move(onTimeout) : [] { std::abort(); }) {}

TimeGuard::~TimeGuard() { Stop(); }

bool TimeGuard::fired() const {
    std::lock_guard lock(mutex_);
    return fired_;
}

const char* TimeGuard::Start() {
    {
        std::lock_guard lock(mutex_);
        if (running_ || thread_.joinable()) {
            report_error("%s", kAlreadyStarted);
            return kAlreadyStarted;
        }
        running_ = true;
        stopping_ = false;
    }
    try {
        thread_ = std::thread([this] { watch(); });
    } catch (const std::system_error&) {
        std::lock_guard lock(mutex_);
        running_ = false;
        report_error("%s", kStartFailed);
        return kStartFailed;
    }
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    if (pthread_setschedparam(thread_.native_handle(), SCHED_FIFO, &param) == 0)
        return kStartedPriorityOk;
    report_error("%s", kStartedPriorityFailed);
    return kStartedPriorityFailed;
}

void TimeGuard::watch() {
    long elapsedMs = 0;
    std::unique_lock lock(mutex_);
    while (
        !wake_.wait_for(lock, std::chrono::milliseconds(kPollMs), [this] { return stopping_; })) {
        elapsedMs += kPollMs;
        if (elapsedMs > limitMs_) {
            fired_ = true;
            lock.unlock();
            report_error("*ERROR* TimeGuard. Timeout expired.");
            onTimeout_();
            return;  // only reached when a test replaced abort()
        }
    }
}

const char* TimeGuard::Stop() {
    if (!thread_.joinable()) return kNotRunning;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    std::lock_guard lock(mutex_);
    running_ = false;
    return kStopped;
}
