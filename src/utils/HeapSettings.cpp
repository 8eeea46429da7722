#include "utils/HeapSettings.h"

#include <malloc.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

// A sanitizer's allocator replaces malloc but not mallopt or malloc_trim: these would act on
// glibc arenas that hold nothing, and malloc_trim walks arenas the replaced allocator never set
// up (it faults when threads call it at once).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VERBARIUM_MALLOC_REPLACED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define VERBARIUM_MALLOC_REPLACED 1
#endif
#endif

#ifdef VERBARIUM_MALLOC_REPLACED
void HeapSettings::KeepForRequests() {}
void HeapSettings::GiveBack() {}
void HeapSettings::PrepareForOneRequest(unsigned long long) {}
void HeapSettings::FitReserveUnder(unsigned long long) {}
#else
namespace {

constexpr std::uintptr_t kHugePageBytes = 2u << 20;
// More than the top of a young heap has free, less than the mmap threshold: the heap grows.
constexpr std::size_t kGrowthProbeBytes = HeapSettings::kOneRequestMmapThreshold / 2;

// What PrepareForOneRequest reserved; 0 until it does.
std::size_t reservedBytes = 0;

std::size_t OneRequestReserve() {
    rlimit data{};
    if (::getrlimit(RLIMIT_DATA, &data) != 0 || data.rlim_cur == RLIM_INFINITY)
        return HeapSettings::kOneRequestReserveBytes;
    return std::min<std::size_t>(HeapSettings::kOneRequestReserveBytes, data.rlim_cur / 4);
}

}  // namespace

void HeapSettings::PrepareForOneRequest(unsigned long long requestBytes) {
    if (requestBytes < kOneRequestLargeBytes) return;
    const std::size_t reserve = OneRequestReserve();
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kOneRequestMmapThreshold));
    ::mallopt(M_TRIM_THRESHOLD, INT_MAX);
    ::mallopt(M_TOP_PAD, static_cast<int>(reserve));
    const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    // The first block the free top cannot hold grows the heap by the block and the pad at once
    // (held in a volatile so that the compiler keeps the pair of calls).
    void* volatile probe = std::malloc(kGrowthProbeBytes);
    std::free(probe);
    const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    ::mallopt(M_TOP_PAD, static_cast<int>(kTopPad));
    reservedBytes = reserve;
    const std::uintptr_t first = (before + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    const std::uintptr_t last = after & ~(kHugePageBytes - 1);
    // Advice only: where the kernel cannot follow it, pages stay small.
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

void HeapSettings::FitReserveUnder(unsigned long long limitBytes) {
    const unsigned long long keep = limitBytes / 4;
    if (reservedBytes == 0 || keep >= reservedBytes) return;
    ::malloc_trim(static_cast<std::size_t>(keep));
    reservedBytes = static_cast<std::size_t>(keep);
}

void HeapSettings::KeepForRequests() {
    ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(kTrimThreshold));
    ::mallopt(M_TOP_PAD, static_cast<int>(kTopPad));
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMmapThreshold));
}

void HeapSettings::GiveBack() { ::malloc_trim(0); }
#endif
