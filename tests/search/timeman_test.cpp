// The time manager's UCI rule: what a move may take of the time left.
#include <gtest/gtest.h>

#include "search/timeman.h"

namespace {

TEST(UciClock, MovesFitTheClockAndUseTheIncrement) {
    const struct {
        const char* name;
        int64_t time, increment;
        int64_t movesToGo, overhead, low, high;   // the budget lies within low..high
    } cases[] = {
        {"sudden death: a thirtieth", 60000, 0, 0, 30, 1900, 2100},
        {"10 s + 0.1 s", 10000, 100, 0, 30, 300, 500},
        {"1 s + 0.01 s", 1000, 10, 0, 30, 30, 50},
        {"40 moves in a minute, at the start", 60000, 0, 40, 30, 1400, 1600},
        {"the last move of the period keeps half", 1000, 0, 1, 30, 400, 500},
        {"a low clock: at once", 100, 0, 0, 30, 1, 5},
        {"the overhead eats the clock", 20, 0, 0, 30, 1, 1},
        {"increment beyond the clock is not spent", 50, 1000, 0, 0, 1, 25},
        {"no overhead", 30000, 0, 0, 0, 1000, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int64_t budget = uciMoveBudget(c.time, c.increment, c.movesToGo, c.overhead);
        EXPECT_GE(budget, c.low);
        EXPECT_LE(budget, c.high);
    }
}

}  // namespace
