#include "utils/HeapSettings.h"

#include <malloc.h>

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
#else
void HeapSettings::KeepForRequests() {
    ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(kTrimThreshold));
    ::mallopt(M_TOP_PAD, static_cast<int>(kTopPad));
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMmapThreshold));
}

void HeapSettings::GiveBack() { ::malloc_trim(0); }
#endif
