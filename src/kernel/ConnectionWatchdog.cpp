#include "kernel/ConnectionWatchdog.h"

#include <sys/socket.h>
#include <unistd.h>

ConnectionWatchdog::ConnectionWatchdog() : thread_([this] { Run(); }) {}

ConnectionWatchdog::~ConnectionWatchdog() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_one();
    thread_.join();
}

void ConnectionWatchdog::Arm(int fd, long limitMs, int how) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        watched_.reset(::dup(fd));
        how_ = how;
        deadline_ = watched_.valid() ? Clock::now() + std::chrono::milliseconds(limitMs)
                                     : Clock::time_point::max();
    }
    changed_.notify_one();
}

void ConnectionWatchdog::Disarm() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        watched_.reset();
        deadline_ = Clock::time_point::max();
    }
    changed_.notify_one();
}

long ConnectionWatchdog::cut() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return cut_;
}

void ConnectionWatchdog::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (deadline_ == Clock::time_point::max()) {
            changed_.wait(lock);
            continue;
        }
        if (changed_.wait_until(lock, deadline_) != std::cv_status::timeout) continue;
        if (Clock::now() < deadline_ || !watched_.valid()) continue;
        ::shutdown(watched_.get(), how_);
        watched_.reset();
        deadline_ = Clock::time_point::max();
        ++cut_;
    }
}
