// Making and unmaking moves: exact restoration, the castling counters, en
// passant and promotions, and the game record.
#include <gtest/gtest.h>

#include <vector>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "support/position.h"
#include "board/board_check.h"
#include "board/perft_data.h"

namespace {

constexpr int sq(const char* text) { return squareOfText(text); }

class MakeMove : public ::testing::Test {
protected:
    void SetUp() override { board.ply = 0; }
    void TearDown() override {
        board.ply = 0;
        std::memset(pieceSquareTable, 0, sizeof pieceSquareTable);
    }
};

// Fills the piece-square bytes with values of both signs and makes pstSum match.
void fillPieceSquareTable() {
    uint32_t seed = 7;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 512; ++i) {
            seed = seed * 1103515245u + 12345u;
            pieceSquareTable[c][i] = int8_t(seed >> 16);
        }
    board.pstSum[WHITE] = pstRecount(WHITE);
    board.pstSum[BLACK] = pstRecount(BLACK);
}

TEST_F(MakeMove, EveryGeneratedMoveIsTakenBackBitForBit) {
    int total = 0;
    for (const std::string& fen : allPerftFens()) {
        ASSERT_TRUE(setPosition(fen)) << fen;
        fillPieceSquareTable();
        generateAllMoves();
        const std::vector<Move> moves(moveStack + plyEnd[-1], moveStack + plyEnd[0]);
        const BoardState before = boardState();
        for (Move m : moves) {
            const int moving = board.squares[moveFrom(m)];
            makeMove(m);
            ++total;
            ASSERT_TRUE(boardIsConsistent()) << fen << " " << coordinateText(m);
            ASSERT_EQ(board.pstSum[WHITE], pstRecount(WHITE)) << fen << " " << coordinateText(m);
            ASSERT_EQ(board.pstSum[BLACK], pstRecount(BLACK)) << fen << " " << coordinateText(m);
            ASSERT_EQ(board.squares[moveTo(m)], m & PROMOTION ? movePromoted(m) : moving);
            ASSERT_EQ(board.squares[moveFrom(m)], NOPIECE);
            unmakeMove(m);
            ASSERT_TRUE(boardState() == before) << fen << " " << coordinateText(m);
        }
    }
    EXPECT_GT(total, 1000);
}

TEST_F(MakeMove, MovePieceIsRemoveThenPlace) {
    ASSERT_TRUE(setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"));
    fillPieceSquareTable();
    for (int from = 0; from < 64; ++from) {
        if (!board.squares[from]) continue;
        const int piece = board.squares[from], colour = isOccupiedBy(from, WHITE) ? WHITE : BLACK;
        for (int to = 0; to < 64; ++to) {
            if (board.squares[to]) continue;
            const BoardState start = boardState();
            removePiece(from, piece, colour);
            placePiece(to, piece, colour);
            const BoardState twoSteps = boardState();
            placePiece(from, piece, colour);  // back by the two primitives
            removePiece(to, piece, colour);
            ASSERT_TRUE(boardState() == start);
            movePiece(from, to, piece, colour);
            ASSERT_TRUE(boardState() == twoSteps) << from << " " << to;
            movePiece(to, from, piece, colour);
            ASSERT_TRUE(boardState() == start) << from << " " << to;
        }
    }
}

TEST_F(MakeMove, CastlingMovesTheRookAndCountsForKingAndRook) {
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"));
    const BoardState before = boardState();
    const Move whiteLong = encodeMove(sq("e1"), sq("c1"), 0, 0, CASTLE_LONG);
    makeMove(whiteLong);
    EXPECT_EQ(board.squares[sq("c1")], KING);
    EXPECT_EQ(board.squares[sq("d1")], ROOK);
    EXPECT_EQ(board.squares[sq("a1")], NOPIECE);
    EXPECT_EQ(board.squares[sq("e1")], NOPIECE);
    EXPECT_TRUE(isOccupiedBy(sq("d1"), WHITE));
    EXPECT_EQ(board.castled[WHITE], 1);
    EXPECT_EQ(board.kingMoved[WHITE], 1);
    EXPECT_EQ(board.leftRookMoved[WHITE], 1);
    EXPECT_EQ(board.rightRookMoved[WHITE], 0);
    EXPECT_TRUE(boardIsConsistent());
    unmakeMove(whiteLong);
    EXPECT_TRUE(boardState() == before);

    flipSides();
    const Move blackShort = encodeMove(sq("e8"), sq("g8"), 0, 0, CASTLE_SHORT);
    makeMove(blackShort);
    EXPECT_EQ(board.squares[sq("g8")], KING);
    EXPECT_EQ(board.squares[sq("f8")], ROOK);
    EXPECT_EQ(board.squares[sq("h8")], NOPIECE);
    EXPECT_TRUE(isOccupiedBy(sq("f8"), BLACK));
    EXPECT_EQ(board.castled[BLACK], 1);
    EXPECT_EQ(board.kingMoved[BLACK], 1);
    EXPECT_EQ(board.rightRookMoved[BLACK], 1);
    EXPECT_EQ(board.leftRookMoved[BLACK], 0);
    EXPECT_EQ(board.castled[WHITE] + board.kingMoved[WHITE], 0);
    unmakeMove(blackShort);
    flipSides();
    EXPECT_TRUE(boardState() == before);
}

TEST_F(MakeMove, EnPassantTakesThePawnBesideTheTarget) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 d7d5 e4e5 f7f5"));
    const Move white = findMove("e5f6");
    ASSERT_TRUE(white & EN_PASSANT);
    const BoardState before = boardState();
    makeMove(white);
    EXPECT_EQ(board.squares[sq("f5")], NOPIECE);
    EXPECT_EQ(board.squares[sq("f6")], PAWN);
    EXPECT_TRUE(isOccupiedBy(sq("f6"), WHITE));
    EXPECT_EQ(board.material[BLACK], 9420 - 100);
    EXPECT_TRUE(boardIsConsistent());
    unmakeMove(white);
    EXPECT_TRUE(boardState() == before);

    ASSERT_TRUE(setPosition("4k3/8/8/8/3pP3/8/8/4K3 b - e3"));
    const Move black = findMove("d4e3");
    ASSERT_TRUE(black & EN_PASSANT);
    makeMove(black);
    EXPECT_EQ(board.squares[sq("e4")], NOPIECE);
    EXPECT_EQ(board.squares[sq("e3")], PAWN);
    EXPECT_TRUE(isOccupiedBy(sq("e3"), BLACK));
    EXPECT_EQ(board.material[WHITE], 5000);
    EXPECT_TRUE(boardIsConsistent());
}

