#pragma once
// A monotonically increasing count, updated lock-free. A default-constructed Counter counts
// nothing (metrics switched off). Copies update the same value; the cell belongs to the
// MetricsRegistry that made the counter and must outlive every copy.
#include <atomic>
#include <cstdint>

class Counter {
  public:
    Counter() = default;
    explicit Counter(std::uint64_t* cell) : cell_(cell) {}

    void Add(std::uint64_t n = 1) const {
        if (cell_) std::atomic_ref<std::uint64_t>(*cell_).fetch_add(n, std::memory_order_relaxed);
    }
    std::uint64_t value() const {
        return cell_ ? std::atomic_ref<std::uint64_t>(*cell_).load(std::memory_order_relaxed) : 0;
    }

  private:
    std::uint64_t* cell_ = nullptr;
};
