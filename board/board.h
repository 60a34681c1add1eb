// The one global position record and the primitives that change it.
//
// Squares are 0..63 with row = square >> 3 (row 0 is rank 8) and
// col = square & 7 (col 0 is file a): a8 = 0, h8 = 7, a1 = 56, h1 = 63.
// The Board keeps the position twice (mailbox and bitboards) plus running
// sums (material, piece-square sum, key). Every change goes through
// placePiece / removePiece, which keep all of them in step.
#pragma once
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "board/move.h"
#include "board/score.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

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

extern ROTOR_THREAD_LOCAL Board board;

// Piece-square bytes per colour (piece * 64 + square), filled before each search.
extern ROTOR_THREAD_LOCAL int8_t pieceSquareTable[2][512];

// Position keys [colour][piece][square]; pieces 0 and 7 stay 0. Drawn by
// the first newGame, before anything else draws from the sequence.
extern HashKey zobristKeys[2][8][64];

extern const int pieceValue[8];
extern const int initialPosition[64];
extern const int pawnStep[2];

constexpr Bitboard squareBit(int square) { return Bitboard(1) << square; }
constexpr int rowOf(int square) { return square >> 3; }
constexpr int colOf(int square) { return square & 7; }

// Square text: a file letter and a rank digit, "e4" for square 36. FEN and
// coordinate moves are lower case, the engine's upper-cased command and file
// text upper case: the caller names its letter for file a. -1 when refused.
constexpr int squareOfText(char file, char rank, char fileA = 'a') {
    if (file < fileA || file > fileA + 7 || rank < '1' || rank > '8') return -1;
    return ('8' - rank) * 8 + (file - fileA);
}
constexpr int squareOfText(std::string_view text, char fileA = 'a') {
    return text.size() == 2 ? squareOfText(text[0], text[1], fileA) : -1;
}

constexpr Bitboard FILE_A = 0x0101010101010101ull;
constexpr Bitboard FILE_H = 0x8080808080808080ull;
constexpr Bitboard rowMask(int row) { return Bitboard(0xFF) << (8 * row); }

extern uint8_t lowBitIndex[129];   // filled by initAttackTables: entry 2^k holds k

// Index of the lowest set bit. An empty set gives 56, what the byte-table scan
// of the high half yields for it; callers test for emptiness first, except
// kingSquare, which so gives 56 for a colour without a king.
inline int lowestSquare(Bitboard b) { return b ? __builtin_ctzll(b) : 56; }

inline int popCount(Bitboard b) { return __builtin_popcountll(b); }

// Ends the process at once (abort, no message) when the condition fails.
inline void assertConsistent(bool condition) {
    if (__builtin_expect(!condition, 0)) std::abort();
}

// Debug and sanitizer builds (ROTOR_CHECKS) recount the whole Board after
// every makeMove and unmakeMove; optimised builds leave the check out.
#ifdef ROTOR_CHECKS
constexpr bool checkEveryMove = true;
#else
constexpr bool checkEveryMove = false;
#endif

// Whether every redundant part of the Board agrees with the mailbox and the
// colour sets, recounted from scratch: piece sets, the four rotated
// occupancies, key, material, opponent. pstSum is not compared: it keeps
// whatever it held before a set-up until the evaluation fills it for a search
// (see pstRecount).
bool boardIsConsistent();
// The colour's piece-square sum recounted from the mailbox.
int pstRecount(int colour);

// The occupancy seen by one family of lines (ranks, files, the two diagonal
// directions), each in its own rotated bit order in which every line fills
// eight consecutive bits, with the slider attacks for each rotated index and
// 8-bit line pattern (filled by initAttackTables).
struct LineTable {
    int rotatedToSquare[64];
    int squareToRotated[64];
    Bitboard attacks[64][256];     // by rotated index and line pattern
};

extern LineTable rankLines, fileLines, diagA1H8Lines, diagA8H1Lines;

// The occupancy each family of lines sees, in its rotated bit order: bit i
// is set when the square at rotated index i is occupied.
struct LineOccupancy {
    Bitboard rank, file, diagA1H8, diagA8H1;
};
extern ROTOR_THREAD_LOCAL LineOccupancy lineOccupancy;

