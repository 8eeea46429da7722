#pragma once
// The process's resident memory, for the start and index log lines.
#include <cstddef>

class ResidentMemory {
  public:
    // Resident MiB, pages of mapped files included; 0 where /proc cannot tell.
    static size_t MiB();
};
