#include <gtest/gtest.h>

#include "eval_support.h"

namespace {

struct PawnResult {
    int score[2];
};

PawnResult pawnsOf(const std::string& fen) {
    PawnResult r{};
    EXPECT_TRUE(setPosition(fen));
    scorePawns(r.score);
    return r;
}

TEST(EvalPawns, LonePassedPawn) {
    // 18 square + 22 passed - 14 isolated - 2 group ends + 4 passed extra.
    PawnResult r = pawnsOf("4k3/8/8/8/4P3/8/8/4K3 w");
    EXPECT_EQ(r.score[WHITE], 28);
    EXPECT_EQ(r.score[BLACK], 0);
    EXPECT_EQ(pawnCache.passedPawns, bits({"e4"}));
    EXPECT_EQ(pawnCache.halfPassedPawns, 0u);
    EXPECT_EQ(pawnCache.loosePawns, bits({"e4"}));   // loose: no supported-passer bonus
}

TEST(EvalPawns, LoneBlackPawnScoresLikeItsMirror) {
    PawnResult r = pawnsOf("4k3/8/8/4p3/8/8/8/4K3 w");
    EXPECT_EQ(r.score[BLACK], 28);
    EXPECT_EQ(r.score[WHITE], 0);
    EXPECT_EQ(pawnCache.passedPawns, bits({"e5"}));
}

TEST(EvalPawns, ConnectedPassedPair) {
    // 2 x (18 + 22) - 2 group ends + 4 + 2 x 6 supported; rank 4 is not the enemy half.
    PawnResult r = pawnsOf("4k3/8/8/8/3PP3/8/8/4K3 w");
    EXPECT_EQ(r.score[WHITE], 94);
    EXPECT_EQ(pawnCache.passedPawns, bits({"d4", "e4"}));
    EXPECT_EQ(pawnCache.loosePawns, 0u);
}

TEST(EvalPawns, SupportedPassersInTheEnemyHalf) {
    // 2 x (24 + 30) - 2 + 4 + 2 x 6 + 4.
    EXPECT_EQ(pawnsOf("4k3/8/8/3PP3/8/8/8/4K3 w").score[WHITE], 126);
    // c4 (16 + 22) is loose, d5 (24 + 30) is defended by it: -4 group ends, 4 + 6 + 4.
    PawnResult r = pawnsOf("4k3/8/8/3P4/2P5/8/8/4K3 w");
    EXPECT_EQ(r.score[WHITE], 102);
    EXPECT_EQ(pawnCache.loosePawns, bits({"c4"}));
}

TEST(EvalPawns, DoubledPassedPawnsAreBothPassed) {
    // e4: 18 + 22 - 14 - 8; e5: 24 + 30 - 14 - 8; group ends -4; +4; both loose.
    PawnResult r = pawnsOf("4k3/8/8/4P3/4P3/8/8/4K3 w");
    EXPECT_EQ(pawnCache.passedPawns, bits({"e4", "e5"}));
    EXPECT_EQ(pawnCache.loosePawns, bits({"e4", "e5"}));
    EXPECT_EQ(r.score[WHITE], 18 + 32 - 4 + 4);
}

TEST(EvalPawns, HalfPassedAndPassedOnTheEdge) {
    // -1 square - 8 isolated on file a - 2 group ends; half-passed and loose.
    PawnResult r = pawnsOf("4k3/8/8/1p6/8/8/P7/4K3 w");
    EXPECT_EQ(r.score[WHITE], -11);
    EXPECT_EQ(pawnCache.halfPassedPawns & board.colourBits[WHITE], bits({"a2"}));
    EXPECT_EQ(pawnCache.passedPawns & board.colourBits[WHITE], 0u);
    EXPECT_EQ(pawnCache.loosePawns & board.colourBits[WHITE], bits({"a2"}));

    // Nothing ahead on files a and b: passed (-1 + 16 - 8 - 2 + 4).
    r = pawnsOf("4k3/8/8/8/8/8/P7/4K3 w");
    EXPECT_EQ(pawnCache.passedPawns, bits({"a2"}));
    EXPECT_EQ(pawnCache.halfPassedPawns, 0u);
    EXPECT_EQ(r.score[WHITE], 9);
}

TEST(EvalPawns, BlockedOnItsOwnFile) {
    // An enemy pawn ahead on the file: neither passed nor half-passed.
    pawnsOf("4k3/4p3/8/8/8/8/4P3/4K3 w");
    EXPECT_EQ(pawnCache.passedPawns, 0u);
    EXPECT_EQ(pawnCache.halfPassedPawns, 0u);
    pawnsOf("4k3/4p3/8/8/8/8/3PP3/4K3 w");   // d2 has d-file and c-file free: e7 is on its right
    EXPECT_EQ(pawnCache.halfPassedPawns, bits({"d2"}));
    EXPECT_EQ(pawnCache.passedPawns, 0u);
}

TEST(EvalPawns, NoPawns) {
    PawnResult r = pawnsOf("4k3/8/8/8/8/8/8/4K3 w");
    EXPECT_EQ(r.score[WHITE], 0);
    EXPECT_EQ(r.score[BLACK], 0);
    EXPECT_EQ(pawnCache.passedPawns | pawnCache.halfPassedPawns | pawnCache.loosePawns, 0u);
}

TEST(EvalPawns, ChainAgainstTwoPawns) {
    // 5 + 12 + 18 square values, group ends -6; nothing passed, nothing isolated.
    PawnResult r = pawnsOf("4k3/5p2/3p4/8/4P3/3P4/2P5/4K3 w");
    EXPECT_EQ(r.score[WHITE], 29);
    EXPECT_EQ(pawnCache.passedPawns, 0u);
    EXPECT_EQ(pawnCache.halfPassedPawns & board.colourBits[WHITE], bits({"c2"}));
    EXPECT_EQ(pawnCache.loosePawns & board.colourBits[WHITE], bits({"c2"}));
    // The mirrored structure scores the same for Black.
    EXPECT_EQ(pawnsOf("4k3/2p5/3p4/4p3/8/3P4/5P2/4K3 w").score[BLACK], 29);
}

TEST(EvalPawns, GroupEndsCostTwoPerGroup) {
    // a2 b2 c2 in a row: 2 in all; the a- and h-file edges count as group ends.
    // Squares -1 + 3 + 5, b2 and c2 not isolated, a2 not either; all passed
    // (row 6: 16 each), 4 + 3 x 6 supported (a2 and c2 have a neighbour).
    PawnResult r = pawnsOf("4k3/8/8/8/8/8/PPP5/4K3 w");
    EXPECT_EQ(r.score[WHITE], (-1 + 3 + 5) + 3 * 16 - 2 + 4 + 3 * 6);
    EXPECT_EQ(pawnCache.loosePawns, 0u);
    // h3 and a2 are next to each other in square numbers, not on the board.
    r = pawnsOf("4k3/8/8/8/8/7P/P7/4K3 w");
    EXPECT_EQ(pawnCache.loosePawns, bits({"a2", "h3"}));
    EXPECT_EQ(r.score[WHITE], (-1 + 2) + 16 + 18 - 8 - 8 - 4 + 4);
}

TEST(EvalPawns, SetsAccumulateBothColours) {
    pawnsOf("4k3/p7/8/8/8/8/7P/4K3 w");
    EXPECT_EQ(pawnCache.passedPawns, bits({"a7", "h2"}));
    EXPECT_EQ(pawnCache.loosePawns, bits({"a7", "h2"}));
    // A call adds to the sets and never clears them.
    pawnCache.passedPawns = bits({"d5"});
    evaluatePawns(WHITE);
    EXPECT_EQ(pawnCache.passedPawns, bits({"d5", "h2"}));
}

}  // namespace
