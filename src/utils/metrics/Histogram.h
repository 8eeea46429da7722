#pragma once
// Observations counted in fixed buckets, as in Prometheus: the upper bounds are given once, in
// increasing order; an observation goes to the first bucket whose bound it does not exceed, or
// to the last (+Inf) one. Updates are lock-free: one bucket count and the sum. A default-
// constructed Histogram records nothing. The cells and bounds belong to the MetricsRegistry that
// made the histogram and must outlive every copy.
#include <cstddef>
#include <cstdint>
#include <vector>

class Histogram {
  public:
    // Seconds, from a fast cache hit to the slowest request worth telling apart.
    static const std::vector<double>& LatencyBoundsSeconds();

    Histogram() = default;
    // `cells`: one count per bound, one for +Inf, then the sum (bits of a double).
    Histogram(const std::vector<double>* bounds, std::uint64_t* cells)
        : bounds_(bounds), cells_(cells) {}

    void Observe(double value) const;

    // Read-outs for rendering: count of bucket `index` (not cumulative; index bounds().size() is
    // +Inf) and the sum of all observations.
    std::uint64_t bucketCount(std::size_t index) const;
    double sum() const;
    std::size_t bucketTotal() const { return bounds_ ? bounds_->size() + 1 : 0; }

  private:
    const std::vector<double>* bounds_ = nullptr;
    std::uint64_t* cells_ = nullptr;
};
