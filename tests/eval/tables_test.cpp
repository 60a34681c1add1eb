#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "board/attacks.h"
#include "board/makemove.h"
#include "eval/weights.h"
#include "eval_support.h"

namespace {

const int openingKingTable[64] = {
    4,  7,  9,  11, 11, 9,  7,  4,
    7,  14, 18, 21, 21, 18, 14, 7,
    9,  18, 25, 28, 28, 25, 18, 9,
    11, 21, 28, 33, 33, 28, 21, 11,
    11, 21, 28, 33, 33, 28, 21, 11,
    9,  18, 25, 28, 28, 25, 18, 9,
    7,  14, 18, 21, 21, 18, 14, 7,
    4,  7,  9,  11, 11, 9,  7,  4,
};

const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(EvalMasks, FilesSpansAndHalves) {
    if (!masksBuilt) buildMasks();
    EXPECT_EQ(fileMask[0], FILE_A);
    EXPECT_EQ(fileMask[7], FILE_H);
    EXPECT_EQ(neighbourFiles[0], fileMask[1]);
    EXPECT_EQ(neighbourFiles[4], fileMask[3] | fileMask[5]);
    EXPECT_EQ(passedSpan[WHITE][sq("e6")], bits({"d7", "e7", "f7", "d8", "e8", "f8"}));
    EXPECT_EQ(passedSpan[BLACK][sq("a3")], bits({"a2", "b2", "a1", "b1"}));
    EXPECT_EQ(frontSpan[WHITE][sq("e6")], bits({"e7", "e8"}));
    EXPECT_EQ(frontSpan[BLACK][sq("h2")], bits({"h1"}));
    EXPECT_EQ(passedSpan[WHITE][sq("c8")], 0u);
    EXPECT_EQ(passedSpan[BLACK][sq("c1")], 0u);
    EXPECT_EQ(enemyHalf[WHITE] & squareBit(sq("e5")), squareBit(sq("e5")));
    EXPECT_EQ(enemyHalf[WHITE] & squareBit(sq("e4")), 0u);
    EXPECT_EQ(enemyHalf[WHITE] | enemyHalf[BLACK], ~Bitboard(0));
}

TEST(EvalTables, Distances) {
    EXPECT_EQ(chebyshevDistance(sq("a1"), sq("h8")), 7);
    EXPECT_EQ(chebyshevDistance(sq("a6"), sq("a8")), 2);
    EXPECT_EQ(chebyshevDistance(sq("b7"), sq("a8")), 1);
    EXPECT_EQ(manhattanDistance(sq("d1"), sq("e8")), 8);
    EXPECT_EQ(manhattanDistance(sq("d8"), sq("g1")), 10);
    EXPECT_EQ(manhattanDistance(sq("c3"), sq("c3")), 0);
}

TEST(EvalTables, OpeningKingTableIsTheSameForBothColoursAndEveryEnemyKing) {
    prepare(startFen);
    ASSERT_EQ(gamePhaseClass(), OPENING);
    for (int c = 0; c < 2; ++c)
        for (int k : {0, 4, 27, 60, 63})
            for (int q = 0; q < 64; ++q) ASSERT_EQ(pieceTables[c][k][KING][q], openingKingTable[q]) << c << " " << k << " " << q;
}

TEST(EvalTables, UnusedRowsStayZero) {
    prepare(startFen);
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < 64; k += 9)
            for (int p : {0, 1, 7})
                for (int q = 0; q < 64; ++q) ASSERT_EQ(pieceTables[c][k][p][q], 0);
}

TEST(EvalTables, KnightTableAgainstKingOnE8) {
    prepare(startFen);
    const int8_t* knight = pieceTables[WHITE][sq("e8")][KNIGHT];
    EXPECT_EQ(knight[sq("a8")], 7);
    EXPECT_EQ(knight[sq("e5")], 33);
    EXPECT_EQ(knight[sq("a1")], 4);
    EXPECT_EQ(knight[sq("h1")], 4);
    for (int q = 0; q < 64; ++q) {
        EXPECT_GE(knight[q], 0);
        EXPECT_LE(knight[q], 33);
    }
}

TEST(EvalTables, EveryTableReachesItsWeightExactly) {
    prepare(startFen);
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < 64; k += 7)
            for (int p = KNIGHT; p <= KING; ++p) {
                int best = 0;
                for (int q = 0; q < 64; ++q) best = std::max(best, int(pieceTables[c][k][p][q]));
                EXPECT_EQ(best, 33);
            }
}

