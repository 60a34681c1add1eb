// The one global position record and the primitives that change it.
//
// Squares are 0..63 with row = square >> 3 (row 0 is rank 8) and
// col = square & 7 (col 0 is file a): a8 = 0, h8 = 7, a1 = 56, h1 = 63.
// The Board keeps the position twice (mailbox and bitboards) plus running
// sums (material, piece-square sum, key). Every change goes through
// placePiece / removePiece, which keep all of them in step.
#pragma once
#include <cstdint>
#include <cstdlib>

#include "board/move.h"

using Bitboard = uint64_t;
using HashKey = uint64_t;

enum Colour { WHITE = 0, BLACK = 1 };
enum PieceType { NOPIECE = 0, PAWN = 1, KNIGHT = 2, BISHOP = 3, ROOK = 4, QUEEN = 5, KING = 6 };

struct Board {
    int squares[64];           // PieceType on each square, 0 = empty
    Bitboard pieceBits[7];     // by PieceType, both colours; [0] always empty
    Bitboard colourBits[2];    // by colour
    int material[2];           // sum of pieceValue, king included
    int sideToMove;
    int opponent;              // always 1 - sideToMove
    int ply;                   // distance from the search root
    int castled[2];            // castling counters: counts, not flags
    int kingMoved[2];
    int leftRookMoved[2];
    int rightRookMoved[2];
    HashKey hashKey;
    int pstSum[2];             // running sum of the colour's pieceSquareTable bytes
};

extern Board board;

// Piece-square bytes per colour (piece * 64 + square), filled before each search.
extern int8_t pieceSquareTable[2][512];

// Position keys [colour][piece][square]; pieces 0 and 7 stay 0.
extern HashKey zobristKeys[2][8][64];

extern const int pieceValue[8];
extern const int initialPosition[64];
extern const int pawnStep[2];

constexpr Bitboard squareBit(int square) { return Bitboard(1) << square; }
constexpr int rowOf(int square) { return square >> 3; }
constexpr int colOf(int square) { return square & 7; }

constexpr Bitboard FILE_A = 0x0101010101010101ull;
constexpr Bitboard FILE_H = 0x8080808080808080ull;
constexpr Bitboard rowMask(int row) { return Bitboard(0xFF) << (8 * row); }

// Index of the lowest set bit; callers test for an empty set first.
int lowestSquare(Bitboard b);

inline int popCount(Bitboard b) { return __builtin_popcountll(b); }

// Ends the process at once (abort, no message) when the condition fails.
inline void assertConsistent(bool condition) {
    if (__builtin_expect(!condition, 0)) std::abort();
}

inline void toggleKey(int piece, int square, int colour) {
    board.hashKey ^= zobristKeys[colour][piece][square];
}

void placePiece(int square, int piece, int colour);
void removePiece(int square, int piece, int colour);

// Sets up the initial position with an empty game history, White to move.
void newGame();
