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

    // For a process that serves one request and ends (CGI). The heap is extended once by
    // kOneRequestReserveBytes (at most a quarter of the data limit the process starts with) and
    // the kernel is asked to back it with huge pages; blocks up to kOneRequestMmapThreshold come
    // from the heap, and nothing is given back before the end. A request of a few MiB touches
    // some 100 MB: with 4 KiB pages that was tens of thousands of page faults and TLB misses,
    // more time than the request's own work. Untouched reserve costs address space only. A
    // request under kOneRequestLargeBytes keeps glibc's defaults: clearing a huge page at its
    // first touch costs a small request more (about 0.6 ms of a 6 ms process) than it saves.
    static constexpr unsigned long kOneRequestReserveBytes = 128ul << 20;
    static constexpr unsigned long kOneRequestMmapThreshold = 32ul << 20;  // glibc's largest
    static constexpr unsigned long kOneRequestLargeBytes = 256ul << 10;
    static void PrepareForOneRequest(unsigned long long requestBytes);

    // Called once the process's data limit is lowered to limitBytes. A reserve taken before is
    // already counted and would let the request use it all whatever the limit: the free part
    // beyond a quarter of the limit is handed back, so that growth past it meets the limit.
    static void FitReserveUnder(unsigned long long limitBytes);
};
