#include <gtest/gtest.h>

#include "board/attacks.h"
#include "eval_support.h"

namespace {

int piecesOf(int colour, Bitboard passed = 0, Bitboard loose = 0) {
    AttackMap map{};
    return evaluatePieces(colour, map, passed, loose);
}

TEST(EvalPieces, WorkedExample) {
    setWithZeroTables("3q2k1/5ppp/8/3pN3/3P4/8/5PPP/3R2K1 w");
    board.castled[WHITE] = 1;
    // Knight outpost 3; rook back rank 2 + seven empty squares 3; king 2 + 6;
    // pressure on f7 1.
    EXPECT_EQ(piecesOf(WHITE), 17);
    // Queen d8: distance 10 to g1; nothing else.
    EXPECT_EQ(piecesOf(BLACK), -10);
}

TEST(EvalPieces, KnightsDefendingEachOtherInVisitingOrder) {
    // e4 scores for c3, c3 for b1, b1 for nothing: +4. King with no pawn on
    // the board: 0 - 16.
    setWithZeroTables("k7/8/8/8/4N3/2N5/8/1N5K w");
    EXPECT_EQ(piecesOf(WHITE), 4 - 16);
}

TEST(EvalPieces, VisitingOrderIsNotColourSymmetric) {
    // d4 sees c2 and e2 still to visit: +2 once. Mirrored for Black, c7 and
    // e7 come before d5 and each of them scores: +4.
    setWithZeroTables("k7/8/8/8/3N4/8/2N1N3/7K w");
    EXPECT_EQ(piecesOf(WHITE), 2 - 16);
    setWithZeroTables("7k/2n1n3/8/3n4/8/8/8/K7 w");
    EXPECT_EQ(piecesOf(BLACK), 4 - 16);
}

TEST(EvalPieces, BishopPair) {
    // Bishops c1 and f1 see seven empty squares each (+3 + 3).
    setWithZeroTables("k7/8/8/8/8/8/8/2B1KB2 w");
    EXPECT_EQ(piecesOf(WHITE), 3 + 3 + 8 - 16);
    setWithZeroTables("k6B/8/8/8/8/8/8/2B1KB2 w");
    EXPECT_EQ(piecesOf(WHITE), 3 + 3 + 3 + 16 - 16);
    setWithZeroTables("k7/8/8/8/8/8/8/4KB2 w");
    EXPECT_EQ(piecesOf(WHITE), 3 - 16);
}

TEST(EvalPieces, BishopWithoutMobilityAndDefendedByAPawn) {
    // Bishop a1 boxed in by its own pawn b2: -3, defended by no pawn.
    // Pawn b2 defends nothing. King h1: no pawn of its own next to it, -4.
    setWithZeroTables("k7/8/8/8/8/8/1P6/B6K w");
    EXPECT_EQ(piecesOf(WHITE), -3 - 4);
    // Bishop c3 defended by b2: 1 + mobility (d4..h8, d2, e1, b4, a5: 9) 4.
    setWithZeroTables("k7/8/8/8/8/2B5/1P6/7K w");
    EXPECT_EQ(piecesOf(WHITE), 1 + 4 - 4);
}

TEST(EvalPieces, OutpostsNeedAPawnDefenderAndNoPawnBehind) {
    // Knight e5 defended by d4, nothing behind on e1-e4: outpost.
    setWithZeroTables("7k/8/8/4N3/3P4/8/8/K7 w");
    const int withOutpost = piecesOf(WHITE);
    // The same with a white pawn on e2 behind the knight: no outpost.
    setWithZeroTables("7k/8/8/4N3/3P4/8/4P3/K7 w");
    EXPECT_EQ(withOutpost - piecesOf(WHITE), 3);
    // King a1 -4 (no own pawn beside it); the knight attacks nothing near h8.
    EXPECT_EQ(withOutpost, 3 - 4);
    // On file b the knight is no outpost.
    setWithZeroTables("7k/8/8/1N6/2P5/8/8/K7 w");
    EXPECT_EQ(piecesOf(WHITE), -4);
    // A bishop outpost is worth 2, plus 1 for the pawn defender; mobility of
    // e5: d6..a8 3 + f6,g7 2 (h8 king) + f4..h2 3 + d4 is own: 8 -> 4.
    setWithZeroTables("7k/8/8/4B3/3P4/8/8/K7 w");
    EXPECT_EQ(piecesOf(WHITE), 2 + 1 + 4 - 4 + 1);   // the bishop sees g7 next to the king: pressure 1
}

TEST(EvalPieces, RookFiles) {
    // Open file: 4 + 4; back rank 2; 13 empty squares 6; king -4.
    setWithZeroTables("7k/7p/8/8/8/8/8/R6K w");
    EXPECT_EQ(piecesOf(WHITE), 8 + 2 + 6 - 4);
    // Only an enemy pawn on the file: 4, not 8; mobility 10 -> 5.
    setWithZeroTables("7k/7p/p7/8/8/8/8/R6K w");
    EXPECT_EQ(piecesOf(WHITE), 4 + 2 + 5 - 4);
    // An own pawn ahead: no file bonus (a2 blocks: mobility b1..g1 6 -> 3).
    setWithZeroTables("7k/7p/8/8/8/8/P7/R6K w");
    EXPECT_EQ(piecesOf(WHITE), 2 + 3 - 4);
}

TEST(EvalPieces, ConnectedRooksAndTheSeventhRank) {
    // Rooks a1 and b1, no pawn anywhere (king: 0 - 16). a1 is visited first
    // and scores for b1: file 8, connected 2, back rank 2, a2..a8 7 -> 3.
    // b1: file 8, back rank 2, b2..b8 and c1..g1 12 -> 6.
    setWithZeroTables("7k/8/8/8/8/8/8/RR5K w");
    EXPECT_EQ(piecesOf(WHITE), (8 + 2 + 2 + 3) + (8 + 2 + 6) - 16);
    // A rook on the seventh rank: file 8, rank 2, 14 empty squares 7; it
    // attacks g7 and h7 next to the enemy king: pressure 2.
    setWithZeroTables("7k/1R6/8/8/8/8/8/7K w");
    EXPECT_EQ(piecesOf(WHITE), 8 + 2 + 7 - 16 + 2);
}

TEST(EvalPieces, QueenMobilityAndSupport) {
    // Queen a1 boxed in by a2, b1, b2: -2, distance to a8 is 7; bishop b1
    // sees six empty squares (3); king h1 -4.
    setWithZeroTables("k7/8/8/8/8/8/PP6/QB5K w");
    EXPECT_EQ(piecesOf(WHITE), -2 - 7 + 3 - 4);
    // A free queen gets no mobility bonus: d4 is 7 from a8 and attacks a7
    // next to the king (pressure 1, doubled with a queen).
    setWithZeroTables("k7/8/8/8/3Q4/8/8/7K w");
    EXPECT_EQ(piecesOf(WHITE), -7 - 16 + 2);
    // Queen d4 behind rook d1: +2 (rook file 8, back rank 2, mobility:
    // a1..c1, e1..g1, d2, d3 = 8 -> 4).
    setWithZeroTables("k7/8/8/8/3Q4/8/8/3R3K w");
    EXPECT_EQ(piecesOf(WHITE), (-7 + 2) + (8 + 2 + 4) - 16 + 2);
}

TEST(EvalPieces, KingTableScalesWithThePhase) {
    // Full enemy army with pawns (n = 8): the table value is negated.
    prepare("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
    const int full = piecesOf(WHITE);
    std::memset(pieceTables[WHITE][sq("e8")][KING], 0, 64);
    EXPECT_EQ(full - piecesOf(WHITE), -11);

    prepare("rnbqkbnr/pppppppp/8/8/3K4/8/PPPPPPPP/RNBQ1BNR w kq -");
    const int centre = piecesOf(WHITE);
    std::memset(pieceTables[WHITE][sq("e8")][KING], 0, 64);
    EXPECT_EQ(centre - piecesOf(WHITE), -33);
}

TEST(EvalPieces, KingWithoutPawnsOrAlone) {
    // No pawn on the board: table value - 16. White's endgame table: a1 = 2.
    prepare("4k3/8/8/8/8/8/8/K7 w");
    EXPECT_EQ(piecesOf(WHITE), 2 - 16);
    prepare("8/8/3K4/8/8/8/8/7k w");
    EXPECT_EQ(piecesOf(WHITE), 33 - 16);
    // A lone king against pawns keeps table value - 16.
    prepare("4k3/pppp4/8/8/8/8/8/K7 w");
    EXPECT_EQ(piecesOf(WHITE), 2 - 16);
}

TEST(EvalPieces, CastledKingShelter) {
    // Enemy queen and full army (n = 8); castled king g1 with f2 and g2:
    // +8 castled, +6, two shield pawns; openness h2 only: 1 / 2 = 0.
    setWithZeroTables("rnbqkbnr/8/8/8/8/8/5PP1/6K1 w");
    board.castled[WHITE] = 1;
    EXPECT_EQ(piecesOf(WHITE), 8 + 6);
    // One shield pawn: -8 more; openness g2..g8 7 + h2 1 = 8 -> -4.
    setWithZeroTables("rnbqkbnr/8/8/8/8/8/5P2/6K1 w");
    board.castled[WHITE] = 1;
    EXPECT_EQ(piecesOf(WHITE), 8 + 6 - 8 - 8 - 4);
    // Not castled, castling lost (king moved): -4; no castling terms.
    setWithZeroTables("rnbqkbnr/8/8/8/8/8/5PPP/6K1 w");
    EXPECT_EQ(piecesOf(WHITE), -4);
    // Castling still possible on one side: no penalty.
    setWithZeroTables("rnbqkbnr/8/8/8/8/8/5PPP/6K1 w K");
    EXPECT_EQ(piecesOf(WHITE), 0);
    // Only a rook-file pawn next to the king: -4; openness from h1: g2..a8 7,
    // h2 stops the file walk at once: 7 / 2 -> -3.
    setWithZeroTables("rnbqkbnr/8/8/8/8/8/7P/7K w K");
    EXPECT_EQ(piecesOf(WHITE), -4 - 3);
}

TEST(EvalPieces, ShelterOpenness) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4K3 w"));
    EXPECT_EQ(kingShelterOpenness(sq("e1"), WHITE), 14);
    EXPECT_EQ(kingShelterOpenness(sq("e8"), BLACK), 14);
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/3PPP2/4K3 w"));
    EXPECT_EQ(kingShelterOpenness(sq("e1"), WHITE), 0);
    // Enemy pawns and pieces neither stop nor change the walk.
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/2p1n1p1/8/4K3 w"));
    EXPECT_EQ(kingShelterOpenness(sq("e1"), WHITE), 14);
    ASSERT_TRUE(setPosition("4k3/8/4P3/8/8/8/8/4K3 w"));   // e6 stops the file walk after e2..e5
    EXPECT_EQ(kingShelterOpenness(sq("e1"), WHITE), 4 + 4 + 3);
}

// The shelter walk square by square over the 0x88 board, for comparison.
int opennessByWalking(int square, int colour) {
    const int steps[2][3] = {{-17, -16, -15}, {17, 16, 15}};
    const Bitboard ownPawns = board.pieceBits[PAWN] & board.colourBits[colour];
    int count = 0;
    for (int step : steps[colour])
        for (int t = rowOf(square) * 16 + colOf(square) + step; !(t & 0x88); t += step, ++count)
            if (ownPawns & squareBit((t >> 4) * 8 + (t & 7))) break;
    return count;
}

TEST(EvalPieces, ShelterOpennessAgreesWithTheWalk) {
    walkPositions(40, [] {
        for (int c = 0; c < 2; ++c)
            for (int q = 0; q < 64; ++q) ASSERT_EQ(kingShelterOpenness(q, c), opennessByWalking(q, c)) << q << " " << c;
    });
}

TEST(EvalPieces, AttacksOnLoosePawns) {
    // Knight f5 attacks the loose pawns d6 and h6: +2 each.
    setWithZeroTables("4k3/8/3p3p/5N2/8/8/8/4K3 w");
    const int without = piecesOf(WHITE, 0, 0);
    EXPECT_EQ(piecesOf(WHITE, 0, bits({"d6", "h6"})) - without, 4);
    // Own loose pawns are no targets.
    EXPECT_EQ(piecesOf(BLACK, 0, bits({"d6", "h6"})) - piecesOf(BLACK, 0, 0), 0);
}

TEST(EvalPieces, BlockedPassedPawns) {
    // An enemy piece right in front of a passed pawn: -4.
    setWithZeroTables("4k3/8/4n3/4P3/8/8/8/4K3 w");
    EXPECT_EQ(piecesOf(WHITE, bits({"e5"})) - piecesOf(WHITE), -4);
    // Two squares ahead does not count.
    setWithZeroTables("4k3/4n3/8/4P3/8/8/8/4K3 w");
    EXPECT_EQ(piecesOf(WHITE, bits({"e5"})) - piecesOf(WHITE), 0);
    // Black pawns look the other way.
    setWithZeroTables("4k3/8/8/8/4p3/4N3/8/4K3 w");
    EXPECT_EQ(piecesOf(BLACK, bits({"e4"})) - piecesOf(BLACK), -4);
    // An own piece in front is no blocker.
    setWithZeroTables("4k3/8/4N3/4P3/8/8/8/4K3 w");
    EXPECT_EQ(piecesOf(WHITE, bits({"e5"})) - piecesOf(WHITE), 0);
}

TEST(EvalPieces, AttackMapsHoldEveryAttack) {
    prepare("r1bqk2r/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R1BQKB1R w KQkq -");
    for (int c = 0; c < 2; ++c) {
        AttackMap map{};
        evaluatePieces(c, map, 0, 0);
        Bitboard expected[7] = {};
        const Bitboard own = board.colourBits[c];
        expected[PAWN] = pawnAttacksOf(board.pieceBits[PAWN] & own, c);
        for (int p = KNIGHT; p <= KING; ++p)
            for (Bitboard b = board.pieceBits[p] & own; b; b &= b - 1) expected[p] |= pieceAttacks(p, lowestSquare(b));
        for (int p = PAWN; p <= KING; ++p) {
            EXPECT_EQ(map[p], expected[p]) << c << " " << p;
            expected[0] |= expected[p];
        }
        EXPECT_EQ(map[0], expected[0]);
    }
}

}  // namespace