TEST(EvalTables, TablesOfBlackMirrorThoseOfWhite) {
    for (const char* fen : {startFen, "4k3/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w"}) {
        prepare(fen);
        for (int k = 0; k < 64; ++k)
            for (int p = KNIGHT; p <= KING; ++p)
                for (int q = 0; q < 64; ++q)
                    ASSERT_EQ(pieceTables[WHITE][k][p][q], pieceTables[BLACK][k ^ 56][p][q ^ 56]);
    }
}

TEST(EvalTables, KeptTablesEqualFreshSpreads) {
    // Each phase class twice, in an order that reuses kept tables; a damaged
    // copy is replaced by the next preparation.
    const struct {
        const char* fen;
        int phase;
    } cases[] = {
        {startFen, OPENING},
        {"4k3/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w", ENDGAME},
        {"r3kb1r/pp3ppp/8/8/8/8/PP3PPP/R2QKB1R w", MIDDLEGAME},
        {startFen, OPENING},
        {"r3kb1r/pp3ppp/8/8/8/8/PP3PPP/R2QKB1R w", MIDDLEGAME},
        {"4k3/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w", ENDGAME},
    };
    for (const auto& c : cases) {
        std::memset(pieceTables, 0x55, sizeof pieceTables);
        prepare(c.fen);
        ASSERT_EQ(gamePhaseClass(), c.phase) << c.fen;
        int t[64];
        for (int colour = 0; colour < 2; ++colour)
            for (int k = 0; k < 64; ++k)
                for (int p = NOPIECE; p <= 7; ++p) {
                    if (p >= KNIGHT && p <= KING) spreadTable(p, k, 33, colour, c.phase, t);
                    else std::fill(t, t + 64, 0);
                    for (int q = 0; q < 64; ++q)
                        ASSERT_EQ(pieceTables[colour][k][p][q], t[q]) << c.fen << " " << colour << k << p << q;
                }
    }
}

TEST(EvalTables, EndgameTablesFavourAdvancedRows) {
    prepare("4k3/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w");   // no queen: endgame
    ASSERT_EQ(gamePhaseClass(), ENDGAME);
    const int8_t* king = pieceTables[WHITE][sq("e8")][KING];
    EXPECT_EQ(king[sq("d6")], 33);
    EXPECT_EQ(king[sq("e6")], 33);
    EXPECT_EQ(king[sq("a1")], 2);
    const int8_t* blackKing = pieceTables[BLACK][sq("e1")][KING];
    EXPECT_EQ(blackKing[sq("d3")], 33);
    EXPECT_EQ(blackKing[sq("a8")], 2);
}

TEST(EvalTables, SpreadTableIsTheStoredTable) {
    prepare(startFen);
    int t[64];
    spreadTable(BISHOP, sq("g8"), 33, WHITE, OPENING, t);
    for (int q = 0; q < 64; ++q) EXPECT_EQ(t[q], pieceTables[WHITE][sq("g8")][BISHOP][q]);
    spreadTable(KNIGHT, sq("e8"), 11, WHITE, OPENING, t);   // a smaller weight scales down
    EXPECT_EQ(t[sq("e5")], 11);
}

TEST(EvalTables, OpponentPhase) {
    ASSERT_TRUE(setPosition(startFen));
    EXPECT_EQ(opponentPhase(WHITE), 8);
    EXPECT_EQ(opponentPhase(BLACK), 8);
    ASSERT_TRUE(setPosition("3qk3/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w"));
    EXPECT_EQ(opponentPhase(WHITE), 2);   // queen alone: 1120*8/3620
    EXPECT_EQ(opponentPhase(BLACK), 0);   // rooks, no queen: 2 - 3
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4K3 w"));
    EXPECT_EQ(opponentPhase(WHITE), 0);
    ASSERT_TRUE(setPosition("qqqqk3/8/8/8/8/8/8/4K3 w"));   // more than an army: clamped
    EXPECT_EQ(opponentPhase(WHITE), 8);
    ASSERT_TRUE(setPosition("rr2k3/8/8/8/8/8/8/4K3 w"));
    EXPECT_EQ(opponentPhase(WHITE), 0);
    ASSERT_TRUE(setPosition("rrb1k3/8/8/8/8/8/8/4K3 w"));   // 1440*8/3620 = 3, minus 3
    EXPECT_EQ(opponentPhase(WHITE), 0);
    ASSERT_TRUE(setPosition("rrbbk3/8/8/8/8/8/8/4K3 w"));   // 1800*8/3620 = 3, minus 3
    EXPECT_EQ(opponentPhase(WHITE), 0);
    ASSERT_TRUE(setPosition("rrbbkn2/8/8/8/8/8/8/4K3 w"));   // 2150*8/3620 = 4, minus 3
    EXPECT_EQ(opponentPhase(WHITE), 1);
}

