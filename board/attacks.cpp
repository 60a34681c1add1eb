#include "board/attacks.h"

#include "board/board.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

LineTable rankLines, fileLines, diagA1H8Lines, diagA8H1Lines;
Bitboard knightAttacks[64];
Bitboard kingAttacks[64];
Bitboard betweenSquares[64][64];
uint8_t lowBitIndex[129];

const int stepOffsets[16] = {1, 16, -1, -16, 15, 17, -15, -17, 14, -14, 18, -18, 31, -31, 33, -33};
const int stepFirst[7] = {6, 4, 8, 4, 0, 0, 0};
const int stepLast[7] = {7, 5, 15, 7, 3, 7, 7};

namespace {

bool tablesPending = true;

// Square of a 0x88 index known to be on the board.
int squareOf0x88(int t) { return (t & 7) | ((t & ~7) >> 1); }

Bitboard stepTable(int square, int piece) {
    Bitboard set = 0;
    int origin = rowOf(square) * 16 + colOf(square);
    for (int i = stepFirst[piece]; i <= stepLast[piece]; ++i) {
        int t = origin + stepOffsets[i];
        if (!(t & 0x88)) set |= squareBit(squareOf0x88(t));
    }
    return set;
}

void buildLineTable(LineTable& table, int (*indexOf)(int), Bitboard lineMask) {
    for (int sq = 0; sq < 64; ++sq) {
        table.squareToRotated[sq] = indexOf(sq);
        table.rotatedToSquare[indexOf(sq)] = sq;
    }
    for (int i = 0; i < 64; ++i) {
        int d = i >> 3, k = i & 7;
        Bitboard rowBits = (lineMask >> (d * 8)) & 0xFF;
        int members = int(((lineMask >> i) & 1) ? rowBits : (~rowBits & 0xFF));
        for (int pattern = 0; pattern < 256; ++pattern) {
            Bitboard set = 0;
            for (int l = k - 1; l >= 0 && ((members >> l) & 1); --l) {
                set |= squareBit(table.rotatedToSquare[d * 8 + l]);
                if ((pattern >> l) & 1) break;
            }
            for (int l = k + 1; l <= 7 && ((members >> l) & 1); ++l) {
                set |= squareBit(table.rotatedToSquare[d * 8 + l]);
                if ((pattern >> l) & 1) break;
            }
            table.attacks[i][pattern] = set;
        }
    }
}

int rankOrder(int sq) { return rankIndex(sq); }
int fileOrder(int sq) { return fileIndex(sq); }
int diagA1H8Order(int sq) { return diagA1H8Index(sq); }
int diagA8H1Order(int sq) { return diagA8H1Index(sq); }

struct CheckMemo {
    HashKey key = 0;
    int colour = -1;
    bool answer = false;
};
ROTOR_THREAD_LOCAL CheckMemo checkMemo;

}  // namespace

void initAttackTables() {
    if (!tablesPending) return;
    tablesPending = false;
    for (int sq = 0; sq < 64; ++sq) {
        knightAttacks[sq] = stepTable(sq, KNIGHT);
        kingAttacks[sq] = stepTable(sq, KING);
    }
    buildLineTable(rankLines, rankOrder, 0);
    buildLineTable(fileLines, fileOrder, 0);
    buildLineTable(diagA1H8Lines, diagA1H8Order, 0xFF7F3F1F0F070301ull);
    buildLineTable(diagA8H1Lines, diagA8H1Order, 0x0103070F1F3F7FFFull);
    for (int k = 0; k < 8; ++k) lowBitIndex[1 << k] = uint8_t(k);
    // Walk each of the eight directions from every square (0x88 steps).
    for (int from = 0; from < 64; ++from)
        for (int i = stepFirst[QUEEN]; i <= stepLast[QUEEN]; ++i) {
            Bitboard passed = 0;
            for (int t = rowOf(from) * 16 + colOf(from) + stepOffsets[i]; !(t & 0x88); t += stepOffsets[i]) {
                betweenSquares[from][squareOf0x88(t)] = passed;
                passed |= squareBit(squareOf0x88(t));
            }
        }
}

// Attacker classes in a fixed order, cheapest after the pawns; a slider class
// without pieces skips its lookup.
bool isAttacked(int square, int byColour) {
    const Bitboard mine = board.colourBits[byColour];
    if (pawnAttacksOf(board.pieceBits[PAWN] & mine, byColour) & squareBit(square)) return true;
    const Bitboard queens = board.pieceBits[QUEEN];
    const Bitboard diagonal = (board.pieceBits[BISHOP] | queens) & mine;
    if (diagonal && (bishopAttacks(square) & diagonal)) return true;
    const Bitboard straight = (board.pieceBits[ROOK] | queens) & mine;
    if (straight && (rookAttacks(square) & straight)) return true;
    if (knightAttacks[square] & board.pieceBits[KNIGHT] & mine) return true;
    return kingAttacks[square] & board.pieceBits[KING] & mine;
}

bool inCheck() {
    if (board.hashKey == checkMemo.key && board.sideToMove == checkMemo.colour) return checkMemo.answer;
    checkMemo.key = board.hashKey;
    checkMemo.colour = board.sideToMove;
    checkMemo.answer = isAttacked(kingSquare(board.sideToMove), board.opponent);
    return checkMemo.answer;
}

ROTOR_BOARD_NAMESPACE_END