// Rotated index of a square in each table.
constexpr int rankIndex(int sq) { return sq; }
constexpr int fileIndex(int sq) { return colOf(sq) * 8 + rowOf(sq); }
constexpr int diagA1H8Index(int sq) { return ((rowOf(sq) + colOf(sq)) & 7) * 8 + colOf(sq); }
constexpr int diagA8H1Index(int sq) { return ((rowOf(sq) - colOf(sq)) & 7) * 8 + colOf(sq); }

inline void toggleKey(int piece, int square, int colour) {
    board.hashKey ^= zobristKeys[colour][piece][square];
}

// A square's bit in the file and diagonal occupancies, at its rotated index
// (in the rank occupancy it is the square's own bit): looked up rather than
// computed, since every make and unmake toggles them.
struct RotatedBits {
    Bitboard file, diagA1H8, diagA8H1;
};
inline constexpr auto rotatedBits = [] {
    std::array<RotatedBits, 64> bits{};
    for (int sq = 0; sq < 64; ++sq)
        bits[sq] = {squareBit(fileIndex(sq)), squareBit(diagA1H8Index(sq)), squareBit(diagA8H1Index(sq))};
    return bits;
}();

// The square's bit in the four line occupancies, each at its rotated index.
inline void toggleLineBits(int square) {
    const RotatedBits& bits = rotatedBits[square];
    lineOccupancy.rank ^= squareBit(rankIndex(square));
    lineOccupancy.file ^= bits.file;
    lineOccupancy.diagA1H8 ^= bits.diagA1H8;
    lineOccupancy.diagA8H1 ^= bits.diagA8H1;
}

// Puts a piece on an empty square and updates every redundant part of the Board.
inline void placePiece(int square, int piece, int colour) {
    assertConsistent(board.squares[square] == NOPIECE);
    toggleLineBits(square);
    board.pieceBits[piece] |= squareBit(square);
    board.colourBits[colour] |= squareBit(square);
    board.squares[square] = piece;
    toggleKey(piece, square, colour);
    board.material[colour] += pieceValue[piece];
    board.pstSum[colour] += pieceSquareTable[colour][piece * 64 + square];
}

// The exact inverse; the caller passes the type and colour standing there.
inline void removePiece(int square, int piece, int colour) {
    assertConsistent(board.squares[square] != NOPIECE);
    toggleLineBits(square);
    board.pieceBits[piece] &= ~squareBit(square);
    board.colourBits[colour] &= ~squareBit(square);
    board.squares[square] = NOPIECE;
    toggleKey(piece, square, colour);
    board.material[colour] -= pieceValue[piece];
    board.pstSum[colour] -= pieceSquareTable[colour][piece * 64 + square];
}

// removePiece (from, piece, colour) then placePiece (to, piece, colour) in
// one pass, for two different squares: the same checks, the same fields, the
// same results. makeMove and unmakeMove use it for the moves that keep their
// piece type.
[[gnu::always_inline]] inline void movePiece(int from, int to, int piece, int colour) {
    assertConsistent(board.squares[from] != NOPIECE && board.squares[to] == NOPIECE && from != to);
    const Bitboard both = squareBit(from) | squareBit(to);
    const RotatedBits &a = rotatedBits[from], &b = rotatedBits[to];
    lineOccupancy.rank ^= both;
    lineOccupancy.file ^= a.file ^ b.file;
    lineOccupancy.diagA1H8 ^= a.diagA1H8 ^ b.diagA1H8;
    lineOccupancy.diagA8H1 ^= a.diagA8H1 ^ b.diagA8H1;
    board.pieceBits[piece] ^= both;
    board.colourBits[colour] ^= both;
    board.squares[from] = NOPIECE;
    board.squares[to] = piece;
    const HashKey* keys = zobristKeys[colour][piece];
    const int8_t* pst = pieceSquareTable[colour] + piece * 64;
    board.hashKey ^= keys[from] ^ keys[to];
    board.pstSum[colour] += pst[to] - pst[from];
}

// Sets up the initial position with an empty game record, White to move.
// Whoever starts a game clears the transposition table as well.
void newGame();
// newGame, then every piece removed: the empty Board with an empty record
// and cleared castling counters, White to move.
void clearBoard();

ROTOR_BOARD_NAMESPACE_END
