#include "utils/metrics/MetricCells.h"

#include <sys/mman.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

// Processes share the cells through plain atomic instructions: they must not need a lock.
static_assert(std::atomic_ref<std::uint64_t>::is_always_lock_free);

MetricCells::MetricCells(std::size_t count, Sharing sharing) : count_(count), sharing_(sharing) {
    if (sharing_ == Sharing::Private) {
        cells_ = new std::uint64_t[count_ == 0 ? 1 : count_]();
        return;
    }
    void* mapped = mmap(nullptr, (count_ == 0 ? 1 : count_) * sizeof(std::uint64_t),
                        PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::runtime_error(std::string("cannot map shared metrics: ") + std::strerror(errno));
    cells_ = static_cast<std::uint64_t*>(mapped);  // anonymous mappings start zeroed
}

MetricCells::~MetricCells() {
    if (sharing_ == Sharing::Private)
        delete[] cells_;
    else
        munmap(cells_, (count_ == 0 ? 1 : count_) * sizeof(std::uint64_t));
}
