#include <gtest/gtest.h>

#include "board/makemove.h"
#include "knowledge/knowledge.h"
#include "support/position.h"

namespace {

TEST(CastlingSignature, FollowsTheCountersOfBothColours) {
    newGame();
    EXPECT_EQ(castlingSignature(), 15);
    board.leftRookMoved[WHITE] = 1;
    EXPECT_EQ(castlingSignature(), 14);
    EXPECT_FALSE(canStillCastleLong(WHITE));
    EXPECT_TRUE(canStillCastleShort(WHITE));
    board.rightRookMoved[BLACK] = 2;
    EXPECT_EQ(castlingSignature(), 6);
    board.kingMoved[BLACK] = 1;
    EXPECT_EQ(castlingSignature(), 2);
    EXPECT_FALSE(canStillCastleLong(BLACK));
    board.castled[WHITE] = 1;
    EXPECT_EQ(castlingSignature(), 0);
    newGame();
    board.rightRookMoved[WHITE] = 1;
    board.leftRookMoved[BLACK] = 1;
    EXPECT_EQ(castlingSignature(), 1 | 8);
    newGame();
}

TEST(CastlingSignature, CastlingAndRookMovesInAGame) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1"));
    EXPECT_EQ(castlingSignature(), 4 | 8);
    ASSERT_TRUE(playMoves("h8g8 d2d3 g8h8"));
    // The rook is home again, but its move is counted.
    EXPECT_EQ(castlingSignature(), 4);
    newGame();
}

TEST(PositionSnapshot, MatchesOnlyTheSamePositionSideAndRights) {
    newGame();
    const PositionSnapshot start = currentSnapshot();
    EXPECT_EQ(start.castling, 15);
    EXPECT_EQ(start.side, WHITE);
    EXPECT_EQ(start.key, board.hashKey);
    EXPECT_EQ(start.pieces[0], board.pieceBits[PAWN]);
    EXPECT_EQ(start.white, board.colourBits[WHITE]);
    EXPECT_TRUE(snapshotsMatch(start, currentSnapshot()));

    // The same placement reached by knight moves back and forth: same snapshot.
    ASSERT_TRUE(playMoves("g1f3 g8f6 f3g1 f6g8"));
    EXPECT_TRUE(snapshotsMatch(start, currentSnapshot()));

    // Same pieces, other side to move.
    newGame();
    ASSERT_TRUE(playMoves("g1f3"));
    const PositionSnapshot afterNf3 = currentSnapshot();
    newGame();
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R w KQkq -"));
    PositionSnapshot whiteToMove = currentSnapshot();
    EXPECT_EQ(whiteToMove.key, afterNf3.key);
    EXPECT_FALSE(snapshotsMatch(whiteToMove, afterNf3));
    whiteToMove.side = BLACK;
    EXPECT_TRUE(snapshotsMatch(whiteToMove, afterNf3));

    // Same pieces, other castling rights.
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kkq -"));
    const PositionSnapshot fewerRights = currentSnapshot();
    EXPECT_EQ(fewerRights.key, start.key);
    EXPECT_EQ(fewerRights.castling, 14);
    EXPECT_FALSE(snapshotsMatch(fewerRights, start));
    newGame();
}

}  // namespace
