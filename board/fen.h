// Positions from text: a FEN reader that builds the position through
// placePiece (moves in text are board/notation's).
#pragma once
#include <string>

#include "board/move.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

// Sets up a FEN: placement, side to move, castling rights and en passant
// square; the move counters, when present, are ignored. Missing fields default
// to "w - -". Castling rights map onto the counters: a side with neither right
// gets kingMoved = 1, one without the long right leftRookMoved = 1, one
// without the short right rightRookMoved = 1. An en passant square is realised
// by taking the double step back and playing it with playMove, so that the
// last move carries it; otherwise the game record is empty. Returns false
// for text it cannot read (the Board is then undefined, call newGame).
bool setPosition(const std::string& fen);

ROTOR_BOARD_NAMESPACE_END
