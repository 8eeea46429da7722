// The engine gives its free heap back once per idle spell, not while it serves.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/IdleTrimmer.h"

namespace {

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

TEST(IdleTrimmerTest, TrimsOncePerIdleSpell) {
    constexpr int kIdleMs = 20;
    std::atomic<unsigned long long> served{0};
    IdleTrimmer trimmer([&] { return served.load(); }, kIdleMs);
    Sleep(kIdleMs * 6);
    EXPECT_EQ(trimmer.trims(), 1u);  // idle since the start: one trim, not one per look
    for (int i = 0; i < 12; ++i) {   // busy: a request every half period
        ++served;
        Sleep(kIdleMs / 2);
    }
    const unsigned long long whileBusy = trimmer.trims();
    Sleep(kIdleMs * 6);
    EXPECT_EQ(trimmer.trims(), whileBusy + 1);
}

}  // namespace
