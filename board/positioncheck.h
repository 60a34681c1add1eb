// The one position validator: what makes a position one the engine cannot
// play. Each caller asks for the faults its own rule refuses (the UCI FEN
// reader, the saved-game loader, the root search, the perft tool).
#pragma once
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

enum PositionFault {
    NO_FAULT = 0,
    KING_COUNT = 1 << 0,          // a side without exactly one king
    TOO_MANY_MEN = 1 << 1,        // more than sixteen pieces of one colour
    TOO_MANY_PAWNS = 1 << 2,      // more than eight pawns of one colour
    PAWN_ON_BACK_RANK = 1 << 3,   // a pawn on the first or last rank
    OPPONENT_IN_CHECK = 1 << 4,   // the side not to move stands in check
    // A king on the other colour's home square while its castling counters
    // still allow castling: the castling test would move it over occupied
    // squares.
    CASTLING_FROM_WRONG_SQUARE = 1 << 5,
};
constexpr unsigned EVERY_FAULT = (1 << 6) - 1;

// The first of the asked faults that the position has, NO_FAULT when none.
// They are looked for in this order: for White, then Black, the king, the
// men, the pawns and the back ranks; then the side not to move in check;
// then castling, White's before Black's.
PositionFault positionFault(unsigned asked);

// The fault in words, as the UCI reader gives it ("" for NO_FAULT).
const char* faultText(PositionFault fault);

ROTOR_BOARD_NAMESPACE_END