TEST_F(MakeMove, PromotionsPlaceThePieceAndTakeBackAPawn) {
    ASSERT_TRUE(setPosition("1r2k3/P7/8/8/8/8/8/4K3 w - -"));
    const BoardState before = boardState();
    const Move knight = findMove("a7a8n");
    makeMove(knight);
    EXPECT_EQ(board.squares[sq("a8")], KNIGHT);
    EXPECT_EQ(board.pieceBits[PAWN], 0u);
    EXPECT_EQ(board.material[WHITE], 5000 + 350);
    unmakeMove(knight);
    EXPECT_EQ(board.squares[sq("a7")], PAWN);
    EXPECT_TRUE(boardState() == before);

    const Move takeQueen = findMove("a7b8q");
    ASSERT_EQ(moveCaptured(takeQueen), ROOK);
    makeMove(takeQueen);
    EXPECT_EQ(board.squares[sq("b8")], QUEEN);
    EXPECT_EQ(board.material[BLACK], 5000);
    unmakeMove(takeQueen);
    EXPECT_EQ(board.squares[sq("b8")], ROOK);
    EXPECT_TRUE(isOccupiedBy(sq("b8"), BLACK));
    EXPECT_TRUE(boardState() == before);

    // The reader's rook and bishop words promote the same way.
    for (int piece : {ROOK, BISHOP}) {
        const Move m = withPromoted(findMove("a7a8q"), piece);
        makeMove(m);
        EXPECT_EQ(board.squares[sq("a8")], piece);
        unmakeMove(m);
        EXPECT_TRUE(boardState() == before);
    }
}

TEST_F(MakeMove, RookCountersFollowTheHomeCorners) {
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"));
    ASSERT_TRUE(playMoves("a1a2 e8d8 a2a1 d8e8"));
    EXPECT_EQ(board.leftRookMoved[WHITE], 1);
    ASSERT_TRUE(playMoves("a1a3"));
    EXPECT_EQ(board.leftRookMoved[WHITE], 2);
    EXPECT_EQ(board.rightRookMoved[WHITE], 0);
    EXPECT_EQ(board.kingMoved[BLACK], 2);
    ASSERT_TRUE(playMoves("h8h1"));  // Black takes the rook on h1: the owner's counters stay
    EXPECT_EQ(board.rightRookMoved[WHITE], 0);
    EXPECT_EQ(board.rightRookMoved[BLACK], 1);
    // The black rook moving away from h1 (White's corner) changes no counter.
    ASSERT_TRUE(playMoves("e1e2"));
    const int before[4] = {board.leftRookMoved[BLACK], board.rightRookMoved[BLACK], board.leftRookMoved[WHITE],
                           board.rightRookMoved[WHITE]};
    ASSERT_TRUE(playMoves("h1h5"));
    EXPECT_EQ(board.leftRookMoved[BLACK], before[0]);
    EXPECT_EQ(board.rightRookMoved[BLACK], before[1]);
    EXPECT_EQ(board.leftRookMoved[WHITE], before[2]);
    EXPECT_EQ(board.rightRookMoved[WHITE], before[3]);
}

