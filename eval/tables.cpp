// Tables prepared once per search from the root position: the pawn masks,
// the phase class, the king-relative piece tables (spread once per phase
// class and kept) and the piece-square bytes behind the board's running pstSum.
#include <cstring>

#include "board/attacks.h"
#include "board/makemove.h"
#include "eval/evaluate.h"
#include "eval/weights.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

const Bitboard enemyHalf[2] = {0x00000000FFFFFFFFull, 0xFFFFFFFF00000000ull};

Bitboard fileMask[8];
Bitboard neighbourFiles[8];
Bitboard passedSpan[2][64];
Bitboard frontSpan[2][64];
bool masksBuilt = false;

ROTOR_THREAD_LOCAL int8_t pieceTables[2][64][8][64];

namespace {

// The king's seed: 1 on the edge ring .. 4 in the centre.
constexpr int centreRing[64] = {
    1, 1, 1, 1, 1, 1, 1, 1,
    1, 2, 2, 2, 2, 2, 2, 1,
    1, 2, 3, 3, 3, 3, 2, 1,
    1, 2, 3, 4, 4, 3, 2, 1,
    1, 2, 3, 4, 4, 3, 2, 1,
    1, 2, 3, 3, 3, 3, 2, 1,
    1, 2, 2, 2, 2, 2, 2, 1,
    1, 1, 1, 1, 1, 1, 1, 1,
};

// Squares a piece of each type reaches from each square on an empty board,
// in step order; the spreading sums over them. Built with the masks.
struct Reach {
    uint8_t count;
    uint8_t squares[27];
};
Reach reach[7][64];

int squareOf0x88(int t) { return ((t & ~7) >> 1) | (t & 7); }

void buildReach() {
    for (int p = KNIGHT; p <= KING; ++p) {
        const bool slides = p != KNIGHT && p != KING;
        for (int sq = 0; sq < 64; ++sq) {
            Reach& r = reach[p][sq];
            r.count = 0;
            const int origin = rowOf(sq) * 16 + colOf(sq);
            for (int i = stepFirst[p]; i <= stepLast[p]; ++i) {
                for (int t = origin + stepOffsets[i]; !(t & 0x88); t += stepOffsets[i]) {
                    r.squares[r.count++] = uint8_t(squareOf0x88(t));
                    if (!slides) break;
                }
            }
        }
    }
}

int pawnCount() { return popCount(board.pieceBits[PAWN]); }

void storeByte(int8_t& slot, int value) {
    assertConsistent(value >= -127 && value <= 127);
    slot = int8_t(value);
}

// The piece tables of each phase class, spread on the first search in that
// class. They depend on nothing else: the colour and phase pick the seed, the
// spread walks an empty board and the weights are constant.
using PieceTableSet = int8_t[2][64][8][64];
static_assert(sizeof(PieceTableSet) == sizeof pieceTables);
ROTOR_THREAD_LOCAL PieceTableSet spreadTables[3];
ROTOR_THREAD_LOCAL bool spreadDone[3];

void spreadPieceTables(int phase, PieceTableSet& out) {
    const int* w = PIECE_TABLE_WEIGHT;
    int t[64];
    for (int c = 0; c < 2; ++c) {
        for (int p = KNIGHT; p <= KING; ++p) {
            // The king's table ignores the enemy king: spread it once per colour.
            if (p == KING) spreadTable(p, 0, w[p], c, phase, t);
            for (int k = 0; k < 64; ++k) {
                if (p != KING) spreadTable(p, k, w[p], c, phase, t);
                for (int q = 0; q < 64; ++q) storeByte(out[c][k][p][q], t[q]);
            }
        }
    }
}

}  // namespace

void buildMasks() {
    for (int f = 0; f < 8; ++f) fileMask[f] = FILE_A << f;
    for (int f = 0; f < 8; ++f) {
        neighbourFiles[f] = 0;
        if (f > 0) neighbourFiles[f] |= fileMask[f - 1];
        if (f < 7) neighbourFiles[f] |= fileMask[f + 1];
    }
    for (int sq = 0; sq < 64; ++sq) {
        const int row = rowOf(sq), col = colOf(sq);
        const Bitboard files = fileMask[col] | neighbourFiles[col];
        Bitboard ahead[2] = {0, 0};
        for (int r = 0; r < row; ++r) ahead[WHITE] |= rowMask(r);
        for (int r = row + 1; r < 8; ++r) ahead[BLACK] |= rowMask(r);
        for (int c = 0; c < 2; ++c) {
            passedSpan[c][sq] = ahead[c] & files;
            frontSpan[c][sq] = ahead[c] & fileMask[col];
        }
    }
    buildReach();
    // Whatever was computed from the masks is computed again.
    clearPawnTable();
    spreadDone[OPENING] = spreadDone[MIDDLEGAME] = spreadDone[ENDGAME] = false;
    masksBuilt = true;
}

