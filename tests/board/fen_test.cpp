// The FEN reader of board/fen.
#include <gtest/gtest.h>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "support/position.h"
#include "board/board_check.h"

namespace {

constexpr int sq(const char* text) { return squareOfText(text); }

TEST(Fen, InitialPositionEqualsNewGame) {
    newGame();
    const BoardState fresh = boardState();
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"));
    EXPECT_TRUE(boardState() == fresh);
    EXPECT_EQ(gameRecord.count, 0);
    EXPECT_EQ(gameRecord.recorded, 0);
}

TEST(Fen, PlacementAndSideToMove) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K2R b KQ -"));
    EXPECT_EQ(board.sideToMove, BLACK);
    EXPECT_EQ(board.opponent, WHITE);
    EXPECT_EQ(board.squares[sq("a1")], ROOK);
    EXPECT_EQ(board.squares[sq("e8")], KING);
    EXPECT_TRUE(isOccupiedBy(sq("e8"), BLACK));
    EXPECT_TRUE(isOccupiedBy(sq("h1"), WHITE));
    EXPECT_EQ(popCount(board.colourBits[WHITE] | board.colourBits[BLACK]), 4);
    EXPECT_TRUE(boardIsConsistent());
    ASSERT_TRUE(setPosition("8/8/8/8/8/8/8/8"));  // fields after the placement may be missing
    EXPECT_EQ(board.sideToMove, WHITE);
    EXPECT_EQ(board.hashKey, 0u);
}

TEST(Fen, CastlingRightsMapOntoTheCounters) {
    struct Case {
        const char* rights;
        int king[2], left[2], right[2];
    } cases[] = {
        {"KQkq", {0, 0}, {0, 0}, {0, 0}},
        {"-", {1, 1}, {0, 0}, {0, 0}},
        {"Kq", {0, 0}, {1, 0}, {0, 1}},
        {"Qk", {0, 0}, {0, 1}, {1, 0}},
        {"K", {0, 1}, {1, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(setPosition(std::string("r3k2r/8/8/8/8/8/8/R3K2R w ") + c.rights + " -")) << c.rights;
        for (int colour = 0; colour < 2; ++colour) {
            EXPECT_EQ(board.kingMoved[colour], c.king[colour]) << c.rights;
            EXPECT_EQ(board.leftRookMoved[colour], c.left[colour]) << c.rights;
            EXPECT_EQ(board.rightRookMoved[colour], c.right[colour]) << c.rights;
            EXPECT_EQ(board.castled[colour], 0);
        }
    }
}

TEST(Fen, EnPassantSquareReplaysTheDoubleStep) {
    ASSERT_TRUE(setPosition("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3"));
    EXPECT_EQ(gameRecord.count, 1);
    EXPECT_EQ(gameRecord.recorded, 1);
    EXPECT_EQ(lastMove(), encodeMove(sq("f7"), sq("f5"), 1, 0, QUIET));
    EXPECT_EQ(gameRecord.keys[0], board.hashKey);
    EXPECT_EQ(board.sideToMove, WHITE);
    EXPECT_EQ(board.squares[sq("f5")], PAWN);
    EXPECT_EQ(board.squares[sq("f7")], NOPIECE);
    EXPECT_NE(findMove("e5f6"), 0u);
    EXPECT_EQ(findMove("e5d6"), 0u);
    // Black to move after White's double step.
    ASSERT_TRUE(setPosition("4k3/8/8/8/3pP3/8/8/4K3 b - e3"));
    EXPECT_EQ(lastMove(), encodeMove(sq("e2"), sq("e4"), 1, 0, QUIET));
    EXPECT_NE(findMove("d4e3"), 0u);
}

TEST(Fen, UnreadableTextIsRefused) {
    for (const char* fen : {
             "",                                                    // nothing
             "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w",                 // seven ranks
             "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w",      // nine ranks
             "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w",        // a rank of nine
             "rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w",         // a rank of seven
             "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNRR w",       // a rank of nine pieces
             "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w",        // unknown piece
             "4k3/8/8/8/8/8/8/P3K3 w",                              // pawn on the first rank
             "p3k3/8/8/8/8/8/8/4K3 w",                              // pawn on the last rank
             "4k3/8/8/8/8/8/8/4K3 x",                               // bad side
             "4k3/8/8/8/8/8/8/4K3 w KX",                            // bad castling letter
             "4k3/8/8/8/8/8/8/4K3 w - e9",                          // bad square
             "4k3/8/8/8/4P3/8/8/4K3 b - e4",                        // wrong rank for the side
             "4k3/8/8/8/8/8/8/4K3 b - e3",                          // no pawn made the step
             "4k3/8/8/8/4p3/8/8/4K3 b - e3",                        // the pawn there is Black's
             "4k3/8/8/8/4P3/4n3/8/4K3 b - e3",                      // the passed square is occupied
             "4k3/8/8/8/4P3/8/4B3/4K3 b - e3",                      // the origin is occupied
         })
        EXPECT_FALSE(setPosition(fen)) << fen;
}

}  // namespace
