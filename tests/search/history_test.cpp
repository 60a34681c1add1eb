#include "search/search_support.h"

namespace {

using SearchState = SearchTest;

TEST_F(SearchState, HistoryBonusesAndCeiling) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K3 w -"));
    const Move m = findMove("a1a5");
    int& entry = ordering.historyScores[WHITE * 512 + ROOK * 64 + moveTo(m)];
    updateHistory(m, 6, 10, 100);
    EXPECT_EQ(entry, 12) << "raised alpha: 2 x depth";
    updateHistory(m, 6, 100, 100);
    EXPECT_EQ(entry, 13) << "cut-off: 1";
    updateHistory(m, 6, 99901, 100000);
    EXPECT_EQ(entry, historyLimit) << "a mate sets the ceiling";
    updateHistory(m, 9, 10, 100);
    EXPECT_EQ(entry, historyLimit) << "never above it";
    updateHistory(m, 4, -1, 1);
    EXPECT_EQ(entry, historyLimit);
    entry = 29995;
    updateHistory(m, 4, 99900, 100000);
    EXPECT_EQ(entry, 30000) << "99900 itself is no mate: 8, capped";
    // The colour is the side to move, the piece the one on the from square.
    const Move k = findMove("e1d2");
    updateHistory(k, 3, 0, 1);
    EXPECT_EQ(ordering.historyScores[WHITE * 512 + KING * 64 + moveTo(k)], 6);
    board.sideToMove = BLACK;
    board.opponent = WHITE;
    updateHistory(findMove("e8d7"), 2, 0, 1);
    EXPECT_EQ(ordering.historyScores[BLACK * 512 + KING * 64 + 11], 4);
}

TEST_F(SearchState, AgeingQuartersAfterOneMoveEachElseClears) {
    gameRecord.count = 0;
    ageHistory();   // remembers 0
    ordering.historyScores[5] = 1000;
    ordering.historyScores[700] = 3;
    gameRecord.count = 2;
    ageHistory();
    EXPECT_EQ(ordering.historyScores[5], 250);
    EXPECT_EQ(ordering.historyScores[700], 0);
    ordering.historyScores[6] = 400;
    gameRecord.count = 4;
    ageHistory();
    EXPECT_EQ(ordering.historyScores[5], 62);
    EXPECT_EQ(ordering.historyScores[6], 100);
    gameRecord.count = 5;   // not two more: a fresh table
    ageHistory();
    EXPECT_EQ(ordering.historyScores[5], 0);
    EXPECT_EQ(ordering.historyScores[6], 0);
    ordering.historyScores[6] = 40;
    gameRecord.count = 5;   // the same count again: cleared too
    ageHistory();
    EXPECT_EQ(ordering.historyScores[6], 0);
    gameRecord.count = 0;
    ageHistory();
}

TEST_F(SearchState, ClockReadEvery4096NodesAgainstTheDepthLimit) {
    settings.MAX_TIME = 15;
    settings.MIN_TIME = 5;
    settings.MIN_DEPTH = 8;
    startClock();
    EXPECT_EQ(searchClock.nodes, 0u);
    EXPECT_FALSE(searchClock.stop);
    EXPECT_EQ(searchClock.startTime, searchClock.lastTime);
    const int now = searchClock.startTime;
    // Pretend the search began 10 s ago: over MIN_TIME, under MAX_TIME.
    searchClock.startTime = now - 10;
    searchClock.lastTime = -1;
    iterationDepth = 8;
    for (int i = 1; i < 4096; ++i) ASSERT_FALSE(timeUp());
    EXPECT_EQ(searchClock.lastTime, -1) << "no reading before node 4096";
    EXPECT_FALSE(timeUp());
    EXPECT_GE(searchClock.lastTime, now);
    EXPECT_EQ(searchClock.nodes, 4096u);
    iterationDepth = 9;   // deeper than MIN_DEPTH: MIN_TIME applies
    for (int i = 1; i < 4096; ++i) ASSERT_FALSE(timeUp());
    EXPECT_TRUE(timeUp());
    EXPECT_TRUE(searchClock.stop);
    EXPECT_EQ(searchClock.nodes, 8192u);
    EXPECT_TRUE(timeUp()) << "stays stopped";
    EXPECT_EQ(searchClock.nodes, 8192u) << "a stopped search counts no nodes";
    startClock();
    EXPECT_FALSE(searchClock.stop);
    EXPECT_EQ(searchClock.nodes, 0u);
    // MAX_TIME up to MIN_DEPTH.
    searchClock.startTime -= 15;
    iterationDepth = 8;
    searchClock.nodes = 4095;
    EXPECT_TRUE(timeUp());
    // The clock seen going backwards lowers the start.
    startClock();
    searchClock.startTime += 100;
    searchClock.nodes = 4095;
    EXPECT_FALSE(timeUp());
    EXPECT_EQ(searchClock.startTime, searchClock.lastTime);
}

