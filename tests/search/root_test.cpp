#include <regex>
#include <sstream>
#include <vector>

#include "board/attacks.h"
#include "board/random.h"
#include "search/search_support.h"
#include "support/process.h"

namespace {

using RootSearch = SearchTest;

// The position part of the Board (the piece-square sums are recomputed for
// every search from the evaluation's new tables).
bool samePosition(Board a, const Board& b) {
    a.pstSum[0] = b.pstSum[0];
    a.pstSum[1] = b.pstSum[1];
    return std::memcmp(&a, &b, sizeof(Board)) == 0;
}

const std::regex infoLine(
    R"(# d:(\d+), mv:(\S*),score:(-?\d+),p/s:(\d+),rep:(\d+),chk:(\d+),recap:0,time:(\d+))");

// Every improvement line is followed by its pv line; the last line is the
// summary, which repeats the last improvement.
void expectProgressLines(const std::string& out, Move result, int score, int depth) {
    std::vector<std::string> all = splitLines(out);
    ASSERT_GE(all.size(), 3u);
    ASSERT_EQ(all.size() % 2, 1u) << out;
    std::smatch m;
    for (size_t i = 0; i + 1 < all.size(); i += 2) {
        ASSERT_TRUE(std::regex_match(all[i], m, infoLine)) << all[i];
        if (m[7] == "0") {
            EXPECT_EQ(m[4], "0") << "no rate without elapsed time";
        }
        ASSERT_EQ(all[i + 1].rfind("# pv: ", 0), 0u) << all[i + 1];
        std::istringstream pv(all[i + 1].substr(6));
        std::string first;
        pv >> first;
        EXPECT_EQ(first, m[2].str()) << "the line starts with the move";
        size_t moves = 0;
        for (char c : all[i + 1].substr(6)) moves += c == ' ';
        EXPECT_LE(moves, 10u);
        EXPECT_EQ(all[i + 1].back(), ' ') << "every move is followed by a blank";
    }
    const std::string& last = all.back();
    ASSERT_TRUE(std::regex_match(last, m, infoLine)) << last;
    EXPECT_EQ(m[1], std::to_string(depth));
    EXPECT_EQ(m[2], moveText(result));
    EXPECT_EQ(m[3], std::to_string(score));
    const std::string& lastImprovement = all[all.size() - 3];
    // The rate may differ: the summary counts the nodes searched after the last improvement.
    EXPECT_EQ(lastImprovement.substr(0, lastImprovement.find(",p/s:")), last.substr(0, last.find(",p/s:")))
        << "summary";
}

TEST_F(RootSearch, MateInOneScores99998AndStopsAfterDepthThree) {
    ASSERT_TRUE(setPosition("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w -"));
    testRequest.depth = 10;
    std::string out;
    const SearchResult result = rootSearch(&out);
    const Move move = result.move;
    ASSERT_NE(move, 0u);
    EXPECT_EQ(move, findMove("d1d8"));
    EXPECT_EQ(result.score, 99998);
    EXPECT_EQ(result.depth, 3) << "a mate at depth 2 does not end the loop; at depth 3 it does";
    EXPECT_EQ(board.ply, 0);
    expectProgressLines(out, move, 99998, 3);
}

TEST_F(RootSearch, MateInTwoFound) {
    ASSERT_TRUE(setPosition("7k/8/8/8/8/8/R7/1R4K1 w -"));
    testRequest.depth = 6;
    std::string out;
    const SearchResult result = rootSearch(&out);
    const Move move = result.move;
    ASSERT_NE(move, 0u);
    EXPECT_EQ(result.score, 99996);
    EXPECT_EQ(result.depth, 3);
    EXPECT_TRUE(move == findMove("a2a7") || move == findMove("b1b7")) << coordinateText(move);
    expectProgressLines(out, move, 99996, 3);
}

// Every report the root hands out, with its principal variation copied.
struct Recorded {
    SearchReport report;
    std::vector<Move> pv;
};
std::vector<Recorded> newBests, finals;
void recordNewBest(const SearchReport& r) { newBests.push_back({r, std::vector<Move>(r.pv, r.pv + r.pvLength)}); }
void recordFinal(const SearchReport& r) { finals.push_back({r, {}}); }

TEST_F(RootSearch, ReportsCarryTheRawResults) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3"));
    testRequest.depth = 4;
    newBests.clear();
    finals.clear();
    testRequest.reporter = SearchReporter{recordNewBest, recordFinal, nullptr};
    const SearchResult searched = searchRoot(testRequest);
    ASSERT_NE(searched.move, 0u);
    ASSERT_EQ(finals.size(), 1u);
    ASSERT_FALSE(newBests.empty());
    const SearchReport& last = newBests.back().report;
    const SearchReport& result = finals[0].report;
    EXPECT_EQ(result.pv, nullptr);
    EXPECT_EQ(result.move, searched.move);
    EXPECT_EQ(result.move, last.move);
    EXPECT_EQ(result.score, last.score);
    EXPECT_EQ(result.score, searched.score);
    EXPECT_EQ(result.depth, searched.depth);
    EXPECT_EQ(result.depth, last.depth);
    EXPECT_EQ(result.nodes, searched.nodes);
    EXPECT_EQ(result.seconds, lastSearchSeconds());
    EXPECT_EQ(std::vector<Move>(searched.line.moves, searched.line.moves + last.pvLength), newBests.back().pv)
        << "the result's line is the last improvement's";
    EXPECT_GE(result.milliseconds, 0);
    uint64_t nodes = 0;
    int depth = 2;
    for (const Recorded& r : newBests) {
        EXPECT_GE(r.report.depth, depth) << "iterations only deepen";
        EXPECT_GE(r.report.nodes, nodes);
        EXPECT_LE(r.report.milliseconds, result.milliseconds);
        depth = r.report.depth;
        nodes = r.report.nodes;
        ASSERT_FALSE(r.pv.empty());
        EXPECT_EQ(r.pv[0], r.report.move) << "the line starts with the move";
        EXPECT_LE(int(r.pv.size()), MAX_PLY);
    }
    EXPECT_GE(newBests.back().pv.size(), 2u) << "a depth-4 line has a reply";
}

