#pragma once
// A value that goes up and down (a signed 64-bit integer), updated lock-free. A default-
// constructed Gauge records nothing. Copies update the same value; the cell belongs to the
// MetricsRegistry that made the gauge and must outlive every copy.
#include <atomic>
#include <cstdint>

class Gauge {
  public:
    Gauge() = default;
    explicit Gauge(std::uint64_t* cell) : cell_(cell) {}

    // Two's complement: adding the unsigned image of a negative step subtracts it.
    void Add(std::int64_t n) const {
        if (cell_)
            std::atomic_ref<std::uint64_t>(*cell_).fetch_add(static_cast<std::uint64_t>(n),
                                                             std::memory_order_relaxed);
    }
    void Set(std::int64_t n) const {
        if (cell_)
            std::atomic_ref<std::uint64_t>(*cell_).store(static_cast<std::uint64_t>(n),
                                                         std::memory_order_relaxed);
    }
    std::int64_t value() const {
        return cell_ ? static_cast<std::int64_t>(
                           std::atomic_ref<std::uint64_t>(*cell_).load(std::memory_order_relaxed))
                     : 0;
    }

  private:
    std::uint64_t* cell_ = nullptr;
};
