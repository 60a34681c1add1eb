// Sets up test positions on the global Board through placePiece, so that
// every running sum (key, material, piece-square sum) stays right.
#pragma once
#include <string>

#include "board/move.h"

// A FEN: placement, side to move, castling rights (mapped onto the castling
// counters) and an en passant square (realised by replaying the double step,
// so that the last move carries it). Missing fields default to "w - -".
// Returns false for text it cannot read. The game history is empty unless an
// en passant square was given (then it holds the double step).
bool setPosition(const std::string& fen);

// The legal move of the current position with this coordinate text (e2e4,
// e7e8n, e1g1), or 0.
Move findMove(const std::string& text);

// Plays a list of coordinate moves separated by blanks; false on the first
// move that is not legal.
bool playMoves(const std::string& moves);

// Coordinate text of a move (e2e4, e7e8q, e1g1 for castling).
std::string coordinateText(Move m);
