// The teach table inside the search: learned entries near the root only
// order moves, deeper ones may end a node, and damaged entries do no harm.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "board/makemove.h"
#include "board/movegen.h"
#include "knowledge/knowledge.h"
#include "search/search.h"
#include "search/search_support.h"
#include "search/tt.h"
#include "support/position.h"

namespace {

class TeachInSearch : public testing::Test {
protected:
    void SetUp() override {
        // No book, no clock stop; the teach table consulted and learning.
        testRequest = freshTestRequest();
        testRequest.depth = 4;
        testRequest.useTeach = true;
        testRequest.recordTeach = true;
        clearBook();
        clearTeachTable();
        ASSERT_FALSE(loadTeachTable("/nonexistent/rotor/teach.dat"));
    }
    void TearDown() override {
        clearTeachTable();
        newGame();
    }
    // Runs the root search (it prints nothing).
    SearchResult search() { return searchRoot(testRequest); }
    // The legal moves of the current position.
    std::vector<Move> legalMoves() {
        std::vector<Move> moves;
        generateAllMoves();
        const std::vector<Move> all(moveStack + plyEnd[-1], moveStack + plyEnd[0]);
        for (Move m : all)
            if (isLegalMove(m)) moves.push_back(m);
        return moves;
    }
};

// White's queen move to d4 loses the queen to the pawn on e5.
const char* const queenBlunder = "4k3/8/8/4p3/8/8/3Q4/4K3 w - -";

TEST_F(TeachInSearch, AHitAtPlyOneNeverEndsTheNode) {
    ASSERT_TRUE(setPosition(queenBlunder));
    const Move blunder = findMove("d2d4");
    ASSERT_TRUE(playMove(blunder));
    // "Black, to move here, is mated": taken at its word this would make the blunder win.
    ASSERT_TRUE(teachRecord(0, -MATE_SCORE, MAX_ITERATION_DEPTH));
    ASSERT_TRUE(setPosition(queenBlunder));
    SearchResult result = search();
    const Move move = result.move;
    ASSERT_NE(move, 0u);
    EXPECT_NE(move, blunder);
    EXPECT_LT(result.score, 99900);
}

TEST_F(TeachInSearch, AHitAtPlyTwoNeverEndsTheNode) {
    ASSERT_TRUE(setPosition(queenBlunder));
    const Move blunder = findMove("d2d4");
    ASSERT_TRUE(playMove(blunder));
    // Every reply "mates Black" according to the table.
    for (Move reply : legalMoves()) {
        ASSERT_TRUE(playMove(reply));
        ASSERT_TRUE(teachRecord(0, MATE_SCORE, MAX_ITERATION_DEPTH));
        ASSERT_TRUE(takeBackMove());
    }
    ASSERT_TRUE(setPosition(queenBlunder));
    SearchResult result = search();
    const Move move = result.move;
    ASSERT_NE(move, 0u);
    EXPECT_NE(move, blunder);
    EXPECT_LT(result.score, 99900);
}

TEST_F(TeachInSearch, AHitAtPlyThreeEndsTheNodeWhenDeepEnough) {
    // Below a quiet first move and any reply, the table claims a mate for
    // White: trusted at ply 3, it makes that first move look winning.
    ASSERT_TRUE(setPosition(queenBlunder));
    const Move quiet = findMove("e1f1");
    ASSERT_TRUE(playMove(quiet));
    for (Move reply : legalMoves()) {
        ASSERT_TRUE(playMove(reply));
        for (Move second : legalMoves()) {
            ASSERT_TRUE(playMove(second));
            ASSERT_TRUE(teachRecord(0, -(MATE_SCORE - 10), MAX_ITERATION_DEPTH));
            ASSERT_TRUE(takeBackMove());
        }
        ASSERT_TRUE(takeBackMove());
    }
    ASSERT_TRUE(setPosition(queenBlunder));
    SearchResult result = search();
    const Move move = result.move;
    ASSERT_NE(move, 0u);
    EXPECT_EQ(move, quiet);
    EXPECT_GT(result.score, 99900);

    // With the teach table off the claim is never read.
    testRequest.useTeach = false;
    ASSERT_TRUE(setPosition(queenBlunder));
    result = search();
    ASSERT_NE(result.move, 0u);
    EXPECT_LT(result.score, 99900);
}

TEST_F(TeachInSearch, DamagedEntriesAllOverTheTreeDoNoHarm) {
    const char* const fen = "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQK2R w KQkq -";
    ASSERT_TRUE(setPosition(fen));
    std::mt19937 random(5);
    // Real moves of the position with flags or fields they cannot have: each
    // passes a check of the squares alone and would corrupt the Board if made.
    auto spoiled = [&random](Move m) {
        switch (random() % 6) {
        case 0: return m | CASTLE_LONG;
        case 1: return (m & ~0x7000u) | PROMOTION | Move(KING) << 12;
        case 2: return m | EN_PASSANT | CAPTURE | Move(PAWN) << 15;
        case 3: return (m & ~0x38000u) | CAPTURE | Move(QUEEN) << 15;
        case 4: return m | Move(1) << 21;
        default: return Move(random());
        }
    };
    int recorded = 0;
    for (Move first : legalMoves()) {
        ASSERT_TRUE(playMove(first));
        for (Move reply : legalMoves()) {
            ASSERT_TRUE(playMove(reply));
            const std::vector<Move> here = legalMoves();
            ASSERT_TRUE(teachRecord(spoiled(here[random() % here.size()]), int(random()), int(random())));
            ++recorded;
            ASSERT_TRUE(takeBackMove());
        }
        const std::vector<Move> here = legalMoves();
        ASSERT_TRUE(teachRecord(spoiled(here[random() % here.size()]), int(random()), int(random())));
        ASSERT_TRUE(takeBackMove());
    }
    ASSERT_GT(recorded, 500);
    ASSERT_TRUE(setPosition(fen));
    const PositionSnapshot before = currentSnapshot();
    const std::vector<Move> legal = legalMoves();
    for (int depth : {2, 3, 4, 5}) {
        testRequest.depth = depth;
        const SearchResult result = search();
        const Move move = result.move;
        ASSERT_NE(move, 0u);
        EXPECT_NE(std::find(legal.begin(), legal.end(), move), legal.end()) << depth;
        EXPECT_GE(result.score, -MATE_SCORE);
        EXPECT_LE(result.score, MATE_SCORE);
        EXPECT_TRUE(snapshotsMatch(before, currentSnapshot()));
        EXPECT_EQ(board.ply, 0);
        EXPECT_EQ(gameRecord.count, 0);
    }
}

// A stored move keeps the transposition table out of the node, whether it
// can be played there or not: an en passant capture learned with the right
// is refused when the same position comes up without it (en passant is not
// part of the position's identity). An entry without a move leaves the
// table its say.
TEST_F(TeachInSearch, AStoredMoveKeepsTheTranspositionTableOut) {
    const char* const withRight = "4k3/8/8/3pP3/8/8/8/4K3 w - d6";
    const char* const withoutRight = "4k3/8/8/3pP3/8/8/8/4K3 w - -";
    ASSERT_TRUE(setPosition(withRight));
    const Move enPassant = findMove("e5d6");
    const Move kingStep = findMove("e1d1");
    ASSERT_NE(enPassant, 0u);
    const struct {
        const char* fen;
        Move stored;
        bool probed;
    } cases[] = {
        {withRight, enPassant, false},
        {withoutRight, enPassant, false},
        {withoutRight, kingStep, false},
        {withoutRight, 0, true},
    };
    constexpr int TABLE_SCORE = 7777;   // outside the window: it would end the node
    for (const auto& c : cases) {
        clearTeachTable();
        ASSERT_FALSE(loadTeachTable("/nonexistent/rotor/teach.dat"));
        ASSERT_TRUE(setPosition(c.fen));
        ASSERT_TRUE(teachRecord(c.stored, 0, MAX_ITERATION_DEPTH));   // no cut-off at the root ply
        TeachHit hit{};
        ASSERT_TRUE(teachLookup(hit));
        EXPECT_EQ(hit.movePresent, c.stored != 0);
        EXPECT_EQ(hit.move, c.fen == withoutRight && c.stored == enPassant ? 0u : c.stored) << "refused: no right";
        prepareNode(0);
        ttStore(kingStep, TABLE_SCORE, MAX_ITERATION_DEPTH, board.sideToMove, BOUND_EXACT);
        PvLine pv{};
        Move best = 0;
        const int score = alphaBeta(-100, 100, 2, &pv, &best, PLAIN_NODE);
        EXPECT_EQ(score == TABLE_SCORE, c.probed) << c.fen << " stored " << c.stored;
        EXPECT_EQ(searchState.clock.nodes > 1, !c.probed) << "searched below";
    }
}

}  // namespace
