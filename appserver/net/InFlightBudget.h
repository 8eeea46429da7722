#pragma once
// The request bytes the server holds at once, reserved when a request's header announces its
// length and given back when its connection is done. Thread-safe.
#include <atomic>
#include <cstddef>

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
    void Release(size_t bytes) { used_.fetch_sub(bytes); }
    size_t used() const { return used_.load(); }

  private:
    const size_t limit_;
    std::atomic<size_t> used_{0};
};
