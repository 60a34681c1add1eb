#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <vector>

#include "support/process.h"

namespace {

// The protocol lines: everything that is not a remark.
std::vector<std::string> protocolLines(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& line : splitLines(text))
        if (line.rfind("# d:", 0) != 0 && line.rfind("# pv: ", 0) != 0) out.push_back(line);
    return out;
}

const std::regex moveLine(R"(move ([a-h][1-8][a-h][1-8][nbrq]?|o-o|o-o-o))");

TEST(Xboard, WhiteMoveIsAnsweredAfterTheTimeLimitLine) {
    // The interface reports 3 s: 3 / 40 is below the 3 s floor, which the
    // clock cannot afford; the move gets a share of the clock, under a second.
    EngineDir dir;
    RunResult r = dir.run("xboard\nprotover 2\ntime 300\notim 300\ne2e4\nquit\n", 30);
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lines = protocolLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], "feature done=1");
    EXPECT_EQ(lines[1], "# time limit: 0, pool: 3");
    EXPECT_TRUE(std::regex_match(lines[2], moveLine)) << lines[2];
}

TEST(Xboard, DefaultPoolGivesSevenSecondsForTheFirstMove) {
    EngineDir dir;
    RunResult r = dir.run("xboard\ne2e4\nquit\n", 30);
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lines = protocolLines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_EQ(lines[0], "# time limit: 7, pool: 300");
    EXPECT_TRUE(std::regex_match(lines[1], moveLine)) << lines[1];
}

TEST(Xboard, GoForTheOtherColourDoesNothing) {
    EngineDir dir;
    RunResult r = dir.run("xboard\ngo\nblack\ngo\nquit\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST(Xboard, WhiteThenGoMakesTheEngineMove) {
    EngineDir dir;
    RunResult r = dir.run("xboard\ntime 300\nwhite\ngo\nquit\n", 30);
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lines = protocolLines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_EQ(lines[0], "# time limit: 0, pool: 3");
    EXPECT_TRUE(std::regex_match(lines[1], moveLine)) << lines[1];
    // Black's reply is the interface's; it leaves White, the engine, to move.
}

TEST(Xboard, EngineMatesWhenItCan) {
    // Console moves set up the scholar's mate; from then on the engine plays White.
    EngineDir dir;
    RunResult r = dir.run("notlib\ne2e4\ne7e5\nf1c4\nb8c6\nd1h5\nxboard\nwhite\ng8f6\nquit\n", 30);
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lines = protocolLines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_EQ(lines[0], "# time limit: 3, pool: 0") << "move 3 of a period never refilled";
    EXPECT_EQ(lines[1], "move h5f7");
}

// Reads protocol lines (skipping the search's remarks) until one starts with
// the prefix; false if the output ends or stalls first.
bool readUntil(EngineProcess& engine, const std::string& prefix, std::vector<std::string>& seen) {
    std::string line;
    while (engine.readLine(line, 60)) {
        if (line.rfind("# d:", 0) == 0 || line.rfind("# pv: ", 0) == 0) continue;
        seen.push_back(line);
        if (line.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

TEST(Xboard, ForcedMovesGetNoReplyUntilGoAndNewEndsForceMode) {
    // GO plays the side to move (Black here); after NEW the engine plays
    // Black again and answers White's first move.
    EngineDir dir;
    EngineProcess engine(dir);
    engine.send("xboard\nnotlib\ntime 100\nforce\ne2e4\ne7e5\ng1f3\ngo\n");
    std::vector<std::string> seen;
    ASSERT_TRUE(readUntil(engine, "move ", seen));
    engine.send("force\nh2h3\nnew\ntime 100\nd2d4\nquit\n");
    ASSERT_TRUE(readUntil(engine, "move ", seen));
    RunResult r = engine.wait(60);
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(seen.size(), 4u) << seen[0];
    EXPECT_TRUE(std::regex_match(seen[1], moveLine)) << seen[1];
    EXPECT_TRUE(std::regex_match(seen[3], moveLine)) << seen[3];
    EXPECT_EQ(protocolLines(r.out), std::vector<std::string>{}) << "nothing after the reply to d2d4";
}

// The interface ends the game, or the session, while the engine thinks on a
// long clock (25 s for the move): the search stops at once.
TEST(XboardWhileThinking, GameEndsAndMoveNowAreHeard) {
    struct Case {
        const char* name;
        const char* lines;        // sent once the engine thinks
        const char* firstReply;   // the protocol line that must come next
    };
    const Case cases[] = {
        {"result and a new game: no move for the old one", "result 1-0 {adjudication}\nnew\ntime 100000\nd2d4\n",
         "# time limit: 25, pool: 1000"},
        {"force: no move", "force\nprotover 2\n", "feature done=1"},
        {"move now", "?\n", "move "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineDir dir;
        EngineProcess engine(dir);
        engine.send("xboard\nnotlib\ntime 100000\ne2e4\n");
        std::vector<std::string> seen;
        ASSERT_TRUE(readUntil(engine, "# time limit: 25, pool: 1000", seen));
        engine.send(c.lines);
        seen.clear();
        ASSERT_TRUE(readUntil(engine, c.firstReply, seen));
        EXPECT_EQ(seen.size(), 1u) << seen[0];   // nothing, no move above all, before the reply
        engine.send("?\nquit\n");
        RunResult r = engine.wait(60);
        EXPECT_EQ(r.status, 0);
    }
}

TEST(XboardWhileThinking, QuitEndsTheSearchAndSavesTheTeachTable) {
    EngineDir dir;
    EngineProcess engine(dir);
    engine.send("xboard\nnotlib\ntime 100000\ne2e4\n");
    std::vector<std::string> seen;
    ASSERT_TRUE(readUntil(engine, "# time limit: 25, pool: 1000", seen));
    engine.send("quit\n");
    RunResult r = engine.wait(20);   // well before the 25 s the move had
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.find("move "), std::string::npos) << r.out;
    ASSERT_TRUE(dir.exists("teach.dat"));
    EXPECT_EQ(dir.read("teach.dat").size() % 88, 0u);
}

TEST(XboardClock, MovesOnALowClockFitTheClock) {
    // Whole seconds left on the clock, and the limit printed for the move:
    // under a second where the floor of 3 s is more than the clock affords.
    struct Case {
        const char* time;
        const char* limitLine;
    };
    const Case cases[] = {
        {"time 100", "# time limit: 0, pool: 1"},
        {"time 500", "# time limit: 0, pool: 5"},
        {"time 6000", "# time limit: 1, pool: 60"},
        {"time 30000", "# time limit: 7, pool: 300"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        EngineDir dir;
        EngineProcess engine(dir);
        engine.send(std::string("xboard\nnotlib\n") + c.time + "\ne2e4\n");
        std::vector<std::string> lines;
        ASSERT_TRUE(readUntil(engine, "move ", lines));
        ASSERT_EQ(lines.size(), 2u) << lines[0];
        EXPECT_EQ(lines[0], c.limitLine);
        EXPECT_TRUE(std::regex_match(lines[1], moveLine)) << lines[1];
        engine.send("quit\n");
        EXPECT_EQ(engine.wait(30).status, 0);
    }
}

}  // namespace
