// Move text in and out: one reader and one writer, in the console's and
// UCI's dialects.
//
// The reader takes three forms. The castling words O-O and O-O-O and the
// coordinate form (E2E4, E7E8N) are matched against the generated moves by
// their squares; the pattern form (NF3, EXD5, E7-E8Q) against the legal
// moves. The console's text is upper case and takes every form: a coordinate
// move may expose its own king (the move is refused when played), and text
// after a non-promoting coordinate move is ignored. UCI's text is the exact,
// lower-case coordinate form (e2e4, e7e8n, castling as the king's move e1g1)
// of a legal move. No reader hands out a move that takes a king, except
// UCI's in a position where the king stands attacked (its callers refuse
// such positions).
//
// The writer gives the coordinate form in lower case: castling as the
// king's move for UCI, as "o-o" / "o-o-o" for the console.
#pragma once
#include <string>

#include "board/move.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

// The console's reader: every form, upper case.
bool parseMove(const char* text, Move& move);
bool parsePatternMove(const char* text, Move& move);

// UCI's reader: the legal move of the current position (board.ply's list is
// used) with this coordinate text, or 0. Rook and bishop promotions, which
// the generators do not make, are the queen promotion's word with the piece
// replaced.
Move findMove(const std::string& text);

// Plays coordinate moves separated by blanks with playMove; false at the
// first one that is not legal or does not fit the game record.
bool playMoves(const std::string& moves);

// Coordinate text of a move: e2e4, e7e8q, e1g1 for castling.
std::string coordinateText(Move m);

// The console's text: as coordinateText, castling as "o-o-o" / "o-o". Writes
// at most 5 characters and a terminator into text (room for 6); false (with
// the squares written) for a promotion to no piece that can be promoted to.
bool formatMove(Move move, char* text);

// "o-o-o" for long castling, "o-o" for short castling, nullptr for any other move.
const char* castlingText(Move move);

ROTOR_BOARD_NAMESPACE_END
