#include <gtest/gtest.h>

#include <cstring>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/random.h"
#include "support/position.h"
#include "board/board_check.h"

namespace {

HashKey keyFromScratch() {
    HashKey key = 0;
    for (int sq = 0; sq < 64; ++sq)
        if (board.squares[sq]) key ^= zobristKeys[isOccupiedBy(sq, WHITE) ? WHITE : BLACK][board.squares[sq]][sq];
    return key;
}

TEST(Board, NewGameSetsUpTheInitialPosition) {
    newGame();
    EXPECT_EQ(board.sideToMove, WHITE);
    EXPECT_EQ(board.opponent, BLACK);
    EXPECT_EQ(board.material[WHITE], 9420);
    EXPECT_EQ(board.material[BLACK], 9420);
    EXPECT_EQ(board.squares[4], KING);
    EXPECT_EQ(board.squares[60], KING);
    EXPECT_EQ(board.colourBits[BLACK], 0xFFFFull);
    EXPECT_EQ(board.colourBits[WHITE], 0xFFFFull << 48);
    EXPECT_EQ(board.pieceBits[NOPIECE], 0u);
    EXPECT_EQ(lineOccupancy.rank, board.colourBits[WHITE] | board.colourBits[BLACK]);
    EXPECT_EQ(popCount(lineOccupancy.file), 32);
    EXPECT_EQ(popCount(lineOccupancy.diagA1H8), 32);
    EXPECT_EQ(popCount(lineOccupancy.diagA8H1), 32);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(board.castled[c], 0);
        EXPECT_EQ(board.kingMoved[c], 0);
        EXPECT_EQ(board.leftRookMoved[c], 0);
        EXPECT_EQ(board.rightRookMoved[c], 0);
    }
    EXPECT_EQ(gameRecord.count, 0);
    EXPECT_EQ(gameRecord.recorded, 0);
    EXPECT_EQ(board.hashKey, keyFromScratch());
}

TEST(Board, KeysComeFromTheFixedSequence) {
    newGame();
    EXPECT_EQ(zobristKeys[WHITE][PAWN][0], 0x015A00822AE60442ull);
    for (int p : {0, 7})
        for (int sq = 0; sq < 64; ++sq) EXPECT_EQ(zobristKeys[BLACK][p][sq], 0u);
    for (int c = 0; c < 2; ++c)
        for (int p = 1; p <= 6; ++p)
            for (int sq = 0; sq < 64; ++sq) EXPECT_EQ(zobristKeys[c][p][sq] & 0x8000800080008000ull, 0u);
    const HashKey first = board.hashKey;
    newGame();
    EXPECT_EQ(board.hashKey, first);
}

TEST(Board, GeneratorFollowsItsRecurrence) {
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 346);
    EXPECT_EQ(nextRandom(), 130);
    EXPECT_EQ(nextRandom(), 10982);
    EXPECT_EQ(nextRandom(), 1090);
}

TEST(Board, PlaceThenRemoveRestoresEveryField) {
    newGame();
    Board before = board;
    const LineOccupancy lines = lineOccupancy;
    for (int sq = 16; sq < 48; ++sq)
        for (int piece = PAWN; piece <= KING; ++piece)
            for (int colour = 0; colour < 2; ++colour) {
                placePiece(sq, piece, colour);
                EXPECT_EQ(board.hashKey, keyFromScratch());
                removePiece(sq, piece, colour);
                ASSERT_EQ(std::memcmp(&before, &board, sizeof(Board)), 0);
                ASSERT_EQ(std::memcmp(&lines, &lineOccupancy, sizeof(LineOccupancy)), 0);
            }
}

TEST(Board, LowestSquare) {
    newGame();
    EXPECT_EQ(lowestSquare(squareBit(63)), 63);
    EXPECT_EQ(lowestSquare(squareBit(0) | squareBit(63)), 0);
    EXPECT_EQ(lowestSquare(squareBit(40) | squareBit(50)), 40);
    EXPECT_EQ(lowestSquare(0), 56);
    for (int sq = 0; sq < 64; ++sq) EXPECT_EQ(lowestSquare(squareBit(sq) | squareBit(63)), sq);
}