TEST(EvalTables, GamePhaseClass) {
    ASSERT_TRUE(setPosition(startFen));
    EXPECT_EQ(gamePhaseClass(), OPENING);
    ASSERT_TRUE(setPosition("r1bq1rk1/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1RK1 w"));
    board.castled[WHITE] = 1;
    EXPECT_EQ(gamePhaseClass(), OPENING);   // only one side castled
    board.castled[BLACK] = 1;
    EXPECT_EQ(gamePhaseClass(), MIDDLEGAME);
    // Twenty plies played, before the record (a FEN's move number) or in it.
    ASSERT_TRUE(setPosition(startFen));
    gameRecord.pliesBefore = 20;
    EXPECT_EQ(gamePhaseClass(), MIDDLEGAME);
    // Fewer than 16 pawns and at most four minor pieces.
    ASSERT_TRUE(setPosition("r2qk2r/ppp1pppp/2n2n2/8/8/2N2N2/PPPPPPPP/R2QK2R w"));
    EXPECT_EQ(gamePhaseClass(), MIDDLEGAME);
    ASSERT_TRUE(setPosition("r1bqk2r/ppp1pppp/2n2n2/8/8/2N2N2/PPPPPPPP/R2QK2R w"));
    EXPECT_EQ(gamePhaseClass(), OPENING);   // five minor pieces
    // Twenty game moves.
    ASSERT_TRUE(setPosition(startFen));
    ASSERT_TRUE(playMoves("g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 "
                          "g1f3 g8f6 f3g1"));
    EXPECT_EQ(gamePhaseClass(), OPENING);
    ASSERT_TRUE(playMoves("f6g8"));
    EXPECT_EQ(gameRecord.count, 20);
    EXPECT_EQ(gamePhaseClass(), MIDDLEGAME);
    // Endgame tests.
    ASSERT_TRUE(setPosition("3qk3/pppppppp/8/8/8/8/PPPPPPPP/3QK3 w"));   // queens only
    EXPECT_EQ(gamePhaseClass(), ENDGAME);
    ASSERT_TRUE(setPosition("rn2k3/pppppppp/8/8/8/8/PPPPPPPP/RN2K3 w"));   // no queen
    EXPECT_EQ(gamePhaseClass(), ENDGAME);
    ASSERT_TRUE(setPosition("rnbqkbnr/8/8/8/8/8/8/RNBQKBNR w"));   // no pawn
    EXPECT_EQ(gamePhaseClass(), ENDGAME);
    ASSERT_TRUE(setPosition("3qk3/pppppppp/8/8/8/8/PPPPPPPP/3NK3 w"));   // two pieces in all
    EXPECT_EQ(gamePhaseClass(), ENDGAME);
    ASSERT_TRUE(setPosition("3qk3/pppppppp/8/8/8/8/PPPPPPPP/2RQK3 w"));   // three pieces
    EXPECT_EQ(gamePhaseClass(), OPENING);
}

TEST(EvalTables, PassedSquares) {
    ASSERT_TRUE(setPosition("4k3/3p4/8/8/8/8/4P3/4K3 w"));
    if (!masksBuilt) buildMasks();
    EXPECT_FALSE(isPassedSquare(sq("e2"), WHITE));   // d7 is ahead on a neighbour file
    EXPECT_TRUE(isPassedSquare(sq("a2"), WHITE));
    EXPECT_FALSE(isPassedSquare(sq("e1"), WHITE));   // own pawn ahead on the file
    EXPECT_TRUE(isPassedSquare(sq("h7"), WHITE));
    EXPECT_FALSE(isPassedSquare(sq("d6"), BLACK));   // e2 is ahead on a neighbour file
    EXPECT_TRUE(isPassedSquare(sq("b6"), BLACK));
    EXPECT_FALSE(isPassedSquare(sq("d8"), BLACK));   // own pawn d7 ahead
}

