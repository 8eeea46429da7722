#include "utils/HeapSettings.h"

#include <malloc.h>

void HeapSettings::KeepForRequests() {
    ::mallopt(M_TRIM_THRESHOLD, static_cast<int>(kTrimThreshold));
    ::mallopt(M_TOP_PAD, static_cast<int>(kTopPad));
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMmapThreshold));
}

void HeapSettings::GiveBack() { ::malloc_trim(0); }