TEST(Board, ConstantTables) {
    const int values[8] = {0, 100, 350, 360, 540, 1120, 5000, 0};
    for (int p = 0; p < 8; ++p) EXPECT_EQ(pieceValue[p], values[p]);
    EXPECT_EQ(pawnStep[WHITE], -8);
    EXPECT_EQ(pawnStep[BLACK], 8);
    const int backRow[8] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, BISHOP, KNIGHT, ROOK};
    for (int col = 0; col < 8; ++col) {
        EXPECT_EQ(initialPosition[col], backRow[col]);
        EXPECT_EQ(initialPosition[56 + col], backRow[col]);
        EXPECT_EQ(initialPosition[8 + col], PAWN);
        EXPECT_EQ(initialPosition[48 + col], PAWN);
    }
    for (int sq = 16; sq < 48; ++sq) EXPECT_EQ(initialPosition[sq], NOPIECE);
}

TEST(Board, NewGameResetsThePositionButNotThePly) {
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R b KQkq -"));
    ASSERT_TRUE(playMoves("e8g8 e1c1"));
    board.ply = 7;
    newGame();
    EXPECT_EQ(board.ply, 7);
    board.ply = 0;
    EXPECT_TRUE(boardIsConsistent());
    EXPECT_EQ(board.sideToMove, WHITE);
    for (int c = 0; c < 2; ++c) EXPECT_EQ(board.castled[c] + board.kingMoved[c] + board.rightRookMoved[c], 0);
    EXPECT_EQ(gameRecord.count, 0);
    EXPECT_EQ(gameRecord.recorded, 0);
    // Black's pieces stand on squares 0..15, White's on 48..63.
    for (int sq = 0; sq < 64; ++sq)
        if (board.squares[sq]) {
            EXPECT_TRUE(isOccupiedBy(sq, sq < 32 ? BLACK : WHITE)) << sq;
        }
}

TEST(Board, PieceSquareSumFollowsPlaceAndRemove) {
    newGame();
    for (int i = 0; i < 512; ++i) {
        pieceSquareTable[WHITE][i] = int8_t(i * 37);
        pieceSquareTable[BLACK][i] = int8_t(-i * 11);
    }
    board.pstSum[WHITE] = pstRecount(WHITE);
    board.pstSum[BLACK] = pstRecount(BLACK);
    placePiece(35, QUEEN, WHITE);
    EXPECT_EQ(board.pstSum[WHITE], pstRecount(WHITE));
    removePiece(12, PAWN, BLACK);
    EXPECT_EQ(board.pstSum[BLACK], pstRecount(BLACK));
    EXPECT_EQ(board.material[BLACK], 9420 - 100);
    EXPECT_EQ(board.material[WHITE], 9420 + 1120);
    std::memset(pieceSquareTable, 0, sizeof pieceSquareTable);
}

// Each kind of damage to one redundant part of the Board is caught by the
// recount; the checked builds then end the process at the next make.
TEST(BoardDeathTest, RecountCatchesDamageToEachPart) {
    const struct {
        const char* part;
        void (*damage)();
    } cases[] = {
        {"piece set", [] { board.pieceBits[KNIGHT] ^= squareBit(35); }},
        {"colour sets overlap", [] { board.colourBits[WHITE] |= squareBit(0); }},
        {"colour set without piece", [] { board.colourBits[BLACK] |= squareBit(35); }},
        {"mailbox", [] { board.squares[35] = BISHOP; }},
        {"rank occupancy", [] { lineOccupancy.rank ^= squareBit(rankIndex(35)); }},
        {"file occupancy", [] { lineOccupancy.file ^= squareBit(fileIndex(35)); }},
        {"a1-h8 occupancy", [] { lineOccupancy.diagA1H8 ^= squareBit(diagA1H8Index(35)); }},
        {"a8-h1 occupancy", [] { lineOccupancy.diagA8H1 ^= squareBit(diagA8H1Index(35)); }},
        {"key", [] { board.hashKey ^= zobristKeys[WHITE][PAWN][35]; }},
        {"material", [] { board.material[BLACK] += PAWN_VALUE; }},
        {"opponent", [] { board.opponent = board.sideToMove; }},
    };
    for (const auto& c : cases) {
        newGame();
        const Move e2e4 = findMove("e2e4");
        ASSERT_TRUE(boardIsConsistent());
        c.damage();
        EXPECT_FALSE(boardIsConsistent()) << c.part;
        if (checkEveryMove) {
            EXPECT_DEATH(makeMove(e2e4), "") << c.part;
        }
    }
    newGame();
}

TEST(BoardDeathTest, PlacingOnAnOccupiedSquareAborts) {
    newGame();
    EXPECT_DEATH(placePiece(0, PAWN, WHITE), "");
    EXPECT_DEATH(removePiece(30, PAWN, WHITE), "");
}

}  // namespace
