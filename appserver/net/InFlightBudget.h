#pragma once
// The memory the server holds for requests at once: a request's body, reserved when its header
// announces its length, then its working memory once it is whole; given back when its
// connection is done. Thread-safe.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>

class InFlightBudget {
  public:
    explicit InFlightBudget(size_t limit) : limit_(limit) {}

    // Reserves `bytes`; false (nothing reserved) when the total would go beyond the limit.
    bool TryReserve(size_t bytes) {
        size_t used = used_.load();
        do {
            if (bytes > limit_ || used > limit_ - bytes) return false;
        } while (!used_.compare_exchange_weak(used, used + bytes));
        return true;
    }

    // Reserves `bytes`, waiting up to `wait` for others to give room back. Only `maxWaiting`
    // callers wait at once (each holds a thread meanwhile); the others, and a reservation
    // beyond the whole limit, fail at once.
    bool ReserveWithin(size_t bytes, std::chrono::milliseconds wait, int maxWaiting) {
        if (TryReserve(bytes)) return true;
        if (bytes > limit_) return false;
        std::unique_lock<std::mutex> lock(mutex_);
        if (waiting_ >= maxWaiting) return false;
        ++waiting_;
        const bool reserved = released_.wait_for(lock, wait, [&] { return TryReserve(bytes); });
        --waiting_;
        return reserved;
    }

    void Release(size_t bytes) {
        if (bytes == 0) return;
        used_.fetch_sub(bytes);
        // Under the lock: a waiter between its check and its wait still sees the notification.
        { const std::lock_guard<std::mutex> lock(mutex_); }
        released_.notify_all();
    }
    size_t used() const { return used_.load(); }

  private:
    const size_t limit_;
    std::atomic<size_t> used_{0};
    std::mutex mutex_;
    std::condition_variable released_;
    int waiting_ = 0;  // guarded by mutex_
};
