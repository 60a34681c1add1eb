#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>

#include "support/process.h"

namespace {

std::string teachReport(const RunResult& r) {
    const size_t start = r.err.find("#load teach-table: ");
    const size_t end = r.err.find("#load book: ");
    if (start == std::string::npos || end == std::string::npos || end < start) return r.err;
    return r.err.substr(start, end - start);
}

// Standard error after the help text.
std::string remarks(const RunResult& r) {
    const std::string last = "# ENTER YOUR MOVE:\n";
    const size_t end = r.err.find(last);
    return end == std::string::npos ? r.err : r.err.substr(end + last.size());
}

// A record of 88 bytes with the key's low bytes chosen (chain order) and
// recognisable filler.
std::string record(uint8_t chain, char filler) {
    std::string r(88, filler);
    r[0] = char(chain);
    r[1] = r[2] = 0;
    std::memset(&r[84], 0, 4);
    return r;
}

TEST(TeachFile, QuitAndEndOfInputBothWriteTeachDat) {
    EngineDir dir;
    RunResult r = dir.run("quit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(teachReport(r), "#load teach-table: error\n");
    ASSERT_TRUE(dir.exists("teach.dat"));
    EXPECT_EQ(dir.read("teach.dat"), "");

    r = dir.run("get_time_limit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(teachReport(r), "#load teach-table: ok\n");

    std::remove(dir.file("teach.dat").c_str());
    r = dir.run("");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(dir.exists("teach.dat"));
}

TEST(TeachFile, RecordsSurviveARunInChainOrder) {
    EngineDir dir;
    const std::string a = record(3, 'a'), b = record(7, 'b'), c = record(3, 'c');
    std::string stale = b;
    std::memset(&stale[84], 0x5A, 4);   // link bytes mean nothing in the file
    dir.write("teach.dat", a + stale + c + std::string(40, 'z'));
    const RunResult r = dir.run("quit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(teachReport(r), "#load teach-table: ok\n");
    // Chain 3 newest first (c, a), then chain 7; the partial record is gone.
    EXPECT_EQ(dir.read("teach.dat"), c + a + b);
}

TEST(TeachFile, TeachDatOfRandomBytesLoadsAndIsKept) {
    EngineDir dir;
    std::mt19937 random(7);
    std::string content;
    for (int i = 0; i < 88 * 200; ++i) content += char(random());
    dir.write("teach.dat", content);
    const RunResult r = dir.run("e2e4\ne7e5\nposition\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(teachReport(r), "#load teach-table: ok\n");
    EXPECT_EQ(dir.read("teach.dat").size(), content.size());
}

TEST(TeachCommand, MissingFileIsReportedWithItsUpperCaseName) {
    EngineDir dir;
    dir.write("games.txt", "e2e4\n");   // the name is looked for in upper case
    const RunResult r = dir.run("teach games.txt\nteach\nget_time_limit\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "#error arg: GAMES.TXT\n#error arg: TEACH\n");
    EXPECT_EQ(r.out, "# MIN_TIME: 5; MAX_TIME: 15; MIN_DEPTH: 8\n");
}

TEST(TeachCommand, LinesStoppedAtTheirFirstMoveSearchNothing) {
    EngineDir dir;
    // Lines that stop at their first token play and search nothing.
    dir.write("GAMES.TXT", "# two games\nzz e2e4\n\nO-O\n");
    const RunResult r = dir.run("teach games.txt\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "#new line\n#new line\n");
    EXPECT_EQ(remarks(r), "#error in line 2: ZZ\n#error in line 4: O-O\n");
    EXPECT_EQ(dir.read("teach.dat"), "");
}

// The engine learns the position it searched; a second run loads it and a
// TEACH game through that position finds it.
TEST(TeachCommand, ASecondRunFindsWhatTheFirstLearned) {
    EngineDir dir;
    RunResult r = dir.run("xboard\ntime 100\nnotlib\ne2e4\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("move "), std::string::npos) << r.out;
    ASSERT_EQ(dir.read("teach.dat").size(), 88u);

    const RunResult fresh = dir.run("position\n");
    dir.write("GAME.TXT", "e2-e4!\n");
    r = dir.run("teach game.txt\nget_time_limit\nposition\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(teachReport(r), "#load teach-table: ok\n");
    EXPECT_EQ(r.out, "#new line\n# e2e4 \n# in lib\n# MIN_TIME: 5; MAX_TIME: 15; MIN_DEPTH: 8\n" + fresh.out);
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(dir.read("teach.dat").size(), 88u);
}

// A learned record with its move, score and depth spoiled, among random
// records: the engine still plays a legal move from that position.
TEST(TeachRobustness, SpoiledRecordsNeverMisleadTheSearch) {
    EngineDir dir;
    RunResult r = dir.run("xboard\ntime 100\nwhite\nnotlib\ngo\nquit\n");
    EXPECT_EQ(r.status, 0);
    const std::string learned = dir.read("teach.dat");
    ASSERT_EQ(learned.size(), 88u);

    std::mt19937 random(3);
    std::string content;
    for (int i = 0; i < 88 * 50; ++i) content += char(random());
    const uint32_t words[] = {0xFFFFFFFFu, 0x2000C000u | (52u << 6) | 36u, 0x80000000u | (60u << 6) | 62u,
                              0x04001000u | (12u << 6) | 28u};
    for (uint32_t word : words) {
        std::string spoiled = learned;
        std::memcpy(&spoiled[80], &word, 4);
        const int32_t score = 100000, depth = 0x7FFFFFFF;
        std::memcpy(&spoiled[12], &score, 4);
        std::memcpy(&spoiled[20], &depth, 4);
        content += spoiled;
    }
    dir.write("teach.dat", content);
    r = dir.run("xboard\ntime 100\nwhite\nnotlib\ngo\nquit\n");
    EXPECT_EQ(r.status, 0);
    const std::set<std::string> firstMoves = {"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3",
                                              "d2d4", "e2e3", "e2e4", "f2f3", "f2f4", "g2g3", "g2g4",
                                              "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3"};
    const size_t at = r.out.find("move ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_EQ(firstMoves.count(r.out.substr(at + 5, 4)), 1u) << r.out;
}

}  // namespace
