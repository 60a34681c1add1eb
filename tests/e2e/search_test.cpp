#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <regex>
#include <sstream>
#include <vector>

#include "support/process.h"

namespace {

// Standard error after the help text.
std::string remarks(const RunResult& r) {
    const std::string end = "# ENTER YOUR MOVE:\n";
    const size_t at = r.err.find(end);
    return at == std::string::npos ? r.err : r.err.substr(at + end.size());
}

const std::regex infoLine(R"(# d:(\d+), mv:(\S*),score:(-?\d+),p/s:\d+,rep:\d+,chk:\d+,recap:0,time:\d+)");

// Book off; the scholar's mate is on the board with White to move.
const char* const scholarsMate = "notlib\ne2e4\ne7e5\nf1c4\nb8c6\nd1h5\ng8f6\n";

TEST(Search, GoFindsTheMateInOneAndStopsAtDepthThree) {
    EngineDir dir;
    RunResult r = dir.run(std::string(scholarsMate) + "go\nquit\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "");
    std::vector<std::string> lines = splitLines(r.out);
    ASSERT_GE(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines.back(), "move h5f7");
    std::smatch m;
    const std::string summary = lines[lines.size() - 2];
    ASSERT_TRUE(std::regex_match(summary, m, infoLine)) << summary;
    EXPECT_EQ(m[1], "3");
    EXPECT_EQ(m[2], "h5f7");
    EXPECT_EQ(m[3], "99998");
    // Every line before the summary is an improvement with its principal variation.
    for (size_t i = 0; i + 2 < lines.size(); i += 2) {
        ASSERT_TRUE(std::regex_match(lines[i], m, infoLine)) << lines[i];
        EXPECT_EQ(lines[i + 1].rfind("# pv: " + m[2].str() + " ", 0), 0u) << lines[i + 1];
    }
    EXPECT_EQ(lines[lines.size() - 4].substr(0, 27), summary.substr(0, 27)) << "the last improvement";
}

// The teach record of the mate search: move, score and depth as found.
TEST(Search, ChosenMoveIsRecordedInTheTeachTable) {
    EngineDir dir;
    RunResult r = dir.run(std::string(scholarsMate) + "go\nquit\n");
    ASSERT_EQ(r.status, 0);
    if (!dir.exists("teach.dat")) GTEST_SKIP() << "this build keeps no teach table";
    const std::string teach = dir.read("teach.dat");
    ASSERT_EQ(teach.size(), 88u);
    int32_t score = 0, depth = 0;
    uint32_t move = 0;
    std::memcpy(&score, teach.data() + 12, 4);
    std::memcpy(&depth, teach.data() + 20, 4);
    std::memcpy(&move, teach.data() + 80, 4);
    EXPECT_EQ(score, 99998);
    EXPECT_EQ(depth, 3);
    // Qh5xf7: from h5 (31), to f7 (13), a pawn taken.
    EXPECT_EQ(move, 13u | 31u << 6 | 1u << 15 | 0x08000000u);
}

TEST(Search, OnlyMoveIsPlayedWithoutSearching) {
    // After 1. e4 f5 2. Qh5+ Black's only legal move is g6.
    EngineDir dir;
    RunResult r = dir.run("notlib\ne2e4\nf7f5\nd1h5\ngo\nquit\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "move g7g6\n");
    EXPECT_FALSE(dir.exists("teach.dat") && dir.read("teach.dat").size() > 0) << "nothing recorded";
}

TEST(Search, MatedSideHasNoMove) {
    EngineDir dir;
    RunResult r = dir.run("notlib\nf2f3\ne7e5\ng2g4\nd8h4\ngo\nposition\nquit\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "# error: not moves found \n");
    EXPECT_EQ(r.out.find("move"), std::string::npos);
}

TEST(Search, RepeatedPositionWarnsAndStillMoves) {
    // The mate stays on the board while both knights shuffle: the third time
    // the position comes up the root search warns, then mates all the same.
    EngineDir dir;
    RunResult r = dir.run(
        "notlib\ne2e4\ne7e5\nf1c4\nb8c6\nd1h5\ng8e7\ng1f3\ne7g8\nf3g1\ng8e7\ngo\nback\n"
        "g1f3\ne7g8\nf3g1\ng8e7\ngo\nquit\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "# WARNING! game draw!\n") << "only at the third occurrence";
    std::vector<std::string> lines = splitLines(r.out);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "move h5f7"), 2) << r.out;
}

}  // namespace
