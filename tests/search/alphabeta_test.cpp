#include <vector>

#include "board/attacks.h"
#include "eval/evaluate.h"
#include "search/search_support.h"

namespace {

using AlphaBeta = SearchTest;

// Black to move and mated on the back rank.
const char* const matedFen = "3R2k1/5ppp/8/8/8/8/5PPP/6K1 b -";

TEST_F(AlphaBeta, CheckmatedSideScoresByItsPly) {
    ASSERT_TRUE(setPosition(matedFen));
    for (int ply : {0, 1, 3, 10, 40}) {
        EXPECT_EQ(searchNode(ply, -100000, 100000, 1), -(99999 - ply)) << "ply " << ply;
        EXPECT_EQ(searchNode(ply, -100000, 100000, 3), -(99999 - ply)) << "ply " << ply;
    }
}

TEST_F(AlphaBeta, KingEnPriseScoresForTheCapturer) {
    // White to move can take the black king: the previous move was illegal.
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4RK2 w -"));
    EXPECT_EQ(searchNode(5, -100000, 100000, 3), 100000 - 5);
    EXPECT_FALSE(ttProbe(board.sideToMove)) << "a king capture stores nothing";
}

TEST_F(AlphaBeta, StalemateScoresZero) {
    ASSERT_TRUE(setPosition("7k/5Q2/6K1/8/8/8/8/8 b -"));
    EXPECT_EQ(searchNode(1, -100000, 100000, 1), 0);
    EXPECT_EQ(searchNode(1, -500, 500, 4), 0);
    EXPECT_EQ(searchNode(1, 200, 500, 2), 0) << "the window does not matter";
}

TEST_F(AlphaBeta, NodeAtTheLastPlyReturnsTheStaticScore) {
    // In check and with moves, yet not expanded at ply 58.
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/3q4/4K3 w -"));
    const int stat = evaluate(-100000, 100000);
    EXPECT_EQ(searchNode(MAX_PLY, -100000, 100000, 5), stat);
    EXPECT_EQ(searchState.clock.nodes, 1u);
}

TEST_F(AlphaBeta, QuiescenceNeverReturnsBelowAlphaAndStopsAtTheLastPly) {
    ASSERT_TRUE(setPosition("4k3/8/8/3q4/4P3/8/8/4K3 w -"));
    prepareNode(3);
    EXPECT_GE(quiesce(-50, 50), -50);
    prepareNode(MAX_PLY);
    const int stand = evaluate(-100000, 100000);
    EXPECT_EQ(quiesce(-100000, 100000), stand) << "no capture tried at the last ply";
    EXPECT_EQ(searchState.clock.nodes, 1u);
    prepareNode(3);
    EXPECT_GT(quiesce(-100000, 100000), stand) << "exd5 wins the queen";
    board.ply = 0;
}

TEST_F(AlphaBeta, QuiescenceSeesTheKingCapture) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4RK2 w -"));
    prepareNode(7);
    EXPECT_EQ(quiesce(-100000, 100000), 100000 - 7);
    board.ply = 0;
}

TEST_F(AlphaBeta, CountsOneNodePerCallAndTwiceAtTheHorizon) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4K3 w -"));
    searchNode(1, -100000, 100000, 0);
    EXPECT_EQ(searchState.clock.nodes, 2u) << "alphaBeta and quiesce of the same node";
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4K3 w -"));
    searchNode(1, -100000, 100000, 1);
    // One root call, then per white king move one alphaBeta and one quiesce.
    EXPECT_EQ(searchState.clock.nodes, 1u + 2u * 5u);
}

TEST_F(AlphaBeta, FailSoftAboveTheWindow) {
    // Rd8 mates: the cut-off returns the mate score, far above beta.
    ASSERT_TRUE(setPosition("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w -"));
    EXPECT_EQ(searchNode(2, -100000, 1000, 2), 100000 - 2 - 2);
    // Quiescence keeps the alpha it was given.
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/Q3K3 b -"));
    prepareNode(2);
    EXPECT_EQ(quiesce(300, 400), 300);
    board.ply = 0;
}

// Depth stored by a node searched with depth 1 after the given last move.
int storedDepthAfter(const char* fen, Move last) {
    EXPECT_TRUE(setPosition(fen));
    prepareNode(1);
    gameRecord.moves[gameRecord.count] = last;
    PvLine pv;
    Move best = 0;
    alphaBeta(-100000, 100000, 1, &pv, &best, PLAIN_NODE);
    board.ply = 0;
    std::optional<TTEntry> e = ttProbe(board.sideToMove);
    return e ? e->depth : -1;
}

