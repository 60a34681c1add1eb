#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <vector>

#include "support/process.h"

namespace {

std::vector<std::string> outputLines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

// The protocol lines: everything that is not a remark.
std::vector<std::string> protocolLines(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& line : outputLines(text))
        if (line.rfind("# d:", 0) != 0 && line.rfind("# pv: ", 0) != 0) out.push_back(line);
    return out;
}

const std::regex moveLine(R"(move ([a-h][1-8][a-h][1-8][nbrq]?|o-o|o-o-o))");

TEST(Xboard, WhiteMoveIsAnsweredAfterTheTimeLimitLine) {
    // The interface reports 3 s: the allotment is 3 / 40, raised to 3 s.
    EngineDir dir;
    RunResult r = dir.run("xboard\nprotover 2\ntime 300\notim 300\ne2e4\nquit\n", 30);
    ASSERT_EQ(r.status, 0);
    std::vector<std::string> lines = protocolLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], "feature done=1");
    EXPECT_EQ(lines[1], "# time limit: 3, pool: 3");
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
    EXPECT_EQ(lines[0], "# time limit: 3, pool: 3");
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

}  // namespace
