#pragma once
// The values of a metrics registry: a fixed number of 64-bit cells, all zero at first, updated
// with atomic operations only. Private cells live on the heap; shared cells live in an anonymous
// shared mapping, so that processes forked after construction update and read the same values
// (the FastCGI workers and the process that serves their metrics).
#include <cstddef>
#include <cstdint>

class MetricCells {
  public:
    enum class Sharing { Private, SharedAcrossFork };

    // Throws std::runtime_error when the shared mapping cannot be made.
    MetricCells(std::size_t count, Sharing sharing);
    ~MetricCells();
    MetricCells(const MetricCells&) = delete;
    MetricCells& operator=(const MetricCells&) = delete;

    std::size_t count() const { return count_; }
    // Cell `index` (< count()); stays valid for the life of this object.
    std::uint64_t* at(std::size_t index) { return cells_ + index; }

  private:
    std::uint64_t* cells_ = nullptr;
    std::size_t count_;
    Sharing sharing_;
};
