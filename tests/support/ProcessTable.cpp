#include "support/ProcessTable.h"

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "support/TestSupport.h"

namespace testsupport {
namespace {

// /proc/PID/stat: "pid (name) state parent group session tty tpgid flags minflt cminflt majflt
// cmajflt utime stime cutime cstime priority nice threads itrealvalue starttime ..."; the name
// may hold spaces and parentheses, so the fields are counted from the last ')'. Between the
// group and the start time: session to itrealvalue.
constexpr int kFieldsBeforeStart = 16;

bool Parse(const std::string& stat, ProcessTable::Entry& entry) {
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return false;
    entry.pid = static_cast<pid_t>(std::atoll(stat.c_str()));
    std::istringstream fields(stat.substr(close + 1));
    std::string skipped;
    fields >> entry.state >> entry.parent >> entry.group;
    for (int i = 0; i < kFieldsBeforeStart && fields; ++i) fields >> skipped;
    fields >> entry.start;
    return static_cast<bool>(fields) && entry.pid > 0;
}

bool Live(const ProcessTable::Entry& entry) { return entry.state != 'Z' && entry.state != 'X'; }

}  // namespace

ProcessTable::ProcessTable() {
    std::error_code error;
    for (const auto& dir : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = dir.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        Entry entry;
        if (Parse(ReadFile(dir.path() / "stat"), entry)) entries_.push_back(entry);
    }
}

std::vector<ProcessTable::Entry> ProcessTable::InGroup(pid_t group) const {
    std::vector<Entry> found;
    for (const Entry& e : entries_)
        if (e.group == group && Live(e)) found.push_back(e);
    return found;
}

std::vector<ProcessTable::Entry> ProcessTable::DescendantsOf(pid_t ancestor) const {
    std::vector<Entry> found;
    std::vector<pid_t> parents = {ancestor};
    // Breadth first: each round adds the children of the round before.
    for (size_t next = 0; next < parents.size(); ++next)
        for (const Entry& e : entries_)
            if (e.parent == parents[next] && Live(e)) {
                found.push_back(e);
                parents.push_back(e.pid);
            }
    return found;
}

std::vector<ProcessTable::Entry> ProcessTable::StillAlive(const std::vector<Entry>& earlier) const {
    std::vector<Entry> found;
    for (const Entry& old : earlier)
        if (std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) {
                return e.pid == old.pid && e.start == old.start && Live(e);
            }))
            found.push_back(old);
    return found;
}

void EndWithParent(pid_t parent) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(0);
}

}  // namespace testsupport