TEST(EvalPreparation, StartPosition) {
    prepare(startFen);
    EXPECT_EQ(board.pstSum[WHITE], 116);
    EXPECT_EQ(board.pstSum[BLACK], 116);
    for (int q = 0; q < 64; ++q) {
        // Full enemy army and pawns on the board: the king rows are negated.
        EXPECT_EQ(pieceSquareTable[WHITE][KING * 64 + q], -openingKingTable[q]);
        EXPECT_EQ(pieceSquareTable[BLACK][KING * 64 + q], -openingKingTable[q]);
        EXPECT_EQ(pieceSquareTable[WHITE][QUEEN * 64 + q],
                  pieceTables[WHITE][sq("e8")][QUEEN][q] - manhattanDistance(sq("e8"), q));
        EXPECT_EQ(pieceSquareTable[BLACK][QUEEN * 64 + q],
                  pieceTables[BLACK][sq("e1")][QUEEN][q] - manhattanDistance(sq("e1"), q));
        EXPECT_EQ(pieceSquareTable[WHITE][KNIGHT * 64 + q], pieceTables[WHITE][sq("e8")][KNIGHT][q]);
        EXPECT_EQ(pieceSquareTable[BLACK][ROOK * 64 + q], pieceTables[BLACK][sq("e1")][ROOK][q]);
        EXPECT_EQ(pieceSquareTable[WHITE][q], 0);
        EXPECT_EQ(pieceSquareTable[WHITE][7 * 64 + q], 0);
    }
    // The pieces of the worked sum.
    const int8_t* w = pieceSquareTable[WHITE];
    EXPECT_EQ(w[KNIGHT * 64 + sq("b1")], 7);
    EXPECT_EQ(w[BISHOP * 64 + sq("c1")], 15);
    EXPECT_EQ(w[ROOK * 64 + sq("a1")], 27);
    EXPECT_EQ(w[QUEEN * 64 + sq("d1")], 15);
    EXPECT_EQ(w[KING * 64 + sq("e1")], -11);
}

TEST(EvalPreparation, PawnRows) {
    prepare(startFen);
    const int8_t* w = pieceSquareTable[WHITE] + 64;
    const int8_t* b = pieceSquareTable[BLACK] + 64;
    for (int q = 0; q < 64; ++q) EXPECT_EQ(b[q], PAWN_SQUARE_VALUE[63 - q] + (rowOf(q) == 6 ? 64 : 0));
    EXPECT_EQ(w[sq("e2")], 0);
    EXPECT_EQ(w[sq("b7")], 100);   // one step before promotion always gets the bonus
    EXPECT_EQ(w[sq("a7")], 86);
    EXPECT_EQ(w[sq("h7")], 86);
    EXPECT_EQ(w[sq("e8")], 42);
    EXPECT_EQ(b[sq("b2")], 100);

    // A lone white pawn on e4: its own square and those ahead are passed now,
    // the squares behind it are not (the pawn stands ahead of them).
    prepare("4k3/8/8/8/4P3/8/8/4K3 w");
    w = pieceSquareTable[WHITE] + 64;
    EXPECT_EQ(w[sq("e4")], 18 + 8);
    EXPECT_EQ(w[sq("e5")], 24 + 16);
    EXPECT_EQ(w[sq("e3")], 12);
    EXPECT_EQ(w[sq("d3")], 12 + 4);
    EXPECT_EQ(board.pstSum[WHITE], 26 + pieceSquareTable[WHITE][KING * 64 + sq("e1")]);
}

TEST(EvalPreparation, KingRowsScaleWithThePhase) {
    // No pawn at all: the king rows keep the table unscaled.
    prepare("4k3/8/8/8/8/8/8/RNBQKBNR w");
    for (int q = 0; q < 64; ++q)
        EXPECT_EQ(pieceSquareTable[WHITE][KING * 64 + q], pieceTables[WHITE][sq("e8")][KING][q]);
    // A pawn and the enemy's queen alone (n = 2): v * 4 / 8.
    prepare("3qk3/8/8/8/8/8/4P3/4K3 w");
    for (int q = 0; q < 64; ++q) {
        int v = pieceTables[WHITE][sq("e8")][KING][q];
        EXPECT_EQ(pieceSquareTable[WHITE][KING * 64 + q], v * 4 / 8);
        EXPECT_EQ(pieceSquareTable[BLACK][KING * 64 + q], pieceTables[BLACK][sq("e1")][KING][q]);   // n = 0
    }
}

TEST(EvalPreparation, PstSumFollowsMovesAndMatchesARecount) {
    prepare(startFen);
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3 b8c6 f1c4"));
    int sum[2] = {0, 0};
    for (int q = 0; q < 64; ++q)
        if (board.squares[q]) {
            int c = isOccupiedBy(q, WHITE) ? WHITE : BLACK;
            sum[c] += pieceSquareTable[c][board.squares[q] * 64 + q];
        }
    EXPECT_EQ(board.pstSum[WHITE], sum[WHITE]);
    EXPECT_EQ(board.pstSum[BLACK], sum[BLACK]);
}

}  // namespace