TEST_F(AlphaBeta, ChecksAndPawnsOnTheSeventhExtendByOnePly) {
    // Black in check after Rd1-d8+.
    EXPECT_EQ(storedDepthAfter("3R2k1/8/6K1/8/8/8/8/8 b -", encodeMove(59, 3, 0, 0, QUIET)), 2);
    EXPECT_EQ(searchState.counters.checkExtensions, 1);
    // The same check with no last move (the root, or after a null move): no extension.
    EXPECT_EQ(storedDepthAfter("3R2k1/8/6K1/8/8/8/8/8 b -", 0), 1);
    EXPECT_EQ(searchState.counters.checkExtensions, 0);
    // A black pawn reaching b2, a white pawn reaching b7.
    EXPECT_EQ(storedDepthAfter("4k3/8/8/8/8/8/1p6/4K3 w -", encodeMove(41, 49, 1, 0, QUIET)), 2);
    EXPECT_EQ(storedDepthAfter("4k3/1P6/8/8/8/8/8/4K3 b -", encodeMove(17, 9, 1, 0, QUIET)), 2);
    // A pawn on the fifth, or a rook on the seventh: no extension.
    EXPECT_EQ(storedDepthAfter("4k3/8/8/8/1p6/8/8/4K3 w -", encodeMove(25, 33, 1, 0, QUIET)), 1);
    EXPECT_EQ(storedDepthAfter("4k3/8/8/8/8/8/1r6/4K3 w -", encodeMove(41, 49, 0, 0, QUIET)), 1);
    // Check and seventh rank at once still extend by one ply.
    EXPECT_EQ(storedDepthAfter("8/8/8/8/8/8/3p4/4K2k w -", encodeMove(43, 51, 1, 0, QUIET)), 2);
}

TEST_F(AlphaBeta, RepeatedPositionInTheTreeScoresZero) {
    newGame();
    ASSERT_TRUE(playMoves("g1f3 g8f6"));
    prepareNode(0);
    const char* line[4] = {"f3g1", "f6g8", "g1f3", "g8f6"};
    for (const char* text : line) {
        const Move m = findMove(text);
        ASSERT_NE(m, 0u);
        pushMove(m);
    }
    EXPECT_TRUE(isRepetition());
    PvLine pv;
    Move best = 0;
    EXPECT_EQ(alphaBeta(-100000, 100000, 3, &pv, &best, PLAIN_NODE), 0);
    EXPECT_EQ(searchState.counters.repetitions, 1);
    EXPECT_FALSE(ttProbe(board.sideToMove)) << "a repetition stores nothing";
    while (board.ply > 0) {
        popMove(gameRecord.moves[gameRecord.count + board.ply - 1]);
    }
}

// Black's rook e8 takes a queen that steps onto the e-file.
const char* const hangingFen = "4r1k1/5ppp/8/8/8/8/5PPP/3Q2K1 w -";

TEST_F(AlphaBeta, ExactEntryInsideTheWindowDoesNotCutOffAndGoesFirst) {
    ASSERT_TRUE(setPosition(hangingFen));
    const Move blunder = findMove("d1e2");
    ASSERT_NE(blunder, 0u);
    prepareNode(1);
    ttStore(blunder, 7777, 20, board.sideToMove, BOUND_EXACT);
    PvLine pv;
    Move best = 0;
    const int score = alphaBeta(-100000, 100000, 2, &pv, &best, PLAIN_NODE);
    board.ply = 0;
    EXPECT_NE(score, 7777);
    // Searched first with the full window, the losing move raised alpha once.
    EXPECT_GT(searchState.ordering.historyScores[board.sideToMove * 512 + QUEEN * 64 + moveTo(blunder)], 0);
    EXPECT_NE(best, blunder);
}

TEST_F(AlphaBeta, TableEntriesCutOffByTheirBound) {
    ASSERT_TRUE(setPosition(hangingFen));
    const Move m = findMove("g2g3");
    struct Case {
        int bound, score, depth, alpha, beta, expected;
    } cases[] = {
        {BOUND_EXACT, 7777, 5, -100, 7000, 7777},   // at or above beta
        {BOUND_EXACT, -7777, 5, -100, 7000, -7777}, // at or below alpha
        {BOUND_EXACT, -100, 5, -100, 7000, -100},   // equal to alpha
        {BOUND_UPPER, -7777, 5, -100, 7000, -100},  // returns alpha
        {BOUND_UPPER, -100, 5, -100, 7000, -100},
        {BOUND_LOWER, 7777, 5, -100, 7000, 7000},   // returns beta
        {BOUND_LOWER, 7000, 5, -100, 7000, 7000},
    };
    for (const Case& c : cases) {
        prepareNode(1);
        ttStore(m, c.score, c.depth, board.sideToMove, c.bound);
        PvLine pv;
        Move best = 0;
        EXPECT_EQ(alphaBeta(c.alpha, c.beta, 2, &pv, &best, PLAIN_NODE), c.expected) << "bound " << c.bound;
        EXPECT_EQ(searchState.clock.nodes, 1u) << "nothing searched";
        std::optional<TTEntry> e = ttProbe(board.sideToMove);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->score, c.score) << "a cut-off stores nothing";
    }
    board.ply = 0;
}

