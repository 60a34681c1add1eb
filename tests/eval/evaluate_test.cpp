#include <gtest/gtest.h>

#include "board/attacks.h"
#include "board/makemove.h"
#include "eval_support.h"

namespace {

constexpr int FULL = 100000;
const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

int fullEvaluation() { return evaluate(-FULL, FULL); }

TEST(Evaluate, StartPositionAndFirstMove) {
    prepare(startFen);
    EXPECT_EQ(fullEvaluation(), 0);
    // The root scores its moves with the root side still to move.
    Move m = findMove("e2e4");
    ASSERT_NE(m, 0u);
    makeMove(m);
    EXPECT_EQ(fullEvaluation(), 20);
    flipSides();
    EXPECT_EQ(fullEvaluation(), -20);
    flipSides();
    unmakeMove(m);
    EXPECT_EQ(fullEvaluation(), 0);
}

TEST(Evaluate, InsufficientMaterialIsADraw) {
    for (const char* fen : {"4k3/8/8/8/8/8/8/4K3 w", "4k3/8/8/8/8/8/8/4K3 b", "4kb2/8/8/8/8/8/8/4KN2 w",
                            "4k3/8/8/8/8/8/8/3NKN2 w", "4k3/8/8/8/8/8/8/3NKN2 b", "4kn2/8/8/8/8/8/8/3NKN2 w"}) {
        prepare(fen);
        EXPECT_EQ(evaluate(-FULL, FULL), 0) << fen;
        EXPECT_EQ(evaluate(500, 501), 0) << fen;   // whatever the window
        EXPECT_EQ(evaluate(-501, -500), 0) << fen;
    }
}

TEST(Evaluate, EnoughMaterialIsEvaluated) {
    // Bishop and knight (710), two bishops (720), a rook, a lone pawn.
    for (const char* fen : {"4k3/8/8/8/8/8/8/3BKN2 w", "4k3/8/8/8/8/8/8/3BKB2 w", "4k3/8/8/8/8/8/8/4K2R w",
                            "4k3/8/8/8/8/8/4P3/4K3 w", "4k3/8/8/8/8/8/8/3QK3 w"}) {
        prepare(fen);
        const int white = fullEvaluation();
        EXPECT_NE(white, 0) << fen;
        flipSides();
        EXPECT_EQ(fullEvaluation(), -white) << fen;
    }
    // A rook on the board is never a draw by material, however little is left.
    prepare("4k3/8/8/8/8/8/8/R3K3 w");
    EXPECT_GT(fullEvaluation(), 500);
}

TEST(Evaluate, QuickExitUsesTheWindowAndThePly) {
    prepare(startFen);
    board.pstSum[WHITE] += 150;   // q = 150 for White; the full evaluation is 0
    EXPECT_EQ(evaluate(400, 401), 150);    // 150 + 200 <= 400
    EXPECT_EQ(evaluate(350, 351), 150);
    EXPECT_EQ(evaluate(349, 350), 0);      // 150 + 200 > 349: full evaluation
    EXPECT_EQ(evaluate(-51, -50), 150);    // 150 - 200 >= -50
    EXPECT_EQ(evaluate(-50, -49), 0);
    board.ply = 10;                        // margin 190
    EXPECT_EQ(evaluate(340, 341), 150);
    EXPECT_EQ(evaluate(339, 340), 0);
    EXPECT_EQ(evaluate(-41, -40), 150);
    EXPECT_EQ(evaluate(-40, -39), 0);
    board.ply = 0;
    // Black to move sees -150.
    flipSides();
    EXPECT_EQ(evaluate(50, 51), -150);
    EXPECT_EQ(evaluate(-351, -350), -150);  // -150 - 200 >= -350
    EXPECT_EQ(evaluate(-350, -349), 0);
    flipSides();
    prepareEvaluation();
}

TEST(Evaluate, TheRootWindowNeverExitsEarly) {
    prepare("4k3/8/8/8/8/8/PPPPPPPP/RNBQKBNR w KQ -");
    const int full = fullEvaluation();
    board.pstSum[WHITE] += 20000;   // the full score does not read pstSum
    EXPECT_EQ(fullEvaluation(), full);
    board.pstSum[WHITE] -= 40000;
    EXPECT_EQ(fullEvaluation(), full);
    prepareEvaluation();
}

TEST(Evaluate, PawnCacheHoldsOneConfiguration) {
    prepare("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -");
    invalidatePawnCache();
    const int first = fullEvaluation();
    EXPECT_EQ(pawnCache.whitePawnKey, board.pieceBits[PAWN] & board.colourBits[WHITE]);
    EXPECT_EQ(pawnCache.blackPawnKey, board.pieceBits[PAWN] & board.colourBits[BLACK]);
    EXPECT_EQ(fullEvaluation(), first);
    // A second call reads the entry: a changed entry shows in the score.
    pawnCache.pawnScore[WHITE] += 50;
    EXPECT_EQ(fullEvaluation(), first + 50);
    pawnCache.pawnScore[WHITE] -= 50;
    // A piece move keeps the entry, a pawn move replaces it.
    Move knight = findMove("f3g5");
    makeMove(knight);
    pawnCache.pawnScore[BLACK] += 7;
    const int afterKnight = fullEvaluation();
    pawnCache.pawnScore[BLACK] -= 7;
    EXPECT_EQ(fullEvaluation(), afterKnight + 7);
    unmakeMove(knight);
    Move pawn = findMove("d2d3");
    makeMove(pawn);
    pawnCache.pawnScore[BLACK] += 7;
    const int afterPawn = fullEvaluation();   // recomputed: the 7 is gone
    EXPECT_EQ(fullEvaluation(), afterPawn);
    unmakeMove(pawn);
    EXPECT_EQ(fullEvaluation(), first);
}

TEST(Evaluate, AttackMapsOfBothColoursAreFilled) {
    prepare("r1bqk2r/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R1BQKB1R w KQkq -");
    fullEvaluation();
    for (int c = 0; c < 2; ++c) {
        const AttackMap& map = c == WHITE ? whiteAttacks : blackAttacks;
        Bitboard all = pawnAttacksOf(board.pieceBits[PAWN] & board.colourBits[c], c);
        for (int p = KNIGHT; p <= KING; ++p)
            for (Bitboard b = board.pieceBits[p] & board.colourBits[c]; b; b &= b - 1)
                all |= pieceAttacks(p, lowestSquare(b));
        EXPECT_EQ(map[0], all);
    }
}

// Positions with something of every term: passed pawns, races, threats,
// castled kings, loose pawns, open files.
const char* const testPositions[] = {
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R1BQKB1R b KQ -",
    "2r2rk1/pb3ppp/1p2pn2/q7/2PP4/P1Q1PN2/5PPP/2R1KB1R w K -",
    "8/5pk1/6p1/1P6/8/6P1/5PK1/8 w",
    "8/8/P7/8/8/8/6k1/K7 b",
    "3r2k1/1p3ppp/p7/3Pp3/4P3/1P6/P4PPP/3R2K1 w",
    "r3k2r/ppp2ppp/2n1bn2/2bqp3/4P3/2NP1N2/PPP1BPPP/R1BQR1K1 b kq -",
    "4k3/2P5/8/8/8/8/5p2/4K3 w",
    "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -",
    "6k1/5p2/4p1p1/3pP1P1/2pP4/2P5/8/6K1 w",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w",
    "8/3k4/8/2n5/8/8/3K4/3R4 w",
};

TEST(Evaluate, SignFlipsWithTheSideToMove) {
    for (const char* fen : testPositions) {
        prepare(fen);
        const int before = fullEvaluation();
        flipSides();
        EXPECT_EQ(fullEvaluation(), -before) << fen;
        flipSides();
    }
}

TEST(Evaluate, ColourMirrorGivesTheSameScore) {
    for (const char* fen : testPositions) {
        prepare(fen);
        const int original = fullEvaluation();
        const int pawns[2] = {pawnCache.pawnScore[WHITE], pawnCache.pawnScore[BLACK]};
        const int pst[2] = {board.pstSum[WHITE], board.pstSum[BLACK]};
        const std::string mirror = mirroredFen(fen);
        prepare(mirror);
        EXPECT_EQ(fullEvaluation(), original) << fen << " / " << mirror;
        // The pawn terms and the piece-square sums swap colours.
        EXPECT_EQ(pawnCache.pawnScore[WHITE], pawns[BLACK]) << fen;
        EXPECT_EQ(pawnCache.pawnScore[BLACK], pawns[WHITE]) << fen;
        EXPECT_EQ(board.pstSum[WHITE], pst[BLACK]) << fen;
        EXPECT_EQ(board.pstSum[BLACK], pst[WHITE]) << fen;
    }
}

// White and Black pawns as a position with the kings on e1 and e8 (the pawns
// stay on ranks 2 to 7).
std::string pawnFen(Bitboard white, Bitboard black) {
    std::string fen;
    for (int row = 0; row < 8; ++row) {
        int gap = 0;
        for (int col = 0; col < 8; ++col) {
            const int q = row * 8 + col;
            const char piece = q == sq("e8") ? 'k' : q == sq("e1") ? 'K' : white & squareBit(q) ? 'P'
                             : black & squareBit(q) ? 'p' : 0;
            if (!piece) { ++gap; continue; }
            if (gap) fen += char('0' + gap);
            gap = 0;
            fen += piece;
        }
        if (gap) fen += char('0' + gap);
        if (row < 7) fen += '/';
    }
    return fen + " w";
}

// Evaluates with the last entry forgotten, so that the pawn table answers,
// and expects the entry a fresh computation gives.
void expectFreshPawnEntry(const std::string& fen) {
    prepare(fen);
    int fresh[2];
    scorePawns(fresh);
    const PawnCache expected = pawnCache;
    invalidatePawnCache();
    fullEvaluation();
    EXPECT_EQ(pawnCache.whitePawnKey, board.pieceBits[PAWN] & board.colourBits[WHITE]) << fen;
    EXPECT_EQ(pawnCache.blackPawnKey, board.pieceBits[PAWN] & board.colourBits[BLACK]) << fen;
    EXPECT_EQ(pawnCache.pawnScore[WHITE], fresh[WHITE]) << fen;
    EXPECT_EQ(pawnCache.pawnScore[BLACK], fresh[BLACK]) << fen;
    EXPECT_EQ(pawnCache.passedPawns, expected.passedPawns) << fen;
    EXPECT_EQ(pawnCache.halfPassedPawns, expected.halfPassedPawns) << fen;
    EXPECT_EQ(pawnCache.loosePawns, expected.loosePawns) << fen;
}

TEST(Evaluate, PawnTableGivesWhatAFreshComputationGives) {
    clearPawnTable();
    for (int round = 0; round < 2; ++round)   // the second round finds every entry stored
        for (const char* fen : testPositions) expectFreshPawnEntry(fen);

    // Two pawn configurations in the same slot replace each other.
    const Bitboard black = bits({"a7", "c6", "f7", "g7", "h7"});
    const Bitboard first = bits({"a2", "b2", "d4", "e3"});
    Bitboard second = 0;
    for (Bitboard n = 1; n < 0x10000 && !second; ++n) {
        const Bitboard candidate = n << 32;   // ranks 4 and 3
        if (candidate != first && pawnTableIndex(candidate, black) == pawnTableIndex(first, black)) second = candidate;
    }
    ASSERT_NE(second, 0u);
    const PawnEntry& slot = pawnTable[pawnTableIndex(first, black)];
    expectFreshPawnEntry(pawnFen(first, black));
    EXPECT_EQ(slot.cache.whitePawnKey, first);
    expectFreshPawnEntry(pawnFen(second, black));
    EXPECT_EQ(slot.cache.whitePawnKey, second);
    expectFreshPawnEntry(pawnFen(first, black));
    EXPECT_EQ(slot.cache.whitePawnKey, first);

    // The table is read: a changed entry shows in the score.
    prepare(testPositions[0]);
    const int before = fullEvaluation();
    PawnEntry& entry = pawnTable[pawnTableIndex(pawnCache.whitePawnKey, pawnCache.blackPawnKey)];
    entry.cache.pawnScore[WHITE] += 30;
    invalidatePawnCache();
    EXPECT_EQ(fullEvaluation(), before + 30);
    clearPawnTable();
    invalidatePawnCache();
    EXPECT_EQ(fullEvaluation(), before);
}

TEST(Evaluate, SameValueTwice) {
    for (const char* fen : testPositions) {
        prepare(fen);
        const int first = fullEvaluation();
        EXPECT_EQ(fullEvaluation(), first) << fen;
    }
}

}  // namespace
