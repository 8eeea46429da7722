#pragma once
// How a long-running process (a FastCGI worker, the engine server) keeps its heap between
// requests. glibc by default hands the top of the heap back to the kernel whenever some 128 KB
// are free there, so a process that serves request after request shrinks its heap after each
// one and faults the pages in again on the next (brk calls, page faults, TLB shootdowns).
// KeepForRequests keeps a working margin instead; GiveBack returns what is free (for an idle
// process).
class HeapSettings {
  public:
    // Free memory at the top of the heap is kept up to kTrimThreshold; each growth takes
    // kTopPad more; blocks below kMmapThreshold come from the heap (fixing the trim threshold
    // also fixes the mmap threshold, which glibc otherwise raises as it sees large blocks).
    static constexpr unsigned long kTrimThreshold = 64ul << 20;
    static constexpr unsigned long kTopPad = 8ul << 20;
    static constexpr unsigned long kMmapThreshold = 4ul << 20;

    static void KeepForRequests();
    static void GiveBack();
};
