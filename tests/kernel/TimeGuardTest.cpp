#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "kernel/TimeGuard.h"

TEST(TimeGuardTest, StopReturnsAfterAcknowledgementWithoutFiring) {
    std::atomic<int> fired{0};
    TimeGuard guard(1000, [&] { ++fired; });
    EXPECT_NE(std::string(guard.Start()).find("TimeGuard. Successfully started"),
              std::string::npos);
    EXPECT_STREQ(guard.Stop(), "TimeGuard. Successfully stopped.");
    EXPECT_EQ(fired.load(), 0);
}

TEST(TimeGuardTest, StartingTwiceIsRefusedAndKeepsTheRunningWatchdog) {
    TimeGuard guard(1000, [] {});
    guard.Start();
    EXPECT_STREQ(guard.Start(), "*ERROR* TimeGuard. Already started.");
    EXPECT_STREQ(guard.Stop(), "TimeGuard. Successfully stopped.");
}

TEST(TimeGuardTest, FiresOnceLimitIsExceededAndStopStillReturns) {
    std::atomic<int> fired{0};
    TimeGuard guard(60, [&] { ++fired; });
    guard.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(fired.load(), 1);
    EXPECT_TRUE(guard.fired());
    EXPECT_STREQ(guard.Stop(), "TimeGuard. Successfully stopped.");
}

TEST(TimeGuardTest, StopWithoutStartDoesNotWait) {
    TimeGuard guard(1000, [] {});
    EXPECT_STREQ(guard.Stop(), "TimeGuard. Not running.");
}

TEST(TimeGuardDeathTest, DefaultTimeoutAbortsTheProcess) {
    EXPECT_DEATH(
        {
            TimeGuard guard(40);
            guard.Start();
            std::this_thread::sleep_for(std::chrono::seconds(5));
        },
        "");
}

TEST(TimeGuardTest, AStoppedGuardNeverFiresLaterAndANewOneCanStart) {
    std::atomic<int> fired{0};
    {
        TimeGuard first(30, [&] { ++fired; });
        first.Start();
        first.Stop();
    }
    TimeGuard second(1000, [&] { ++fired; });
    EXPECT_NE(std::string(second.Start()).find("Successfully started"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    second.Stop();
    EXPECT_EQ(fired.load(), 0);
}

// A request that keeps the processor busy is ended by its CPU time, long before the wall limit.
TEST(TimeGuardTest, FiresOnceTheCpuLimitIsSpent) {
    std::atomic<int> fired{0};
    TimeGuard guard(
        60000, [&] { ++fired; }, 50);
    guard.Start();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    volatile unsigned long spin = 0;
    while (fired.load() == 0 && std::chrono::steady_clock::now() < end) spin = spin + 1;
    EXPECT_EQ(fired.load(), 1);
    EXPECT_STREQ(guard.Stop(), "TimeGuard. Successfully stopped.");
}
