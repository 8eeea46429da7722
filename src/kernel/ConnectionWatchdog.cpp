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

void ConnectionWatchdog::SetDeadline(long limitMs, int how) {
    how_ = how;
    deadline_ = watched_.valid() ? Clock::now() + std::chrono::milliseconds(limitMs)
                                 : Clock::time_point::max();
    // A later deadline waits for the thread's own wake-up, which then sleeps on to it.
    if (deadline_ < wakeAt_) changed_.notify_one();
}

void ConnectionWatchdog::Arm(int fd, long limitMs, int how) {
    const std::lock_guard<std::mutex> lock(mutex_);
    watched_.reset(::dup(fd));
    SetDeadline(limitMs, how);
}

void ConnectionWatchdog::Extend(long limitMs, int how) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (watched_.valid()) SetDeadline(limitMs, how);
}

void ConnectionWatchdog::Disarm() {
    const std::lock_guard<std::mutex> lock(mutex_);
    watched_.reset();
    deadline_ = Clock::time_point::max();
}

long ConnectionWatchdog::cut() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return cut_;
}

void ConnectionWatchdog::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (watched_.valid() && Clock::now() >= deadline_) {
            ::shutdown(watched_.get(), how_);
            watched_.reset();
            deadline_ = Clock::time_point::max();
            ++cut_;
        }
        wakeAt_ = deadline_;
        if (wakeAt_ == Clock::time_point::max())
            changed_.wait(lock);
        else
            changed_.wait_until(lock, wakeAt_);
    }
}