bool isPassedSquare(int square, int colour) {
    const Bitboard pawns = board.pieceBits[PAWN];
    return !(passedSpan[colour][square] & pawns & board.colourBits[colour ^ 1]) &&
           !(frontSpan[colour][square] & pawns & board.colourBits[colour]);
}

int gamePhaseClass() {
    const Bitboard* pb = board.pieceBits;
    const int minors = popCount(pb[KNIGHT] | pb[BISHOP]);
    const int pieces = popCount(pb[KNIGHT] | pb[BISHOP] | pb[ROOK] | pb[QUEEN]);
    int phase = OPENING;
    if (gameRecord.pliesBefore + gameRecord.count >= 20) phase = MIDDLEGAME;
    if (board.castled[WHITE] && board.castled[BLACK]) phase = MIDDLEGAME;
    if (pawnCount() < 16 && minors <= 4) phase = MIDDLEGAME;
    if (!(pb[KNIGHT] | pb[BISHOP] | pb[ROOK])) phase = ENDGAME;
    if (!pb[QUEEN]) phase = ENDGAME;
    if (!pb[PAWN]) phase = ENDGAME;
    if (pieces <= 2) phase = ENDGAME;
    return phase;
}

void spreadTable(int piece, int enemyKing, int weight, int colour, int phase, int out[64]) {
    int* v = out;
    int a[64];
    for (int q = 0; q < 64; ++q) {
        v[q] = piece == KING ? centreRing[q] : 7 - chebyshevDistance(q, enemyKing);
        if (phase == ENDGAME) v[q] += colour == WHITE ? 7 - rowOf(q) : rowOf(q);
        a[q] = 0;
    }
    // The accumulator keeps the sums of the earlier passes.
    for (int pass = 0; pass < 3; ++pass) {
        for (int q = 0; q < 64; ++q) {
            const Reach& r = reach[piece][q];
            int sum = 0;
            for (int i = 0; i < r.count; ++i) sum += v[r.squares[i]];
            a[q] += sum;
        }
        for (int q = 0; q < 64; ++q) v[q] = a[q];
    }
    int m = 0;
    for (int q = 0; q < 64; ++q)
        if (v[q] > m) m = v[q];
    for (int q = 0; q < 64; ++q) v[q] = m ? v[q] * weight / m : 0;
}

namespace {

// The piece tables of the root's phase class, spread on the first search in it.
void buildPieceTables() {
    if (!masksBuilt) buildMasks();
    const int phase = gamePhaseClass();
    if (!spreadDone[phase]) {
        spreadPieceTables(phase, spreadTables[phase]);
        spreadDone[phase] = true;
    }
    std::memcpy(pieceTables, spreadTables[phase], sizeof pieceTables);
}

}  // namespace

void prepareEvaluation() {
    buildPieceTables();
    for (int c = 0; c < 2; ++c) {
        const int8_t* slice = &pieceTables[c][kingSquare(c ^ 1)][0][0];
        for (int i = 0; i < 512; ++i) pieceSquareTable[c][i] = slice[i];
    }
    for (int q = 0; q < 64; ++q) {
        int white = PAWN_SQUARE_VALUE[q];
        if (isPassedSquare(q, WHITE)) white += PASSED_RANK_BONUS[WHITE][rowOf(q)];
        storeByte(pieceSquareTable[WHITE][PAWN * 64 + q], white);
        int black = PAWN_SQUARE_VALUE[63 - q];
        if (isPassedSquare(q, BLACK)) black += PASSED_RANK_BONUS[BLACK][rowOf(q)];
        storeByte(pieceSquareTable[BLACK][PAWN * 64 + q], black);
    }
    const bool pawnsOnBoard = board.pieceBits[PAWN] != 0;
    for (int c = 0; c < 2; ++c) {
        const int n = opponentPhase(c);
        const int enemyKing = kingSquare(c ^ 1);
        int8_t* table = pieceSquareTable[c];
        for (int q = 0; q < 64; ++q) {
            const int v = table[KING * 64 + q];
            if (pawnsOnBoard) storeByte(table[KING * 64 + q], kingPhaseBlend(v, n));
            storeByte(table[QUEEN * 64 + q], table[QUEEN * 64 + q] - manhattanDistance(enemyKing, q));
        }
    }
    board.pstSum[WHITE] = board.pstSum[BLACK] = 0;
    for (int q = 0; q < 64; ++q) {
        const int p = board.squares[q];
        if (p == NOPIECE) continue;
        const int c = isOccupiedBy(q, WHITE) ? WHITE : BLACK;
        board.pstSum[c] += pieceSquareTable[c][p * 64 + q];
    }
}

ROTOR_BOARD_NAMESPACE_END
