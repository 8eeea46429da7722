#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "kernel/ConnectionWatchdog.h"

namespace {

constexpr long kShortMs = 50;
// A first deadline that the very next call must beat even on a loaded machine.
constexpr long kMediumMs = 1000;
constexpr long kLongMs = 60000;
// How long a cut may take to show, and how long an uncut connection is watched (past kMediumMs).
constexpr int kCutShowsWithinMs = 5000;
constexpr int kUncutWatchedMs = 1300;

// Whether the peer of a cut end sees the end of the stream within `waitMs`.
bool PeerSeesEnd(int peer, int waitMs) {
    pollfd p{peer, POLLIN, 0};
    char byte = 0;
    return poll(&p, 1, waitMs) == 1 && recv(peer, &byte, 1, 0) == 0;
}

}  // namespace

TEST(ConnectionWatchdogTest, CutsAtTheLatestDeadlineOnly) {
    enum class Then { kNothing, kArm, kExtend, kDisarm, kDisarmIdleArm };
    const struct {
        const char* story;
        long firstMs;  // 0: not armed first
        Then then;
        long thenMs;
        bool cut;
    } rows[] = {
        {"cut at its deadline", kShortMs, Then::kNothing, 0, true},
        {"a nearer deadline wakes the sleeping watchdog", kLongMs, Then::kArm, kShortMs, true},
        {"extended to a nearer deadline", kLongMs, Then::kExtend, kShortMs, true},
        {"extended further is not cut at the first deadline", kMediumMs, Then::kExtend, kLongMs,
         false},
        {"disarmed, never cut", kMediumMs, Then::kDisarm, 0, false},
        {"extending what was never armed arms nothing", 0, Then::kExtend, kShortMs, false},
        {"armed again after an idle spell", kMediumMs, Then::kDisarmIdleArm, kShortMs, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.story);
        int ends[2];
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        {
            ConnectionWatchdog watchdog;
            if (row.firstMs > 0) watchdog.Arm(ends[0], row.firstMs, SHUT_RDWR);
            switch (row.then) {
                case Then::kNothing:
                    break;
                case Then::kArm:
                    watchdog.Arm(ends[0], row.thenMs, SHUT_RDWR);
                    break;
                case Then::kExtend:
                    watchdog.Extend(row.thenMs, SHUT_RDWR);
                    break;
                case Then::kDisarm:
                    watchdog.Disarm();
                    break;
                case Then::kDisarmIdleArm:
                    watchdog.Disarm();
                    // Past the first deadline: the thread has woken to nothing and sleeps on.
                    std::this_thread::sleep_for(std::chrono::milliseconds(row.firstMs + 200));
                    watchdog.Arm(ends[0], row.thenMs, SHUT_RDWR);
                    break;
            }
            EXPECT_EQ(PeerSeesEnd(ends[1], row.cut ? kCutShowsWithinMs : kUncutWatchedMs), row.cut);
            EXPECT_EQ(watchdog.cut(), row.cut ? 1 : 0);
        }
        close(ends[0]);
        close(ends[1]);
    }
}
