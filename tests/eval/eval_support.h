// Helpers shared by the evaluation tests.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "board/makemove.h"
#include "board/perft.h"
#include "eval/evaluate.h"
#include "support/position.h"

// Square of a text such as "e4".
inline int sq(const char* text) { return squareOfText(text); }

inline Bitboard bits(std::initializer_list<const char*> squares) {
    Bitboard b = 0;
    for (const char* s : squares) b |= squareBit(sq(s));
    return b;
}

// Sets up a position and prepares the tables for it, as a search would.
inline void prepare(const std::string& fen) {
    ASSERT_TRUE(setPosition(fen));
    prepareEvaluation();
}

// Sets up a position with every king-relative table value 0, so that only the
// hand-written terms of the piece evaluation remain.
inline void setWithZeroTables(const std::string& fen) {
    ASSERT_TRUE(setPosition(fen));
    prepareEvaluation();
    std::memset(pieceTables, 0, sizeof pieceTables);
}

// Makes the next evaluation look the pawns up again (in the pawn table).
inline void invalidatePawnCache() { pawnCache.whitePawnKey = pawnCache.blackPawnKey = NO_PAWN_KEY; }

// Runs the pawn term for both colours the way the driver does, on fresh sets.
inline void scorePawns(int score[2]) {
    if (!masksBuilt) buildMasks();
    invalidatePawnCache();
    pawnCache.passedPawns = pawnCache.halfPassedPawns = pawnCache.loosePawns = 0;
    score[WHITE] = evaluatePawns(WHITE);
    score[BLACK] = evaluatePawns(BLACK);
}

// Starts of the walks below: openings, middlegames with tactics, endgames.
inline const char* const walkStarts[] = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w -",
    "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w -",
    "8/pp3k2/2p5/3p4/3P4/2P5/PP3K2/8 w -",
};

// Visits every position along a fixed pseudo-random line of legal moves from
// each start (the start included), with the tables prepared at the start.
template <class Visit>
void walkPositions(int plies, Visit visit) {
    uint32_t seed = 12345;
    for (const char* start : walkStarts) {
        prepare(start);
        for (int ply = 0; ply <= plies; ++ply) {
            visit();
            Move moves[256];
            const int n = legalMoves(moves);
            if (n == 0) break;
            seed = seed * 1103515245u + 12345u;
            ASSERT_TRUE(playMove(moves[(seed >> 16) % n]));
        }
    }
}

// The board seen from the other side: colours swapped, rows mirrored.
std::string mirroredFen(const std::string& fen);
