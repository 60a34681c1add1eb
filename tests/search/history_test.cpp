#include "search/search_support.h"

namespace {

using SearchTables = SearchTest;

TEST_F(SearchTables, HistoryBonusesAndCeiling) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K3 w -"));
    const Move m = findMove("a1a5");
    int& entry = searchState.ordering.historyScores[WHITE * 512 + ROOK * 64 + moveTo(m)];
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
    EXPECT_EQ(searchState.ordering.historyScores[WHITE * 512 + KING * 64 + moveTo(k)], 6);
    board.sideToMove = BLACK;
    board.opponent = WHITE;
    updateHistory(findMove("e8d7"), 2, 0, 1);
    EXPECT_EQ(searchState.ordering.historyScores[BLACK * 512 + KING * 64 + 11], 4);
}

TEST_F(SearchTables, AgeingQuartersAfterOneMoveEachElseClears) {
    gameRecord.count = 0;
    ageHistory();   // remembers 0
    searchState.ordering.historyScores[5] = 1000;
    searchState.ordering.historyScores[700] = 3;
    gameRecord.count = 2;
    ageHistory();
    EXPECT_EQ(searchState.ordering.historyScores[5], 250);
    EXPECT_EQ(searchState.ordering.historyScores[700], 0);
    searchState.ordering.historyScores[6] = 400;
    gameRecord.count = 4;
    ageHistory();
    EXPECT_EQ(searchState.ordering.historyScores[5], 62);
    EXPECT_EQ(searchState.ordering.historyScores[6], 100);
    gameRecord.count = 5;   // not two more: a fresh table
    ageHistory();
    EXPECT_EQ(searchState.ordering.historyScores[5], 0);
    EXPECT_EQ(searchState.ordering.historyScores[6], 0);
    searchState.ordering.historyScores[6] = 40;
    gameRecord.count = 5;   // the same count again: cleared too
    ageHistory();
    EXPECT_EQ(searchState.ordering.historyScores[6], 0);
    gameRecord.count = 0;
    ageHistory();
}

TEST_F(SearchTables, ClockReadEvery4096NodesAgainstTheDepthLimit) {
    testRequest.time = TimeLimits{5, 15, 8, 0, false};
    SearchClock& clock = searchState.clock;
    int& iterationDepth = searchState.iterationDepth;
    resetSearchState(testRequest);
    EXPECT_EQ(clock.nodes, 0u);
    EXPECT_FALSE(clock.stop);
    EXPECT_EQ(clock.startTime, clock.lastTime);
    const int now = clock.startTime;
    // Pretend the search began 10 s ago: over minSeconds, under maxSeconds.
    clock.startTime = now - 10;
    clock.lastTime = -1;
    iterationDepth = 8;
    for (int i = 1; i < 4096; ++i) ASSERT_FALSE(timeUp());
    EXPECT_EQ(clock.lastTime, -1) << "no reading before node 4096";
    EXPECT_FALSE(timeUp());
    EXPECT_GE(clock.lastTime, now);
    EXPECT_EQ(clock.nodes, 4096u);
    iterationDepth = 9;   // deeper than minDepth: minSeconds applies
    for (int i = 1; i < 4096; ++i) ASSERT_FALSE(timeUp());
    EXPECT_TRUE(timeUp());
    EXPECT_TRUE(clock.stop);
    EXPECT_EQ(clock.nodes, 8192u);
    EXPECT_TRUE(timeUp()) << "stays stopped";
    EXPECT_EQ(clock.nodes, 8192u) << "a stopped search counts no nodes";
    resetSearchState(testRequest);
    EXPECT_FALSE(clock.stop);
    EXPECT_EQ(clock.nodes, 0u);
    // maxSeconds up to minDepth.
    clock.startTime -= 15;
    iterationDepth = 8;
    clock.nodes = 4095;
    EXPECT_TRUE(timeUp());
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

TEST_F(SearchTables, FiftyReversibleHalfMovesBeforeTheRootDraw) {
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

TEST_F(SearchTables, TreeNodesBelowALongReversibleStretchScoreZero) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K3 w -"));
    fakeReversibleHistory(52);
    prepareNode(0);
    PvLine pv;
    Move best = 0;
    // The root itself is tested by the root search; a child after a rook move is a draw.
    const Move m = findMove("a1a5");
    pushMove(m);
    EXPECT_EQ(alphaBeta(-100000, 100000, 3, &pv, &best, PLAIN_NODE), 0);
    EXPECT_EQ(searchState.counters.repetitions, 1);
    popMove(m);
    gameRecord.count = 0;
}

TEST_F(SearchTables, GameRepetitionsCountTwiceTreeRepetitionsOnce) {
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

TEST_F(SearchTables, StartOfHistoryEndsTheWalk) {
    newGame();
    board.ply = 0;
    EXPECT_FALSE(isRepetition());
    ASSERT_TRUE(playMoves("g1f3"));
    EXPECT_FALSE(isRepetition());
}

}  // namespace
