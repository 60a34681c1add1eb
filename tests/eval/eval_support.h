// Helpers shared by the evaluation tests.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

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

// The board seen from the other side: colours swapped, rows mirrored.
std::string mirroredFen(const std::string& fen);
