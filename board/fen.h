// Positions and moves from text, for the developer tools and the tests: a FEN
// reader that builds the position through placePiece, and coordinate moves
// (e2e4, e7e8n, castling as the king's move e1g1) matched against the legal
// moves. The command loop reads moves through app/notation instead.
#pragma once
#include <string>

#include "board/move.h"

// Sets up a FEN: placement, side to move, castling rights and en passant
// square; the move counters, when present, are ignored. Missing fields default
// to "w - -". Castling rights map onto the counters: a side with neither right
// gets kingMoved = 1, one without the long right leftRookMoved = 1, one
// without the short right rightRookMoved = 1. An en passant square is realised
// by taking the double step back and playing it with playMove, so that the
// last move carries it; otherwise the game history is empty. Returns false
// for text it cannot read (the Board is then undefined, call newGame).
bool setPosition(const std::string& fen);

// Coordinate text of a move: e2e4, e7e8q, e1g1 for castling.
std::string coordinateText(Move m);

// The legal move of the current position (board.ply's list is used) with this
// coordinate text, or 0. Rook and bishop promotions, which the generators do
// not make, are the queen promotion's word with the piece replaced.
Move findMove(const std::string& text);

// Plays coordinate moves separated by blanks with playMove; false at the
// first one that is not legal or does not fit the game record.
bool playMoves(const std::string& moves);
