// The FastCGI supervisor of "--fastcgi ... --workers N": however it ends, no worker outlives it,
// and a worker that ends is replaced.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "kernel/FastCgiServer.h"
#include "support/FakeEngineServer.h"
#include "support/ProcessTable.h"

using testsupport::ProcessTable;

namespace {

constexpr int kWorkers = 3;
// Far above what starting or stopping takes, far below a hang.
constexpr auto kWait = std::chrono::seconds(10);

bool WaitUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + kWait;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A supervisor of kWorkers workers in a child process that leads a process group of its own,
// so that the group is the supervisor and its workers. Anything left is killed at the end.
class SupervisorProcess {
  public:
    SupervisorProcess() {
        const unsigned short port = testsupport::UnusedLoopbackPort();
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            const int listener = FastCgiServer::OpenListener(":" + std::to_string(port));
            if (listener < 0) _exit(3);
            _exit(FastCgiServer(listener).Supervise(kWorkers, [] {}));
        }
        if (pid_ > 0) setpgid(pid_, pid_);  // whichever of the two comes first
    }
    ~SupervisorProcess() {
        for (const auto& e : Members()) kill(e.pid, SIGKILL);
        if (pid_ > 0 && !ended_) waitpid(pid_, nullptr, 0);
    }
    SupervisorProcess(const SupervisorProcess&) = delete;
    SupervisorProcess& operator=(const SupervisorProcess&) = delete;

    pid_t pid() const { return pid_; }
    std::vector<ProcessTable::Entry> Members() const { return ProcessTable().InGroup(pid_); }
    std::vector<ProcessTable::Entry> Workers() const {
        auto members = Members();
        std::erase_if(members, [this](const auto& e) { return e.pid == pid_; });
        return members;
    }
    bool WorkersRunning() const {
        return WaitUntil([this] { return Workers().size() == kWorkers; });
    }
    // Whether the supervisor ended within kWait; its wait status in `status`.
    bool Ended(int& status) {
        ended_ = WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; });
        return ended_;
    }

  private:
    pid_t pid_ = -1;
    bool ended_ = false;
};

}  // namespace

TEST(FastCgiSupervisionTest, NoWorkerOutlivesItsSupervisor) {
    struct Case {
        const char* name;
        int signal;
        // The supervisor's own end: an exit status, or -1 for the signal's.
        int exitStatus;
    };
    const Case cases[] = {
        {"stopped by SIGTERM", SIGTERM, 0},
        {"stopped by SIGINT (Ctrl-C)", SIGINT, 0},
        {"killed (SIGKILL: no chance to stop its workers)", SIGKILL, -1},
        {"ended by a signal it does not handle (SIGHUP)", SIGHUP, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SupervisorProcess supervisor;
        ASSERT_GT(supervisor.pid(), 0);
        ASSERT_TRUE(supervisor.WorkersRunning()) << supervisor.Members().size() << " processes";
        kill(supervisor.pid(), c.signal);
        int status = 0;
        ASSERT_TRUE(supervisor.Ended(status));
        if (c.exitStatus >= 0)
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitStatus) << status;
        else
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        EXPECT_TRUE(WaitUntil([&] { return supervisor.Members().empty(); }))
            << supervisor.Members().size() << " workers left";
    }
}

TEST(FastCgiSupervisionTest, AWorkerThatEndsIsReplaced) {
    SupervisorProcess supervisor;
    ASSERT_GT(supervisor.pid(), 0);
    ASSERT_TRUE(supervisor.WorkersRunning());
    const pid_t ended = supervisor.Workers().front().pid;
    kill(ended, SIGKILL);
    EXPECT_TRUE(WaitUntil([&] {
        const auto workers = supervisor.Workers();
        return workers.size() == kWorkers &&
               std::none_of(workers.begin(), workers.end(),
                            [&](const auto& e) { return e.pid == ended; });
    }));
    kill(supervisor.pid(), SIGTERM);
    int status = 0;
    EXPECT_TRUE(supervisor.Ended(status));
}
