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
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

extern Bitboard knightAttacks[64];
extern Bitboard kingAttacks[64];
// The squares strictly between two squares on a common rank, file or
// diagonal; empty for squares on no common line.
extern Bitboard betweenSquares[64][64];

// 0x88 step offsets, and per PieceType the first and last index of its steps.
extern const int stepOffsets[16];
extern const int stepFirst[7];
extern const int stepLast[7];

// Fills every table on the first call; later calls return at once.
void initAttackTables();

// Attacks along the table's line through the square of rotated index i: the
// index picks the byte of the line's occupancy.
inline Bitboard lineAttacks(const LineTable& t, Bitboard occupied, int i) {
    return t.attacks[i][(occupied >> (i & ~7)) & 0xFF];
}

inline Bitboard bishopAttacks(int square) {
    return lineAttacks(diagA1H8Lines, lineOccupancy.diagA1H8, diagA1H8Index(square)) | lineAttacks(diagA8H1Lines, lineOccupancy.diagA8H1, diagA8H1Index(square));
}
inline Bitboard rookAttacks(int square) {
    return lineAttacks(rankLines, lineOccupancy.rank, rankIndex(square)) | lineAttacks(fileLines, lineOccupancy.file, fileIndex(square));
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

// The pieces of a colour that attack the square, found the way isAttacked
// looks for them.
inline Bitboard attackersOf(int square, int byColour) {
    const Bitboard mine = board.colourBits[byColour];
    const Bitboard queens = board.pieceBits[QUEEN];
    return (pawnAttacksOf(squareBit(square), byColour ^ 1) & board.pieceBits[PAWN] & mine) |
           (bishopAttacks(square) & (board.pieceBits[BISHOP] | queens) & mine) |
           (rookAttacks(square) & (board.pieceBits[ROOK] | queens) & mine) |
           (knightAttacks[square] & board.pieceBits[KNIGHT] & mine) |
           (kingAttacks[square] & board.pieceBits[KING] & mine);
}

// Slider attacks from a square on the empty board.
inline Bitboard bishopRays(int square) {
    return diagA1H8Lines.attacks[diagA1H8Index(square)][0] | diagA8H1Lines.attacks[diagA8H1Index(square)][0];
}
inline Bitboard rookRays(int square) {
    return rankLines.attacks[rankIndex(square)][0] | fileLines.attacks[fileIndex(square)][0];
}

// Square of the colour's king; 56 for a colour without one.
inline int kingSquare(int colour) {
    return lowestSquare(board.pieceBits[KING] & board.colourBits[colour]);
}

inline bool isOccupiedBy(int square, int colour) {
    return (board.colourBits[colour] >> square) & 1;
}

// Whether the king of sideToMove is attacked, memoised on (key, colour).
bool inCheck();

ROTOR_BOARD_NAMESPACE_END
