#include "board/positioncheck.h"

#include "board/attacks.h"
#include "board/board.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

namespace {

constexpr int MAX_MEN = 16;    // pieces of one colour in any game
constexpr int MAX_PAWNS = 8;
constexpr Bitboard BACK_RANKS = rowMask(0) | rowMask(7);
constexpr int HOME_SQUARE[2] = {60, 4};   // e1, e8

PositionFault materialFault(int colour, unsigned asked) {
    const Bitboard own = board.colourBits[colour];
    if ((asked & KING_COUNT) && popCount(board.pieceBits[KING] & own) != 1) return KING_COUNT;
    if ((asked & TOO_MANY_MEN) && popCount(own) > MAX_MEN) return TOO_MANY_MEN;
    if ((asked & TOO_MANY_PAWNS) && popCount(board.pieceBits[PAWN] & own) > MAX_PAWNS) return TOO_MANY_PAWNS;
    if ((asked & PAWN_ON_BACK_RANK) && (board.pieceBits[PAWN] & own & BACK_RANKS)) return PAWN_ON_BACK_RANK;
    return NO_FAULT;
}

bool castlesFromWrongSquare(int colour) {
    const bool mayCastle = !board.castled[colour] && !board.kingMoved[colour] &&
                           (!board.leftRookMoved[colour] || !board.rightRookMoved[colour]);
    return mayCastle && kingSquare(colour) == HOME_SQUARE[colour ^ 1];
}

}  // namespace

PositionFault positionFault(unsigned asked) {
    for (int colour = WHITE; colour <= BLACK; ++colour)
        if (const PositionFault fault = materialFault(colour, asked)) return fault;
    if ((asked & OPPONENT_IN_CHECK) && isAttacked(kingSquare(board.opponent), board.sideToMove))
        return OPPONENT_IN_CHECK;
    for (int colour = WHITE; colour <= BLACK; ++colour)
        if ((asked & CASTLING_FROM_WRONG_SQUARE) && castlesFromWrongSquare(colour)) return CASTLING_FROM_WRONG_SQUARE;
    return NO_FAULT;
}

const char* faultText(PositionFault fault) {
    switch (fault) {
    case KING_COUNT: return "each side needs exactly one king";
    case TOO_MANY_MEN: return "more than sixteen pieces of one colour";
    case TOO_MANY_PAWNS: return "more than eight pawns of one colour";
    case PAWN_ON_BACK_RANK: return "a pawn on the first or last rank";
    case OPPONENT_IN_CHECK: return "the side not to move is in check";
    case CASTLING_FROM_WRONG_SQUARE: return "castling rights for a king on the other side's home square";
    case NO_FAULT: break;
    }
    return "";
}

ROTOR_BOARD_NAMESPACE_END