TEST_F(AlphaBeta, ShallowOrInsideEntriesDoNotCutOff) {
    ASSERT_TRUE(setPosition(hangingFen));
    const Move m = findMove("g2g3");
    struct Case {
        int bound, score, depth;
    } cases[] = {
        {BOUND_EXACT, 7777, 1}, {BOUND_UPPER, -7777, 1}, {BOUND_LOWER, 7777, 1},
        {BOUND_UPPER, 0, 5},    {BOUND_LOWER, 0, 5},
    };
    for (const Case& c : cases) {
        prepareNode(1);
        ttStore(m, c.score, c.depth, board.sideToMove, c.bound);
        PvLine pv;
        Move best = 0;
        alphaBeta(-100, 100, 2, &pv, &best, PLAIN_NODE);
        EXPECT_GT(searchState.clock.nodes, 1u) << "bound " << c.bound << " depth " << c.depth;
    }
    board.ply = 0;
}

TEST_F(AlphaBeta, CompletedNodesStoreTheirBound) {
    ASSERT_TRUE(setPosition(hangingFen));
    Move best = 0;
    const int exact = searchNode(1, -100000, 100000, 2, &best);
    std::optional<TTEntry> e = ttProbe(board.sideToMove);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->bound, BOUND_EXACT);
    EXPECT_EQ(e->score, exact);
    EXPECT_EQ(e->move, best);
    EXPECT_EQ(e->depth, 2);

    searchNode(1, 5000, 5001, 2, &best);
    e = ttProbe(board.sideToMove);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->bound, BOUND_UPPER);
    EXPECT_EQ(best, 0u);
    EXPECT_LE(e->score, 5000);

    const int low = searchNode(1, -5001, -5000, 2, &best);
    e = ttProbe(board.sideToMove);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->bound, BOUND_LOWER);
    EXPECT_NE(best, 0u);
    EXPECT_GE(low, -5000);
}

TEST_F(AlphaBeta, NullSubtreeStoresNothingAndWritesNoLine) {
    ASSERT_TRUE(setPosition(hangingFen));
    prepareNode(1);
    PvLine pv;
    std::memset(&pv, 0, sizeof(pv));
    Move best = 0;
    alphaBeta(-100000, 100000, 3, &pv, &best, IN_NULL_SUBTREE);
    board.ply = 0;
    EXPECT_FALSE(ttProbe(board.sideToMove));
    EXPECT_EQ(pv.moves[1], 0u);
    EXPECT_NE(best, 0u);
}

TEST_F(AlphaBeta, PrincipalVariationIsWrittenFromTheNodePly) {
    ASSERT_TRUE(setPosition("7k/8/8/8/8/8/R7/1R4K1 w -"));   // mate in two
    prepareNode(2);
    PvLine pv;
    std::memset(&pv, 0xFF, sizeof(pv));
    Move best = 0;
    const int score = alphaBeta(-100000, 100000, 3, &pv, &best, PLAIN_NODE);
    board.ply = 0;
    EXPECT_EQ(score, 100000 - 2 - 4);
    EXPECT_EQ(pv.moves[2], best);
    EXPECT_EQ(pv.moves[0], 0xFFFFFFFFu) << "entries below the node's ply untouched";
    // The line can be played out from the node (a table cut-off may end it early).
    int end = 2;
    std::vector<Move> played;
    while (end < 58 && pv.moves[end] != 0) {
        ASSERT_TRUE(isPseudoLegal(pv.moves[end])) << end;
        makeMove(pv.moves[end]);
        flipSides();
        played.push_back(pv.moves[end]);
        ++end;
    }
    EXPECT_LT(end, 58);
    for (auto it = played.rbegin(); it != played.rend(); ++it) {
        flipSides();
        unmakeMove(*it);
    }
}