TEST_F(RootSearch, BoardAndHistoryUntouched) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3"));
    const Board before = board;
    const int count = gameRecord.count;
    testRequest.depth = 4;
    std::string out;
    const SearchResult result = rootSearch(&out);
    const Move move = result.move;
    ASSERT_NE(move, 0u);
    EXPECT_TRUE(samePosition(before, board));
    EXPECT_EQ(gameRecord.count, count);
    EXPECT_EQ(result.depth, 4) << "the depth cap ends the loop";
    expectProgressLines(out, move, result.score, 4);
}

TEST_F(RootSearch, OneLegalMoveIsReturnedWithoutSearching) {
    ASSERT_TRUE(setPosition("7k/8/8/8/8/8/6q1/7K w -"));
    std::string out;
    const SearchResult result = rootSearch(&out);
    EXPECT_EQ(result.move, findMove("h1g2"));
    EXPECT_EQ(result.nodes, 0u);
    EXPECT_EQ(out, "");
    EXPECT_EQ(result.score, -100000);
    EXPECT_EQ(result.depth, 0);
}

TEST_F(RootSearch, NoLegalMoveReturnsFalse) {
    for (const char* fen : {"3R2k1/5ppp/8/8/8/8/5PPP/6K1 b -", "7k/5Q2/6K1/8/8/8/8/8 b -"}) {
        ASSERT_TRUE(setPosition(fen));
        std::string out;
        const SearchResult result = rootSearch(&out);
        EXPECT_EQ(result.move, 0u) << fen;
        EXPECT_EQ(out, "");
        EXPECT_EQ(result.score, -100000);
    }
}

