#include "board/board.h"

#include "board/attacks.h"
#include "board/makemove.h"
#include "search/tt.h"

Board board;
int8_t pieceSquareTable[2][512];
HashKey zobristKeys[2][8][64];

const int pieceValue[8] = {0, PAWN_VALUE, KNIGHT_VALUE, BISHOP_VALUE, ROOK_VALUE, QUEEN_VALUE, KING_VALUE, 0};

const int initialPosition[64] = {
    4, 2, 3, 5, 6, 3, 2, 4,
    1, 1, 1, 1, 1, 1, 1, 1,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 1, 1, 1, 1, 1, 1,
    4, 2, 3, 5, 6, 3, 2, 4,
};

const int pawnStep[2] = {-8, 8};

void newGame() {
    initAttackTables();
    ttClear();
    board.hashKey = 0;
    rankLines.occupied = fileLines.occupied = 0;
    diagA1H8Lines.occupied = diagA8H1Lines.occupied = 0;
    for (Bitboard& b : board.pieceBits) b = 0;
    board.colourBits[WHITE] = board.colourBits[BLACK] = 0;
    board.material[WHITE] = board.material[BLACK] = 0;
    board.sideToMove = WHITE;
    board.opponent = BLACK;
    for (int& s : board.squares) s = NOPIECE;
    history.count = 0;
    history.recorded = 0;
    for (int c = 0; c < 2; ++c)
        board.castled[c] = board.kingMoved[c] = board.leftRookMoved[c] = board.rightRookMoved[c] = 0;
    for (int sq = 0; sq < 64; ++sq)
        if (initialPosition[sq] != NOPIECE) placePiece(sq, initialPosition[sq], sq < 32 ? BLACK : WHITE);
}