// Moves and keys of a game record that was never played: n reversible
// half-moves with keys that differ from the current position's.
void fakeReversibleHistory(int n) {
    for (int i = 0; i < n; ++i) {
        gameRecord.moves[i] = encodeMove(62, 45, 0, 0, QUIET);   // a knight-like step
        gameRecord.keys[i] = board.hashKey ^ HashKey(i + 1);
    }
    gameRecord.count = n;
}

TEST_F(SearchState, FiftyReversibleHalfMovesBeforeTheRootDraw) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K3 w -"));
    board.ply = 0;
    fakeReversibleHistory(51);
    EXPECT_FALSE(isRepetition());
    fakeReversibleHistory(52);
    EXPECT_TRUE(isRepetition());
    gameRecord.moves[10] = encodeMove(62, 45, 0, PAWN, CAPTURE);
    EXPECT_FALSE(isRepetition()) << "a capture inside the stretch";
    gameRecord.moves[10] = encodeMove(62, 45, 1, 0, QUIET);
    EXPECT_FALSE(isRepetition()) << "a pawn push inside the stretch";
    gameRecord.moves[10] = 0;
    EXPECT_FALSE(isRepetition()) << "a null move inside the stretch";
    gameRecord.moves[10] = encodeMove(62, 45, QUEEN, 0, PROMOTION);
    EXPECT_FALSE(isRepetition()) << "a promotion inside the stretch";
    gameRecord.moves[10] = encodeMove(60, 62, 0, 0, CASTLE_SHORT);
    EXPECT_TRUE(isRepetition()) << "castling does not end the walk";
    gameRecord.count = 0;
}

TEST_F(SearchState, TreeNodesBelowALongReversibleStretchScoreZero) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K3 w -"));
    fakeReversibleHistory(52);
    prepareNode(0);
    PvLine pv;
    Move best = 0;
    resetCounters();
    // The root itself is tested by the root search; a child after a rook move is a draw.
    const Move m = findMove("a1a5");
    makeMove(m);
    gameRecord.moves[gameRecord.count] = m;
    gameRecord.keys[gameRecord.count] = board.hashKey;
    flipSides();
    board.ply = 1;
    EXPECT_EQ(alphaBeta(-100000, 100000, 3, &pv, &best, PLAIN_NODE), 0);
    EXPECT_EQ(searchCounters.repetitions, 1);
    flipSides();
    board.ply = 0;
    unmakeMove(m);
    gameRecord.count = 0;
}

TEST_F(SearchState, GameRepetitionsCountTwiceTreeRepetitionsOnce) {
    newGame();
    ASSERT_TRUE(playMoves("g1f3 g8f6 f3g1 f6g8 g1f3"));
    board.ply = 0;
    EXPECT_FALSE(isRepetition()) << "after Nf3 once before";
    ASSERT_TRUE(playMoves("g8f6 f3g1 f6g8 g1f3"));
    EXPECT_TRUE(isRepetition()) << "after Nf3 twice before";
    newGame();
    ASSERT_TRUE(playMoves("e2e4 g8f6 g1f3 f6g8 f3g1 g8f6 g1f3 f6g8 f3g1"));
    EXPECT_TRUE(isRepetition());
    newGame();
    ASSERT_TRUE(playMoves("g1f3 g8f6 f3g1 f6g8 e2e4 g8f6 g1f3 f6g8 f3g1"));
    EXPECT_FALSE(isRepetition()) << "the pawn push ends the walk";
}

TEST_F(SearchState, StartOfHistoryEndsTheWalk) {
    newGame();
    board.ply = 0;
    EXPECT_FALSE(isRepetition());
    ASSERT_TRUE(playMoves("g1f3"));
    EXPECT_FALSE(isRepetition());
}

}  // namespace