TEST_F(RootSearch, RefusesImpossiblePositionsAndFullHistories) {
    std::string out;
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4RK2 w -"));   // black king attacked, white to move
    SearchResult result = rootSearch(&out);
    EXPECT_EQ(result.move, 0u);
    EXPECT_EQ(result.score, 100000);
    ASSERT_TRUE(setPosition("8/8/8/8/8/8/8/4RK2 w -"));   // one king
    EXPECT_EQ(rootSearch(&out).move, 0u);
    ASSERT_TRUE(setPosition("K7/8/8/8/8/8/8/4RK2 w -"));   // two kings of one colour
    EXPECT_EQ(rootSearch(&out).move, 0u);
    EXPECT_EQ(out, "");

    newGame();
    gameRecord.count = 300;
    EXPECT_EQ(rootSearch(&out).move, 0u);
    gameRecord.count = 340;
    EXPECT_EQ(rootSearch(&out).move, 0u);
    // At 299 recorded moves there is still room for the deepest line.
    gameRecord.count = 299;
    gameRecord.moves[298] = 0;
    testRequest.depth = 3;
    EXPECT_NE(rootSearch(&out).move, 0u);
    gameRecord.count = 0;
}

TEST_F(RootSearch, BookIsOfferedUnlessTheDrawSkipsIt) {
    // The mate position is no book position: the draw is made all the same.
    ASSERT_TRUE(setPosition("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w -"));
    testRequest.depth = 3;
    std::string out;
    testRequest.useBook = true;
    seedRandom(1);
    ASSERT_NE(rootSearch(&out).move, 0u);
    EXPECT_EQ(nextRandom(), 130) << "one number drawn";
    testRequest.useBook = false;
    seedRandom(1);
    ASSERT_NE(rootSearch(&out).move, 0u);
    EXPECT_EQ(nextRandom(), 346) << "nothing drawn";
}

TEST_F(RootSearch, LeadingMovesGetTheHighestKeys) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5"));
    testRequest.depth = 4;
    std::string out;
    const SearchResult result = rootSearch(&out);
    const Move move = result.move;
    ASSERT_NE(move, 0u);
    int leaders = 0;
    for (int i = 0; i < plyEnd[0]; ++i) {
        if (moveScore[i] >= 300000) ++leaders;
        if (moveStack[i] != move) continue;
        EXPECT_GT(moveScore[i], 300000 + 4 * 300);
        EXPECT_LT(moveScore[i], 300000 + 5 * 300);
    }
    EXPECT_GE(leaders, 1);
    // Every improvement printed one line pair.
    EXPECT_EQ(int(splitLines(out).size()), 1 + 2 * (int(splitLines(out).size()) / 2));
}

TEST_F(RootSearch, IllegalRootMovesAreDropped) {
    // The knight on e2 is pinned; the king may not step onto d2's attacked file.
    ASSERT_TRUE(setPosition("4k3/4r3/8/8/8/8/4N3/4K2R w K"));
    generateAllMoves();
    std::vector<Move> legal;
    for (int i = 0; i < plyEnd[0]; ++i) {
        makeMove(moveStack[i]);
        if (!isAttacked(kingSquare(board.sideToMove), board.opponent)) legal.push_back(moveStack[i]);
        unmakeMove(moveStack[i]);
    }
    dropIllegalRootMoves();
    ASSERT_EQ(plyEnd[0], int(legal.size()));
    for (int i = 0; i < plyEnd[0]; ++i) EXPECT_EQ(moveStack[i], legal[i]);
    for (int i = 0; i < plyEnd[0]; ++i) EXPECT_NE(moveFrom(moveStack[i]), 52) << "no knight move";
}

