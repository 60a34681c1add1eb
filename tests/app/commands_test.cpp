#include <gtest/gtest.h>

#include <climits>

#include "app/commands.h"
#include "app/paths.h"
#include "app/reply.h"
#include "app/settings.h"
#include "board/board.h"
#include "board/makemove.h"
#include "search/search.h"

namespace {

class CommandLoopState : public ::testing::Test {
protected:
    void SetUp() override {
        newGame();
        settings = Settings{5, 15, 8, 1, 1};
        setReportedTime(30000);
        periodPool = 0;
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
    EXPECT_EQ(timePool, 123);
    executeCommandLine("time 99\n");
    EXPECT_EQ(timePool, 0);
    executeCommandLine("time 0\n");
    EXPECT_EQ(timePool, 0);
    executeCommandLine("time 500\n");
    executeCommandLine("time\n");
    executeCommandLine("time -700\n");
    EXPECT_EQ(timePool, 5);
    executeCommandLine("time 99999999999\n");
    EXPECT_EQ(timePool, INT_MAX / 100);
    executeCommandLine("max_time 99999999999\n");
    EXPECT_EQ(settings.MAX_TIME, INT_MAX);
}

TEST_F(CommandLoopState, SwitchesAndColours) {
    executeCommandLine("notlib\n");
    executeCommandLine("notteach\n");
    EXPECT_EQ(settings.USELIB, 0);
    EXPECT_EQ(settings.USETEACH, 0);
    executeCommandLine("uselib\n");
    executeCommandLine("useteach\n");
    EXPECT_EQ(settings.USELIB, 1);
    EXPECT_EQ(settings.USETEACH, 1);
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
    EXPECT_EQ(periodPool, 300);
    EXPECT_EQ(settings.MAX_TIME, 7);
    EXPECT_EQ(settings.MIN_TIME, 7);
    EXPECT_EQ(settings.MIN_DEPTH, 14);

    gameRecord.count = 10;   // a loaded game: n = 5, the period was never filled
    periodPool = 0;
    allotMoveTime();
    EXPECT_EQ(settings.MAX_TIME, 3);

    setReportedTime(20000);
    gameRecord.count = 81;   // n = 0 again: refilled from the latest report
    allotMoveTime();
    EXPECT_EQ(periodPool, 200);
    EXPECT_EQ(settings.MAX_TIME, 5);
}

TEST_F(CommandLoopState, ChargingUsesTheSearchClock) {
    periodPool = 100;
    settings.MAX_TIME = 7;
    searchClock.startTime = 1000;
    searchClock.lastTime = 1009;
    chargeMoveTime();
    EXPECT_EQ(periodPool, 91);
    searchClock.lastTime = 1000;
    chargeMoveTime();
    EXPECT_EQ(periodPool, 84);
}

}  // namespace
