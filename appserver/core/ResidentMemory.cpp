#include "core/ResidentMemory.h"

#include <unistd.h>

#include <fstream>

size_t ResidentMemory::MiB() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) return 0;
    return resident * static_cast<size_t>(::sysconf(_SC_PAGESIZE)) >> 20;
}