TEST_F(RootSearch, RepeatedRootPositionWarns) {
    newGame();
    // The initial position has no record entry: after eight plies it has
    // been recorded once before the root, after nine the position after Nf3 twice.
    ASSERT_TRUE(playMoves("g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8"));
    testRequest.depth = 2;
    std::string out;
    ::testing::internal::CaptureStderr();
    ASSERT_NE(rootSearch(&out).move, 0u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "seen only once before";
    ASSERT_TRUE(playMoves("g1f3"));
    ::testing::internal::CaptureStderr();
    const Move move = rootSearch(&out).move;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "# WARNING! game draw!\n");
    EXPECT_NE(move, 0u) << "the search carries on";
}

TEST_F(RootSearch, PredictionStopsBeforeAnIterationThatWouldOverrun) {
    TimeLimits limits = {5, 15, 8, 0, false};
    SearchClock clock = {};
    clock.startTime = 95;
    clock.lastTime = 103;
    const int ends[3] = {100, 101, 103};   // iterations 2, 3 and 4 ended at these seconds
    for (int i = 0; i < 3; ++i) clock.iterationSeconds[i] = ends[i] - clock.startTime;
    EXPECT_FALSE(nextIterationTooSlow(clock, limits, 3)) << "only from depth 4";
    EXPECT_TRUE(nextIterationTooSlow(clock, limits, 4)) << "8 s x 2 > 15";
    limits.maxSeconds = 16;
    EXPECT_FALSE(nextIterationTooSlow(clock, limits, 4));
    clock.iterationSeconds[2] = 111 - clock.startTime;   // b / a = 10, clamped to 4
    clock.lastTime = 111;
    limits.maxSeconds = 16 * 4 - 1;
    EXPECT_TRUE(nextIterationTooSlow(clock, limits, 4));
    limits.maxSeconds = 16 * 4;
    EXPECT_FALSE(nextIterationTooSlow(clock, limits, 4));
    clock.iterationSeconds[1] = 100 - clock.startTime;   // a = 0: ratio 2
    limits.maxSeconds = 16 * 2 - 1;
    EXPECT_TRUE(nextIterationTooSlow(clock, limits, 4));
    limits.maxSeconds = 16 * 2;
    EXPECT_FALSE(nextIterationTooSlow(clock, limits, 4));
}

// Seven queens a side: long lists at every ply.
const char* const queensFen = "qqqqkqqq/8/8/8/8/8/8/QQQQKQQQ w -";

TEST_F(RootSearch, ManyQueensSearchedSafely) {
    ASSERT_TRUE(setPosition(queensFen));
    const Board before = board;
    testRequest.depth = 3;
    std::string out;
    const SearchResult result = rootSearch(&out);
    const Move move = result.move;
    ASSERT_NE(move, 0u);
    EXPECT_TRUE(samePosition(before, board));
    for (int p = 0; p <= MAX_PLY; ++p) EXPECT_LE(plyEnd[p], MOVE_STACK_CAPACITY);
}

TEST_F(RootSearch, ClockRunningOutDuringTheFirstMovePlaysALegalMoveAllTheSame) {
    // Interlocked queens: millions of quiescence nodes below the first root move.
    ASSERT_TRUE(setPosition("k7/8/2qqqq2/2QQQQ2/2qqqq2/2QQQQ2/8/7K w -"));
    testRequest.time = TimeLimits{0, 0, 8, 0, false};   // stops at the first clock reading, after 4096 nodes
    std::string out;
    const Move move = rootSearch(&out).move;
    EXPECT_EQ(searchState.clock.nodes, 4096u);
    EXPECT_EQ(searchState.depth, 0);   // no iteration finished
    generateLegalMoves();
    int found = 0;
    for (int i = plyEnd[-1]; i < plyEnd[0]; ++i) found += moveStack[i] == move ? 1 : 0;
    EXPECT_EQ(found, 1) << moveText(move);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(out, m, std::regex("# d:0, mv:" + moveText(move) +
                                                    R"(,score:-100000,p/s:\d+,rep:\d+,chk:\d+,recap:0,time:[01]\n)")))
        << out;
}

}  // namespace
