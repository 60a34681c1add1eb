#include <gtest/gtest.h>

#include <climits>

#include "app/commands.h"
#include "app/paths.h"
#include "app/reply.h"
#include "app/settings.h"
#include "board/board.h"
#include "board/makemove.h"
#include "search/state.h"

namespace {

class CommandLoopState : public ::testing::Test {
protected:
    void SetUp() override {
        newGame();
        settings = Settings{};
        xboardClock = PeriodClock{};
        xboardMode = 0;
        engineColour = BLACK;
    }
};

TEST(ProgramDirectory, CutAfterTheLastSeparator) {
    EXPECT_EQ(programDirectory("/usr/local/bin/rotor"), "/usr/local/bin/");
    EXPECT_EQ(programDirectory("rotor"), "");
    EXPECT_EQ(programDirectory("C:\\games\\rotor.exe"), "C:\\games\\");
    EXPECT_EQ(programDirectory("a\\b/c\\rotor"), "a\\b/");   // forward slash first
    EXPECT_EQ(programDirectory("./rotor"), "./");
    EXPECT_EQ(programDirectory(nullptr), "");
}

TEST_F(CommandLoopState, TimeIsInHundredthsAndClamped) {
    executeCommandLine("TIME 12345\n");
    EXPECT_EQ(xboardClock.timePool, 123);
    executeCommandLine("time 99\n");
    EXPECT_EQ(xboardClock.timePool, 0);
    executeCommandLine("time 0\n");
    EXPECT_EQ(xboardClock.timePool, 0);
    executeCommandLine("time 500\n");
    executeCommandLine("time\n");
    executeCommandLine("time -700\n");
    EXPECT_EQ(xboardClock.timePool, 5);
    executeCommandLine("time 99999999999\n");
    EXPECT_EQ(xboardClock.timePool, INT_MAX / 100);
    executeCommandLine("max_time 99999999999\n");
    EXPECT_EQ(settings.maxTime, INT_MAX);
}

TEST_F(CommandLoopState, SwitchesAndColours) {
    executeCommandLine("notlib\n");
    executeCommandLine("notteach\n");
    EXPECT_FALSE(settings.useBook);
    EXPECT_FALSE(settings.useTeach);
    executeCommandLine("uselib\n");
    executeCommandLine("useteach\n");
    EXPECT_TRUE(settings.useBook);
    EXPECT_TRUE(settings.useTeach);
    executeCommandLine("white\n");
    EXPECT_EQ(engineColour, WHITE);
    EXPECT_EQ(xboardMode, 0);
    executeCommandLine("black\n");
    EXPECT_EQ(engineColour, BLACK);
    EXPECT_FALSE(executeCommandLine("quit\n"));
    EXPECT_TRUE(executeCommandLine("quitting\n"));
}

TEST_F(CommandLoopState, AllotmentSpreadsThePoolOverTheRestOfThePeriod) {
    gameRecord.count = 1;
    allotMoveTime();
    EXPECT_EQ(xboardClock.periodPool, 300);
    EXPECT_EQ(settings.maxTime, 7);
    EXPECT_EQ(settings.minTime, 7);
    EXPECT_EQ(settings.minDepth, 14);

    gameRecord.count = 10;   // a loaded game: n = 5, the period was never filled
    xboardClock.periodPool = 0;
    allotMoveTime();
    EXPECT_EQ(settings.maxTime, 3);

    reportTime(xboardClock, 20000);
    gameRecord.count = 81;   // n = 0 again: refilled from the latest report
    allotMoveTime();
    EXPECT_EQ(xboardClock.periodPool, 200);
    EXPECT_EQ(settings.maxTime, 5);
}

TEST_F(CommandLoopState, ChargingUsesTheSearchClock) {
    xboardClock.periodPool = 100;
    settings.maxTime = 7;
    searchState.clock.startTime = 1000;
    searchState.clock.lastTime = 1009;
    chargeMoveTime();
    EXPECT_EQ(xboardClock.periodPool, 91);
    searchState.clock.lastTime = 1000;
    chargeMoveTime();
    EXPECT_EQ(xboardClock.periodPool, 84);
}

}  // namespace
