// The in-flight budget: reservations within the limit, and a reservation that waits for room.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "net/InFlightBudget.h"

namespace {

using std::chrono::milliseconds;

TEST(InFlightBudgetTest, AReservationThatDoesNotFitFailsWithoutTakingAnything) {
    const struct {
        size_t held;  // reserved before, and never given back
        size_t asked;
        int maxWaiting;
        bool reserved;
    } rows[] = {
        {0, 100, 1, true},   // the whole limit
        {40, 60, 1, true},   // the rest
        {41, 60, 1, false},  // one byte too many: waits in vain
        {0, 101, 1, false},  // beyond the limit: never fits
        {100, 1, 0, false},  // nobody may wait
        {0, 0, 0, true},
    };
    for (const auto& row : rows) {
        InFlightBudget budget(100);
        ASSERT_TRUE(budget.TryReserve(row.held));
        EXPECT_EQ(budget.ReserveWithin(row.asked, milliseconds(20), row.maxWaiting), row.reserved)
            << row.held << " + " << row.asked;
        EXPECT_EQ(budget.used(), row.held + (row.reserved ? row.asked : 0));
    }
}

TEST(InFlightBudgetTest, AWaitingReservationTakesTheRoomGivenBack) {
    InFlightBudget budget(100);
    ASSERT_TRUE(budget.TryReserve(80));
    std::thread giver([&] {
        std::this_thread::sleep_for(milliseconds(50));
        budget.Release(80);
    });
    EXPECT_TRUE(budget.ReserveWithin(60, milliseconds(10000), 1));
    giver.join();
    EXPECT_EQ(budget.used(), 60u);
    budget.Release(60);
    EXPECT_EQ(budget.used(), 0u);
}

}  // namespace
