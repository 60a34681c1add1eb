// Attack tables and attack tests.
//
// Knight and king attacks come from 64-entry tables. Slider attacks come from
// rotated bitboards: each LineTable keeps the occupancy in a bit order where
// one family of lines fills whole bytes, so the occupancy of the line through
// a square is an 8-bit pattern and attacks[rotatedIndex][pattern] is the
// attack set. An attack set holds the first occupied square in each
// direction, whatever its colour.
#pragma once
#include "board/board.h"

struct LineTable {
    int rotatedToSquare[64];
    int squareToRotated[64];
    Bitboard occupied;             // occupancy in this table's rotated bit order
    Bitboard attacks[64][256];     // by rotated index and line pattern
};

extern LineTable rankLines, fileLines, diagA1H8Lines, diagA8H1Lines;

extern Bitboard knightAttacks[64];
extern Bitboard kingAttacks[64];
extern uint8_t lowBitIndex[129];

// 0x88 step offsets, and per PieceType the first and last index of its steps.
extern const int stepOffsets[16];
extern const int stepFirst[7];
extern const int stepLast[7];

// Rotated index of a square in each table.
constexpr int rankIndex(int sq) { return sq; }
constexpr int fileIndex(int sq) { return colOf(sq) * 8 + rowOf(sq); }
constexpr int diagA1H8Index(int sq) { return ((rowOf(sq) + colOf(sq)) & 7) * 8 + colOf(sq); }
constexpr int diagA8H1Index(int sq) { return ((rowOf(sq) - colOf(sq)) & 7) * 8 + colOf(sq); }

// Fills every table on the first call; later calls return at once.
void initAttackTables();

inline Bitboard lineAttacks(const LineTable& t, int square) {
    int i = t.squareToRotated[square];
    return t.attacks[i][(t.occupied >> (i & ~7)) & 0xFF];
}
inline Bitboard bishopAttacks(int square) {
    return lineAttacks(diagA1H8Lines, square) | lineAttacks(diagA8H1Lines, square);
}
inline Bitboard rookAttacks(int square) {
    return lineAttacks(rankLines, square) | lineAttacks(fileLines, square);
}
inline Bitboard queenAttacks(int square) { return bishopAttacks(square) | rookAttacks(square); }

// Attack set of a piece of the given type (knight..king) standing on square.
inline Bitboard pieceAttacks(int piece, int square) {
    switch (piece) {
    case KNIGHT: return knightAttacks[square];
    case BISHOP: return bishopAttacks(square);
    case ROOK: return rookAttacks(square);
    case QUEEN: return queenAttacks(square);
    case KING: return kingAttacks[square];
    default: assertConsistent(false); return 0;
    }
}

// Squares attacked by the pawns of a colour.
inline Bitboard pawnAttacksOf(Bitboard pawns, int colour) {
    if (colour == WHITE) return ((pawns >> 7) & ~FILE_A) | ((pawns >> 9) & ~FILE_H);
    return ((pawns << 9) & ~FILE_A) | ((pawns << 7) & ~FILE_H);
}

bool isAttacked(int square, int byColour);

// Square of the colour's king; 56 for a colour without one.
inline int kingSquare(int colour) {
    return lowestSquare(board.pieceBits[KING] & board.colourBits[colour]);
}

inline bool isOccupiedBy(int square, int colour) {
    return (board.colourBits[colour] >> square) & 1;
}

// Whether the king of sideToMove is attacked, memoised on (key, colour).
bool inCheck();
