#include "board/board.h"

#include "board/attacks.h"
#include "board/makemove.h"
#include "board/random.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

ROTOR_THREAD_LOCAL Board board;
ROTOR_THREAD_LOCAL LineOccupancy lineOccupancy;
ROTOR_THREAD_LOCAL int8_t pieceSquareTable[2][512];
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

namespace {

bool keysFilled = false;

// The first 3072 numbers of the engine's sequence, four to a key, in this order.
void fillZobristKeys() {
    for (int colour = 0; colour < 2; ++colour)
        for (int piece = PAWN; piece <= KING; ++piece)
            for (int sq = 0; sq < 64; ++sq) {
                HashKey key = 0;
                for (int part = 0; part < 4; ++part) key = key << 16 | HashKey(nextRandom());
                zobristKeys[colour][piece][sq] = key;
            }
    keysFilled = true;
}

}  // namespace

void newGame() {
    initAttackTables();
    if (!keysFilled) fillZobristKeys();
    board.hashKey = 0;
    lineOccupancy.rank = lineOccupancy.file = 0;
    lineOccupancy.diagA1H8 = lineOccupancy.diagA8H1 = 0;
    for (Bitboard& b : board.pieceBits) b = 0;
    board.colourBits[WHITE] = board.colourBits[BLACK] = 0;
    board.material[WHITE] = board.material[BLACK] = 0;
    board.sideToMove = WHITE;
    board.opponent = BLACK;
    for (int& s : board.squares) s = NOPIECE;
    gameRecord.count = 0;
    gameRecord.recorded = 0;
    gameRecord.pliesBefore = gameRecord.reversibleBefore = 0;
    for (int c = 0; c < 2; ++c)
        board.castled[c] = board.kingMoved[c] = board.leftRookMoved[c] = board.rightRookMoved[c] = 0;
    for (int sq = 0; sq < 64; ++sq)
        if (initialPosition[sq] != NOPIECE) placePiece(sq, initialPosition[sq], sq < 32 ? BLACK : WHITE);
}

bool boardIsConsistent() {
    Bitboard pieces[7] = {}, lines[4] = {};
    HashKey key = 0;
    int material[2] = {};
    if (board.colourBits[WHITE] & board.colourBits[BLACK]) return false;
    for (int sq = 0; sq < 64; ++sq) {
        const int piece = board.squares[sq];
        const bool white = isOccupiedBy(sq, WHITE), black = isOccupiedBy(sq, BLACK);
        if (piece == NOPIECE) {
            if (white || black) return false;
            continue;
        }
        if (piece < PAWN || piece > KING || white == black) return false;
        const int colour = white ? WHITE : BLACK;
        pieces[piece] |= squareBit(sq);
        lines[0] |= squareBit(rankIndex(sq));
        lines[1] |= squareBit(fileIndex(sq));
        lines[2] |= squareBit(diagA1H8Index(sq));
        lines[3] |= squareBit(diagA8H1Index(sq));
        key ^= zobristKeys[colour][piece][sq];
        material[colour] += pieceValue[piece];
    }
    for (int p = 0; p < 7; ++p)
        if (pieces[p] != board.pieceBits[p]) return false;
    return lines[0] == lineOccupancy.rank && lines[1] == lineOccupancy.file && lines[2] == lineOccupancy.diagA1H8 &&
           lines[3] == lineOccupancy.diagA8H1 && key == board.hashKey && material[WHITE] == board.material[WHITE] &&
           material[BLACK] == board.material[BLACK] && board.opponent == 1 - board.sideToMove;
}

int pstRecount(int colour) {
    int sum = 0;
    for (int sq = 0; sq < 64; ++sq)
        if (board.squares[sq] && isOccupiedBy(sq, colour)) sum += pieceSquareTable[colour][board.squares[sq] * 64 + sq];
    return sum;
}

void clearBoard() {
    newGame();
    for (int sq = 0; sq < 64; ++sq)
        if (board.squares[sq] != NOPIECE) removePiece(sq, board.squares[sq], isOccupiedBy(sq, WHITE) ? WHITE : BLACK);
}

ROTOR_BOARD_NAMESPACE_END
