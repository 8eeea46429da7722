#include <gtest/gtest.h>
#include <sys/resource.h>
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

// In a child process: a data limit set after the reserve was taken still holds. Without the
// reserve handed back, blocks up to the whole reserve came from it whatever the limit.
int LimitLoweredAfterTheReserveHolds() {
    constexpr rlim_t kLimit = 48ul << 20;
    HeapSettings::PrepareForOneRequest(HeapSettings::kOneRequestLargeBytes);
    rlimit limit{};
    if (::getrlimit(RLIMIT_DATA, &limit) != 0) return 2;
    limit.rlim_cur = kLimit;
    if (::setrlimit(RLIMIT_DATA, &limit) != 0) return 2;
    HeapSettings::FitReserveUnder(kLimit);
    constexpr std::size_t kBlockBytes = 4u << 20;
    for (std::size_t taken = 0; taken < HeapSettings::kOneRequestReserveBytes; taken += kBlockBytes)
        if (std::malloc(kBlockBytes) == nullptr) return taken <= kLimit ? 0 : 1;
    return 1;
}

struct ChildCase {
    const char* name;
    int (*run)();
};

}  // namespace

TEST(HeapSettingsDeathTest, OneRequestHeapInAChildProcess) {
    if (kMallocReplaced) GTEST_SKIP() << "the sanitizer's allocator has no such settings";
    const ChildCase cases[] = {
        {"reserved at once and holds large blocks", HeapHoldsTheReserveAndLargeBlocks},
        {"a limit lowered after the reserve holds", LimitLoweredAfterTheReserveHolds},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(std::_Exit(c.run()), testing::ExitedWithCode(0), "");
    }
}
