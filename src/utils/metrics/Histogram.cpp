#include "utils/metrics/Histogram.h"

#include <atomic>
#include <bit>
#include <cmath>

const std::vector<double>& Histogram::LatencyBoundsSeconds() {
    static const std::vector<double> bounds = {0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1,
                                               0.25,  0.5,    1,     2.5,  5,     10,   30};
    return bounds;
}

void Histogram::Observe(double value) const {
    if (!cells_ || std::isnan(value)) return;  // a NaN would poison the sum for good
    std::size_t bucket = 0;
    while (bucket < bounds_->size() && value > (*bounds_)[bucket]) ++bucket;
    std::atomic_ref<std::uint64_t>(cells_[bucket]).fetch_add(1, std::memory_order_relaxed);
    std::atomic_ref<std::uint64_t> sum(cells_[bounds_->size() + 1]);
    std::uint64_t old = sum.load(std::memory_order_relaxed);
    while (!sum.compare_exchange_weak(
        old, std::bit_cast<std::uint64_t>(std::bit_cast<double>(old) + value),
        std::memory_order_relaxed)) {
    }
}

std::uint64_t Histogram::bucketCount(std::size_t index) const {
    if (!cells_ || index > bounds_->size()) return 0;
    return std::atomic_ref<std::uint64_t>(cells_[index]).load(std::memory_order_relaxed);
}

double Histogram::sum() const {
    if (!cells_) return 0;
    return std::bit_cast<double>(std::atomic_ref<std::uint64_t>(cells_[bounds_->size() + 1])
                                     .load(std::memory_order_relaxed));
}