// Null move observed through the node count. At depth 1 every child goes
// straight into quiescence, so enabling null moves changes the count only
// when the node itself tries one. Deeper, two runs that differ only in the
// kind of the last move (same destination) differ only in the node's choice.
class NullMove : public SearchTest {
protected:
    uint64_t nodes(bool allowed, int alpha, int beta, int depth, Move last, bool afterNull = false) {
        prepareNode(2, allowed);
        gameRecord.moves[gameRecord.count + 1] = last;
        PvLine pv;
        Move best = 0;
        result = alphaBeta(alpha, beta, depth, &pv, &best, afterNull ? AFTER_NULL : PLAIN_NODE);
        board.ply = 0;
        return searchState.clock.nodes;
    }
    bool triedAtDepth(int depth, int alpha, int beta, Move last = 0, bool afterNull = false) {
        return nodes(true, alpha, beta, depth, last, afterNull) != nodes(false, alpha, beta, depth, last, afterNull);
    }
    bool triedAtDepthOne(int alpha, int beta, Move last = 0, bool afterNull = false) {
        return triedAtDepth(1, alpha, beta, last, afterNull);
    }
    int result = 0;
};

// White, a rook up, with two sliders each.
const char* const nullFen = "r3k3/1b3ppp/8/8/8/8/5PPP/R3KB1R w -";

TEST_F(NullMove, TriedWhenAllowed) {
    ASSERT_TRUE(setPosition(nullFen));
    EXPECT_TRUE(triedAtDepthOne(-50, 50));
    EXPECT_TRUE(triedAtDepthOne(-50, 50, encodeMove(8, 16, 0, PAWN, CAPTURE))) << "depth 1: no static test";
    // A null move that holds returns beta exactly.
    nodes(true, -50, 51, 4, 0);
    EXPECT_EQ(result, 51);
}

TEST_F(NullMove, NotTriedWithTheFullBetaAfterANullOrWhenExtended) {
    ASSERT_TRUE(setPosition(nullFen));
    EXPECT_FALSE(triedAtDepthOne(-50, 100000)) << "beta 100000";
    EXPECT_TRUE(triedAtDepthOne(-50, 99999));
    EXPECT_FALSE(triedAtDepthOne(-50, 50, 0, true)) << "reply to a null move";
    // An extended node searched with depth 0 becomes a depth-1 node.
    ASSERT_TRUE(setPosition("4k3/1b3ppp/8/8/8/8/5PPP/r3KB1R w -"));   // white in check from a1
    EXPECT_FALSE(triedAtDepth(0, -50, 50, encodeMove(0, 56, 0, 0, QUIET))) << "in check";
    ASSERT_TRUE(setPosition("r3k3/1b3ppp/8/8/8/8/1p3PPP/R3KB1R w -"));
    EXPECT_FALSE(triedAtDepth(0, -50, 50, encodeMove(41, 49, 1, 0, QUIET))) << "pawn on the seventh";
    EXPECT_TRUE(triedAtDepthOne(-50, 50)) << "the same position, no last move";
}

TEST_F(NullMove, AfterACaptureDeepOnlyWhenTheStaticScoreReachesBeta) {
    ASSERT_TRUE(setPosition(nullFen));
    const Move capture = encodeMove(8, 16, 0, PAWN, CAPTURE);   // a capture landing on a6
    const Move quiet = encodeMove(8, 16, 0, 0, QUIET);
    const int stat = evaluate(-100000, 100000);
    board.ply = 2;   // the node's own test, as the node sees it
    ASSERT_GE(evaluate(stat - 1, stat), stat);
    ASSERT_LT(evaluate(stat, stat + 1), stat + 1);
    board.ply = 0;
    // Static score at beta - 50: tried after the capture as after a quiet move.
    EXPECT_EQ(nodes(true, -100, stat + 50, 4, capture), nodes(true, -100, stat + 50, 4, quiet));
    // Below beta - 50 at depth 4: not tried after the capture.
    EXPECT_NE(nodes(true, -100, stat + 51, 4, capture), nodes(true, -100, stat + 51, 4, quiet));
    // At depth 3 the static test is not made.
    EXPECT_EQ(nodes(true, -100, stat + 51, 3, capture), nodes(true, -100, stat + 51, 3, quiet));
}

TEST_F(NullMove, NotAllowedWithFewSliders) {
    testRequest.depth = 2;
    ASSERT_TRUE(setPosition("r3k3/1b3ppp/8/8/8/8/5PPP/R3KB1R w -"));
    searchRoot(testRequest);
    EXPECT_TRUE(searchState.nullMoveAllowed);
    ASSERT_TRUE(setPosition("r3k3/5ppp/8/8/8/8/5PPP/R3KB1R w -"));   // black: one slider
    searchRoot(testRequest);
    EXPECT_FALSE(searchState.nullMoveAllowed);
    ASSERT_TRUE(setPosition("r3k3/1b3ppp/8/8/8/8/5PPP/4KB2 w -"));   // white: one slider
    searchRoot(testRequest);
    EXPECT_FALSE(searchState.nullMoveAllowed);
}

}  // namespace
