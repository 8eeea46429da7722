#pragma once
// The processes of this machine as /proc shows them at one moment: for tests that check what a
// stopped service leaves behind.
#include <sys/types.h>

#include <vector>

namespace testsupport {

class ProcessTable {
  public:
    struct Entry {
        pid_t pid = 0;
        pid_t parent = 0;
        pid_t group = 0;
        char state = '?';
        // Clock ticks after boot: a pid used again later belongs to another process.
        unsigned long long start = 0;
    };

    // Reads /proc now.
    ProcessTable();

    // The live processes (not ended and waiting to be reaped) of process group `group`.
    std::vector<Entry> InGroup(pid_t group) const;
    // The live processes descended from `ancestor`, children first.
    std::vector<Entry> DescendantsOf(pid_t ancestor) const;
    // Those of `earlier` (another table's entries) that are the same processes, still alive.
    std::vector<Entry> StillAlive(const std::vector<Entry>& earlier) const;

  private:
    std::vector<Entry> entries_;
};

// In a process just forked from `parent`: SIGTERM when `parent` ends, and an end at once when it
// already has; so that nothing a test started outlives the test process.
void EndWithParent(pid_t parent);

}  // namespace testsupport
