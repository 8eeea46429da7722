#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "utils/HeapSettings.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMallocReplaced = true;
#else
constexpr bool kMallocReplaced = false;
#endif

// In a child process: for a large request the reserve is there at once, and a block of several MiB
// (a request's text or answer) comes from the heap instead of a mapping of its own.
int HeapHoldsTheReserveAndLargeBlocks() {
    const auto start = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    HeapSettings::PrepareForOneRequest(HeapSettings::kOneRequestLargeBytes - 1);
    const auto before = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    HeapSettings::PrepareForOneRequest(HeapSettings::kOneRequestLargeBytes);
    const auto after = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    // A small request leaves the heap as it was.
    if (before != start) return 2;
    constexpr std::size_t kBlockBytes = HeapSettings::kOneRequestMmapThreshold / 4;
    void* volatile block = std::malloc(kBlockBytes);
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    const bool reserved = after - before >= HeapSettings::kOneRequestReserveBytes;
    // Mappings of their own lie far above the heap's end; heap blocks end below it.
    return reserved && at + kBlockBytes <= after ? 0 : 1;
}

}  // namespace

TEST(HeapSettingsDeathTest, OneRequestHeapIsReservedAtOnceAndHoldsLargeBlocks) {
    if (kMallocReplaced) GTEST_SKIP() << "the sanitizer's allocator has no such settings";
    EXPECT_EXIT(std::_Exit(HeapHoldsTheReserveAndLargeBlocks()), testing::ExitedWithCode(0), "");
}
