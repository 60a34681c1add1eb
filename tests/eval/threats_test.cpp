#include <gtest/gtest.h>

#include "board/attacks.h"
#include "eval_support.h"

namespace {

// Fills both attack maps for the position on the board.
void fillMaps() {
    evaluatePieces(WHITE, whiteAttacks, 0, 0);
    evaluatePieces(BLACK, blackAttacks, 0, 0);
}

int threatsOf(const std::string& fen, int colour) {
    EXPECT_TRUE(setPosition(fen));
    prepareEvaluation();
    fillMaps();
    return colour == WHITE ? evaluateThreats(whiteAttacks, blackAttacks, WHITE)
                           : evaluateThreats(blackAttacks, whiteAttacks, BLACK);
}

// The passed-pawn term with the pawn sets and attack maps of the position.
int passersOf(const std::string& fen, int colour) {
    EXPECT_TRUE(setPosition(fen));
    prepareEvaluation();
    int score[2];
    scorePawns(score);
    fillMaps();
    const Bitboard enemyAttacks = colour == WHITE ? blackAttacks[0] : whiteAttacks[0];
    return evaluatePassedPawns(pawnCache.passedPawns, enemyAttacks, colour, pawnCache.halfPassedPawns);
}

// The threat rule piece by piece, for comparison.
int threatsPieceByPiece(const AttackMap& own, const AttackMap& enemy, int colour) {
    int threatened = 0;
    for (int q = 0; q < 64; ++q) {
        if (!isOccupiedBy(q, colour) || !(enemy[0] & squareBit(q))) continue;
        const int type = board.squares[q] == BISHOP ? KNIGHT : board.squares[q];
        bool hit = !(own[0] & squareBit(q));
        for (int cheaper = PAWN; cheaper < type && !hit; ++cheaper) hit = enemy[cheaper] & squareBit(q);
        threatened += hit;
    }
    return -8 * threatened - (threatened > 1 ? 8 : 0);
}

TEST(EvalThreats, AgreeWithThePieceByPieceRule) {
    int nonZero = 0;
    walkPositions(60, [&] {
        fillMaps();
        for (int c = 0; c < 2; ++c) {
            const AttackMap& own = c == WHITE ? whiteAttacks : blackAttacks;
            const AttackMap& enemy = c == WHITE ? blackAttacks : whiteAttacks;
            const int expected = threatsPieceByPiece(own, enemy, c);
            ASSERT_EQ(evaluateThreats(own, enemy, c), expected);
            nonZero += expected != 0;
        }
    });
    EXPECT_GT(nonZero, 50);   // the walks do meet threats
}

TEST(EvalThreats, UndefendedPieces) {
    // Knight e4 attacked by the rook on e8, nothing defends it.
    EXPECT_EQ(threatsOf("k7/8/8/8/4N3/8/8/7K w", WHITE), 0);
    EXPECT_EQ(threatsOf("k3r3/8/8/8/4N3/8/8/7K w", WHITE), -8);
    // Bishop b4 too, attacked by the rook on b8: 8 + 8 + 8 for two.
    EXPECT_EQ(threatsOf("kr2r3/8/8/8/1B2N3/8/8/7K w", WHITE), -24);
}

TEST(EvalThreats, CheaperAttackers) {
    // Rook d4 defended by the pawn e3: attacked by a knight costs 8 ...
    EXPECT_EQ(threatsOf("k7/8/2n5/8/3R4/4P3/8/7K w", WHITE), -8);
    // ... by a rook nothing.
    EXPECT_EQ(threatsOf("k2r4/8/8/8/3R4/4P3/8/7K w", WHITE), 0);
    // A defended bishop counts as a knight: a knight is no cheaper attacker,
    // a pawn is.
    EXPECT_EQ(threatsOf("k7/8/2n5/8/3B4/4P3/8/7K w", WHITE), 0);
    EXPECT_EQ(threatsOf("k7/8/8/2p5/3B4/4P3/8/7K w", WHITE), -8);
    // A defended queen attacked by a rook costs 8; by a queen nothing.
    EXPECT_EQ(threatsOf("k2r4/8/8/8/3Q4/4P3/8/7K w", WHITE), -8);
    EXPECT_EQ(threatsOf("k2q4/8/8/8/3Q4/4P3/8/7K w", WHITE), 0);
    // A defended pawn is never threatened, whatever attacks it.
    EXPECT_EQ(threatsOf("k7/8/8/4p3/3P4/4P3/8/7K w", WHITE), 0);
}

TEST(EvalThreats, KingInCheck) {
    // The queen gives check and nothing of White's covers e1.
    EXPECT_EQ(threatsOf("k7/8/8/4q3/8/8/8/4K3 w", WHITE), -8);
    // The same holds with Black to move: the term ignores the side to move.
    EXPECT_EQ(threatsOf("k7/8/8/4q3/8/8/8/4K3 b", WHITE), -8);
    // A rook beside the king covers its square: a defended king attacked by a
    // queen is attacked by a cheaper piece (5 < 6); the rook itself is
    // defended by the king and not attacked.
    EXPECT_EQ(threatsOf("k7/8/8/4q3/8/8/8/3RK3 w", WHITE), -8);
}

TEST(EvalThreats, TwoThreatsCostOneMore) {
    // Knight c6 forks the rooks d4 and b4, both defended by pawns: 8 + 8 + 8.
    EXPECT_EQ(threatsOf("k7/8/2n5/8/1R1R4/2P1P3/8/7K w", WHITE), -24);
}

TEST(EvalPassedPawns, RuleOfTheSquare) {
    // Pawn a6, Black king h8: not caught, 32 in full; the path a7-a8 is
    // free and unattacked: 8 + 8.
    EXPECT_EQ(passersOf("7k/8/P7/8/8/8/8/4K3 w", WHITE), 32 + 8 + 8);
    EXPECT_EQ(passersOf("7k/8/P7/8/8/8/8/4K3 b", WHITE), 32 + 8 + 8);
    // King b7 is one step from a8, the pawn two: caught; b7 attacks the path.
    EXPECT_EQ(passersOf("8/1k6/P7/8/8/8/8/4K3 w", WHITE), 8);
    // King on the path: -6, never the full bonus, nor the free-path bonus.
    EXPECT_EQ(passersOf("8/k7/P7/8/8/8/8/4K3 w", WHITE), -6);
}

TEST(EvalPassedPawns, KingEscort) {
    // White king b7 touches the path (6), the pawn is in the enemy half (16).
    EXPECT_EQ(passersOf("8/1K6/P7/8/8/8/8/7k w", WHITE), 8 + 8 + 6 + 16 + 32);
    // The same for Black, mirrored.
    EXPECT_EQ(passersOf("7K/8/8/8/8/p7/1k6/8 w", BLACK), 8 + 8 + 6 + 16 + 32);
}

TEST(EvalPassedPawns, PiecesOnTheBoard) {
    // Not a pawn ending: only the path terms; a rook ahead of the pawn on its
    // file adds 4. Pawn a5: quarter bonus 4, path free and unattacked.
    EXPECT_EQ(passersOf("R6k/8/8/P7/8/8/8/4K3 w", WHITE), 4 + 4 + 4);
    // An enemy piece on the path takes both path bonuses.
    EXPECT_EQ(passersOf("r6k/8/8/P7/8/8/8/4K3 w", WHITE), 0);
    // Path free but attacked (rook on b7 attacks a7).
    EXPECT_EQ(passersOf("7k/1r6/8/P7/8/8/8/4K3 w", WHITE), 4);
    // A side with a queen gets nothing.
    EXPECT_EQ(passersOf("7k/8/P7/8/8/8/8/3QK3 w", WHITE), 0);
}

TEST(EvalPassedPawns, HalfPassedPawns) {
    // e5 (row 3) is half-passed: d7 ahead on the d-file only. 16 / 4.
    EXPECT_EQ(passersOf("4k3/3p4/8/4P3/8/8/8/4K3 w", WHITE), 4);
    // d7 is half-passed for Black too: 2 / 4 = 0.
    EXPECT_EQ(passersOf("4k3/3p4/8/4P3/8/8/8/4K3 w", BLACK), 0);
}

TEST(EvalPassedPawns, KingCatchesPawn) {
    ASSERT_TRUE(setPosition("7k/8/P7/8/8/8/8/4K3 w"));
    EXPECT_FALSE(kingCatchesPawn(sq("a6"), WHITE));
    ASSERT_TRUE(setPosition("2k5/8/P7/8/8/8/8/4K3 w"));   // c8 is two from a8: equal counts as caught
    EXPECT_TRUE(kingCatchesPawn(sq("a6"), WHITE));
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/p7/3K4 w"));   // a2 needs one step, d1 is three from a1
    EXPECT_FALSE(kingCatchesPawn(sq("a2"), BLACK));
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/p7/1K6 w"));
    EXPECT_TRUE(kingCatchesPawn(sq("a2"), BLACK));
}

}  // namespace