TEST_F(MakeMove, CapturingARookOnItsCornerLeavesItsOwnerAlone) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/1b6/R3K3 b Q -"));
    const int counters[4] = {board.castled[WHITE], board.kingMoved[WHITE], board.leftRookMoved[WHITE],
                             board.rightRookMoved[WHITE]};
    ASSERT_TRUE(playMoves("b2a1"));
    EXPECT_EQ(board.castled[WHITE], counters[0]);
    EXPECT_EQ(board.kingMoved[WHITE], counters[1]);
    EXPECT_EQ(board.leftRookMoved[WHITE], counters[2]);
    EXPECT_EQ(board.rightRookMoved[WHITE], counters[3]);
}

TEST_F(MakeMove, PlayBackAndNextKeepTheRecord) {
    newGame();
    const HashKey start = board.hashKey;
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3"));
    EXPECT_EQ(gameRecord.count, 3);
    EXPECT_EQ(gameRecord.recorded, 3);
    EXPECT_EQ(gameRecord.keys[2], board.hashKey);
    const HashKey afterThree = board.hashKey;
    EXPECT_EQ(board.sideToMove, BLACK);

    EXPECT_TRUE(takeBackMove());
    EXPECT_TRUE(takeBackMove());
    EXPECT_EQ(gameRecord.count, 1);
    EXPECT_EQ(gameRecord.recorded, 3);
    EXPECT_EQ(board.sideToMove, BLACK);
    // A line walked from here (a search) leaves the taken-back moves replayable.
    pushMove(findMove("d7d5"));
    pushMove(findMove("e4d5"));
    popMove(gameRecord.moves[2]);
    popMove(gameRecord.moves[1]);
    EXPECT_TRUE(replayMove());
    EXPECT_EQ(gameRecord.count, 2);
    EXPECT_EQ(gameRecord.recorded, 3);
    EXPECT_EQ(board.sideToMove, WHITE);
    EXPECT_EQ(board.hashKey, gameRecord.keys[1]);
    EXPECT_TRUE(replayMove());
    EXPECT_FALSE(replayMove());
    EXPECT_EQ(board.hashKey, afterThree);

    EXPECT_TRUE(takeBackMove());
    EXPECT_TRUE(takeBackMove());
    ASSERT_TRUE(playMoves("d7d5"));
    EXPECT_EQ(gameRecord.count, 2);
    EXPECT_EQ(gameRecord.recorded, 2);
    EXPECT_FALSE(replayMove());

    EXPECT_TRUE(takeBackMove());
    EXPECT_TRUE(takeBackMove());
    EXPECT_FALSE(takeBackMove());
    EXPECT_EQ(board.hashKey, start);
    EXPECT_EQ(board.sideToMove, WHITE);
    EXPECT_EQ(board.opponent, BLACK);
}

TEST_F(MakeMove, PlayMoveRefusesTheThreeHundredthMove) {
    newGame();
    // Knights out and back fill the record without ending the game.
    const char* cycle[4] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (int i = 0; i < 299; ++i) ASSERT_TRUE(playMoves(cycle[i % 4])) << i;
    EXPECT_EQ(gameRecord.count, 299);
    const BoardState before = boardState();
    const Move next = findMove(cycle[299 % 4]);
    ASSERT_NE(next, 0u);
    EXPECT_FALSE(playMove(next));
    EXPECT_TRUE(boardState() == before);
    EXPECT_EQ(gameRecord.count, 299);
    EXPECT_EQ(gameRecord.recorded, 299);
    // Taking one back makes room again.
    EXPECT_TRUE(takeBackMove());
    EXPECT_TRUE(playMove(findMove(cycle[298 % 4])));
    EXPECT_EQ(gameRecord.count, 299);
}

TEST_F(MakeMove, LastMoveReadsTheRecordThroughThePly) {
    newGame();
    EXPECT_EQ(lastMove(), 0u);
    ASSERT_TRUE(playMoves("e2e4"));
    EXPECT_EQ(lastMove(), gameRecord.moves[0]);
    // The search's line continues the game's moves: entry count + ply - 1.
    gameRecord.moves[1] = 0x1234;
    gameRecord.moves[2] = 0x5678;
    board.ply = 1;
    EXPECT_EQ(lastMove(), 0x1234u);
    board.ply = 2;
    EXPECT_EQ(lastMove(), 0x5678u);
}

TEST_F(MakeMove, InconsistentWordsAbort) {
    newGame();
    EXPECT_DEATH(makeMove(encodeMove(sq("e4"), sq("e5"), 1, 0, QUIET)), "");            // empty origin
    EXPECT_DEATH(makeMove(encodeMove(sq("e2"), sq("e8"), 0, ROOK, CAPTURE)), "");        // wrong captured piece
    EXPECT_DEATH(makeMove(encodeMove(sq("e2"), sq("e3"), 0, 0, PROMOTION)), "");         // promotion to nothing
}

}  // namespace
