// Counting the legal move tree (perft), the check of move generation against
// known node counts. It walks the tree the way the search does: one list per
// ply on the move stack, each move of the line made with pushMove (recorded
// so that lastMove() sees it). A move is legal when the mover's king is not
// attacked after it; at the leaves the moves are only made and taken back.
// Promotions count as the engine generates them: queen and knight only.
#pragma once
#include <cstdint>

#include "board/move.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

// Leaf nodes of the tree depth plies below the current position (1 at depth
// 0), using the move stack from board.ply on; no list is generated at ply 59
// or deeper, so board.ply + depth should stay below 60.
uint64_t perft(int depth);

// The legal moves of the current position in generation order, written to
// moves (room for 256); returns their number.
int legalMoves(Move* moves);

ROTOR_BOARD_NAMESPACE_END
