// Attack tables and attack tests: the rotated maps, slider lookups against a
// ray walk, knight and king tables, pawn attacks at the board's edges,
// isAttacked and the inCheck memo.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "support/position.h"

namespace {

Bitboard squares(std::initializer_list<int> list) {
    Bitboard set = 0;
    for (int sq : list) set |= squareBit(sq);
    return set;
}

// Square of text such as "e4".
constexpr int sq(const char* text) { return squareOfText(text); }

// Slider attacks by walking rays over an occupancy.
Bitboard walkRays(int square, Bitboard occupied, const int (*steps)[2], int count) {
    Bitboard set = 0;
    for (int i = 0; i < count; ++i) {
        int row = rowOf(square) + steps[i][0], col = colOf(square) + steps[i][1];
        while (row >= 0 && row < 8 && col >= 0 && col < 8) {
            set |= squareBit(row * 8 + col);
            if (occupied & squareBit(row * 8 + col)) break;
            row += steps[i][0];
            col += steps[i][1];
        }
    }
    return set;
}
const int diagonalSteps[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
const int straightSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

// Puts an occupancy on an empty board as black knights, so that every line
// table sees it.
void occupy(Bitboard occupied) {
    setPosition("8/8/8/8/8/8/8/8 w - -");
    for (int s = 0; s < 64; ++s)
        if (occupied & squareBit(s)) placePiece(s, KNIGHT, BLACK);
}

TEST(Attacks, RotatedMapsFollowTheirRule) {
    newGame();
    for (int s = 0; s < 64; ++s) {
        const int row = rowOf(s), col = colOf(s);
        EXPECT_EQ(rankLines.squareToRotated[s], s);
        EXPECT_EQ(fileLines.squareToRotated[s], col * 8 + row);
        EXPECT_EQ(diagA1H8Lines.squareToRotated[s], ((row + col) % 8) * 8 + col);
        EXPECT_EQ(diagA8H1Lines.squareToRotated[s], (((row - col) % 8 + 8) % 8) * 8 + col);
        for (const LineTable* t : {&rankLines, &fileLines, &diagA1H8Lines, &diagA8H1Lines})
            EXPECT_EQ(t->rotatedToSquare[t->squareToRotated[s]], s);
    }
}

TEST(Attacks, RookOnA1AlongTheRank) {
    newGame();
    const int a1 = 56;
    EXPECT_EQ(rankLines.attacks[a1][0], squares({57, 58, 59, 60, 61, 62, 63}));
    // A piece on d1 (bit 3 of the rank's pattern) stops the ray there.
    EXPECT_EQ(rankLines.attacks[a1][1 << 3], squares({57, 58, 59}));
    // The rook's own bit in the pattern is ignored.
    EXPECT_EQ(rankLines.attacks[a1][1 | 1 << 3], squares({57, 58, 59}));
}

TEST(Attacks, BishopOnA8) {
    newGame();
    const int i = diagA1H8Lines.squareToRotated[0];
    for (int pattern = 0; pattern < 256; ++pattern) EXPECT_EQ(diagA1H8Lines.attacks[i][pattern], 0u);
    const int j = diagA8H1Lines.squareToRotated[0];
    EXPECT_EQ(diagA8H1Lines.attacks[j][0], squares({9, 18, 27, 36, 45, 54, 63}));
    occupy(0);
    EXPECT_EQ(bishopAttacks(0), squares({9, 18, 27, 36, 45, 54, 63}));
}

TEST(Attacks, KnightAndKingTablesAtTheCorners) {
    newGame();
    EXPECT_EQ(knightAttacks[sq("a1")], squares({sq("b3"), sq("c2")}));
    EXPECT_EQ(kingAttacks[sq("h8")], squares({sq("g8"), sq("g7"), sq("h7")}));
    EXPECT_EQ(knightAttacks[sq("e4")],
              squares({sq("d6"), sq("f6"), sq("c5"), sq("g5"), sq("c3"), sq("g3"), sq("d2"), sq("f2")}));
    EXPECT_EQ(kingAttacks[sq("a4")], squares({sq("a5"), sq("b5"), sq("b4"), sq("a3"), sq("b3")}));
    for (int s = 0; s < 64; ++s) {
        EXPECT_FALSE(knightAttacks[s] & squareBit(s));
        EXPECT_FALSE(kingAttacks[s] & squareBit(s));
        EXPECT_EQ(popCount(kingAttacks[s]), (rowOf(s) % 7 ? 3 : 2) * (colOf(s) % 7 ? 3 : 2) - 1);
    }
}

TEST(Attacks, SlidersMatchARayWalkOnManyOccupancies) {
    uint64_t seed = 12345;
    for (int round = 0; round < 40; ++round) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        const Bitboard occupied = seed & (seed >> 7) & 0xFFFFFFFFFFFFFFFFull;
        occupy(occupied);
        for (int s = 0; s < 64; ++s) {
            ASSERT_EQ(bishopAttacks(s), walkRays(s, occupied, diagonalSteps, 4)) << round << " " << s;
            ASSERT_EQ(rookAttacks(s), walkRays(s, occupied, straightSteps, 4)) << round << " " << s;
            ASSERT_EQ(queenAttacks(s), bishopAttacks(s) | rookAttacks(s));
            auto along = [s](const LineTable& t, Bitboard o) { return lineAttacks(t, o, t.squareToRotated[s]); };
            const LineOccupancy& o = lineOccupancy;
            ASSERT_EQ(along(fileLines, o.file) | along(rankLines, o.rank), rookAttacks(s));
            ASSERT_EQ(along(diagA1H8Lines, o.diagA1H8) | along(diagA8H1Lines, o.diagA8H1), bishopAttacks(s));
        }
    }
}

// Between two squares on a line lie the squares where the rays from both ends,
// each stopped by the other end, meet; squares on no common line have none.
TEST(Attacks, BetweenSquaresWhereRaysFromBothEndsMeet) {
    initAttackTables();
    for (int a = 0; a < 64; ++a)
        for (int b = 0; b < 64; ++b) {
            Bitboard expected = 0;
            for (const auto* steps : {diagonalSteps, straightSteps})
                if (walkRays(a, 0, steps, 4) & squareBit(b))
                    expected = walkRays(a, squareBit(b), steps, 4) & walkRays(b, squareBit(a), steps, 4);
            ASSERT_EQ(betweenSquares[a][b], expected) << a << " " << b;
        }
}

TEST(Attacks, PawnAttacksDoNotWrapAroundTheEdges) {
    for (int row = 1; row < 7; ++row) {
        const Bitboard aPawn = squareBit(row * 8), hPawn = squareBit(row * 8 + 7);
        EXPECT_EQ(pawnAttacksOf(aPawn, WHITE), squareBit((row - 1) * 8 + 1));
        EXPECT_EQ(pawnAttacksOf(hPawn, WHITE), squareBit((row - 1) * 8 + 6));
        EXPECT_EQ(pawnAttacksOf(aPawn, BLACK), squareBit((row + 1) * 8 + 1));
        EXPECT_EQ(pawnAttacksOf(hPawn, BLACK), squareBit((row + 1) * 8 + 6));
    }
    // Through isAttacked: a white pawn on a4 attacks b5 only, not h5 or h4.
    ASSERT_TRUE(setPosition("8/8/8/8/P6p/8/8/8 w - -"));
    EXPECT_TRUE(isAttacked(sq("b5"), WHITE));
    EXPECT_FALSE(isAttacked(sq("h5"), WHITE));
    EXPECT_FALSE(isAttacked(sq("h4"), WHITE));
    EXPECT_FALSE(isAttacked(sq("h3"), WHITE));
    // The black pawn on h4 attacks g3 only, not a3 or a4.
    EXPECT_TRUE(isAttacked(sq("g3"), BLACK));
    EXPECT_FALSE(isAttacked(sq("a3"), BLACK));
    EXPECT_FALSE(isAttacked(sq("a4"), BLACK));
    EXPECT_FALSE(isAttacked(sq("a5"), BLACK));
}

TEST(Attacks, IsAttackedByPawns) {
    for (const char* fen : {"8/8/8/8/3p4/8/8/8 w - -", "8/8/8/8/5p2/8/8/8 w - -"}) {
        ASSERT_TRUE(setPosition(fen));
        EXPECT_TRUE(isAttacked(sq("e3"), BLACK)) << fen;
        EXPECT_FALSE(isAttacked(sq("e3"), WHITE)) << fen;
    }
    ASSERT_TRUE(setPosition("8/8/8/8/4p3/8/8/8 w - -"));
    EXPECT_FALSE(isAttacked(sq("e3"), BLACK));
    for (const char* fen : {"8/8/8/3P4/8/8/8/8 w - -", "8/8/8/5P2/8/8/8/8 w - -"}) {
        ASSERT_TRUE(setPosition(fen));
        EXPECT_TRUE(isAttacked(sq("e6"), WHITE)) << fen;
        EXPECT_FALSE(isAttacked(sq("e4"), WHITE)) << fen;  // pawns do not attack backwards
    }
}

TEST(Attacks, IsAttackedByEachPieceClass) {
    // Black: bishop b7, rook h4, knight c3, king g8, queen a1; a white pawn on d5 blocks.
    ASSERT_TRUE(setPosition("6k1/1b6/8/3P4/7r/2n5/8/q7 w - -"));
    EXPECT_TRUE(isAttacked(sq("c6"), BLACK));   // bishop
    EXPECT_TRUE(isAttacked(sq("d5"), BLACK));   // bishop, the first square in its way
    EXPECT_TRUE(isAttacked(sq("h1"), BLACK));   // rook down the file, and the queen along rank 1
    EXPECT_TRUE(isAttacked(sq("a4"), BLACK));   // rook along the rank
    EXPECT_TRUE(isAttacked(sq("e2"), BLACK));   // knight
    EXPECT_TRUE(isAttacked(sq("h7"), BLACK));   // king
    EXPECT_TRUE(isAttacked(sq("a8"), BLACK));   // queen up the a-file
    EXPECT_FALSE(isAttacked(sq("f3"), BLACK));  // on the bishop's diagonal behind the pawn on d5
    EXPECT_FALSE(isAttacked(sq("h8"), WHITE));
    EXPECT_TRUE(isAttacked(sq("c6"), WHITE));   // the pawn on d5
}

TEST(Attacks, KingSquareAndOccupancy) {
    newGame();
    EXPECT_EQ(kingSquare(WHITE), 60);
    EXPECT_EQ(kingSquare(BLACK), 4);
    EXPECT_TRUE(isOccupiedBy(60, WHITE));
    EXPECT_FALSE(isOccupiedBy(60, BLACK));
    EXPECT_FALSE(isOccupiedBy(30, WHITE) || isOccupiedBy(30, BLACK));
    ASSERT_TRUE(setPosition("8/8/8/8/8/8/8/4K3 w - -"));
    EXPECT_EQ(kingSquare(BLACK), 56);  // no king
}

TEST(Attacks, InCheckAsksForTheSideToMoveAndMemoisesPerColour) {
    // The white king on e1 is attacked by the rook on e8; the black king on a8 is not.
    ASSERT_TRUE(setPosition("k3r3/8/8/8/8/8/8/4K3 w - -"));
    EXPECT_TRUE(inCheck());
    flipSides();  // same key, other side to move
    EXPECT_FALSE(inCheck());
    flipSides();
    EXPECT_TRUE(inCheck());
    // After a move that leaves the king attacked, before the flip, inCheck tells so.
    Move m = encodeMove(60, 61, 0, 0, QUIET);  // Ke1-f1: out of the rook's file
    makeMove(m);
    EXPECT_FALSE(inCheck());
    unmakeMove(m);
    m = encodeMove(60, 52, 0, 0, QUIET);  // Ke1-e2: still on the file
    makeMove(m);
    EXPECT_TRUE(inCheck());
    unmakeMove(m);
}

TEST(Attacks, SecondInitialisationChangesNothing) {
    newGame();
    auto copyOf = [](const LineTable& t) {
        auto copy = std::make_unique<LineTable>();
        std::memcpy(copy.get(), &t, sizeof(LineTable));
        return copy;
    };
    auto ranks = copyOf(rankLines), files = copyOf(fileLines);
    auto diag1 = copyOf(diagA1H8Lines), diag2 = copyOf(diagA8H1Lines);
    Bitboard knights[64], kings[64];
    uint8_t low[129];
    std::memcpy(knights, knightAttacks, sizeof knights);
    std::memcpy(kings, kingAttacks, sizeof kings);
    std::memcpy(low, lowBitIndex, sizeof low);
    initAttackTables();
    EXPECT_EQ(std::memcmp(ranks.get(), &rankLines, sizeof(LineTable)), 0);
    EXPECT_EQ(std::memcmp(files.get(), &fileLines, sizeof(LineTable)), 0);
    EXPECT_EQ(std::memcmp(diag1.get(), &diagA1H8Lines, sizeof(LineTable)), 0);
    EXPECT_EQ(std::memcmp(diag2.get(), &diagA8H1Lines, sizeof(LineTable)), 0);
    EXPECT_EQ(std::memcmp(knights, knightAttacks, sizeof knights), 0);
    EXPECT_EQ(std::memcmp(kings, kingAttacks, sizeof kings), 0);
    EXPECT_EQ(std::memcmp(low, lowBitIndex, sizeof low), 0);
}

TEST(Attacks, LowBitIndexTable) {
    newGame();
    for (int i = 0; i < 129; ++i) {
        int expected = 0;
        for (int k = 0; k < 8; ++k)
            if (i == 1 << k) expected = k;
        EXPECT_EQ(lowBitIndex[i], expected) << i;
    }
}

TEST(Attacks, StepTables) {
    const int offsets[16] = {1, 16, -1, -16, 15, 17, -15, -17, 14, -14, 18, -18, 31, -31, 33, -33};
    const int first[7] = {6, 4, 8, 4, 0, 0, 0}, last[7] = {7, 5, 15, 7, 3, 7, 7};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(stepOffsets[i], offsets[i]);
    for (int p = 0; p < 7; ++p) {
        EXPECT_EQ(stepFirst[p], first[p]);
        EXPECT_EQ(stepLast[p], last[p]);
    }
}

}  // namespace
