// Move text in and out. Every text given to the readers is upper case.
//
// Three forms are read: the castling words O-O and O-O-O, the coordinate
// form (E2E4, E7E8N) matched against the pseudo-legal moves, and a pattern
// form (NF3, EXD5, E7-E8Q) matched against the legal moves. Moves are
// printed in lower-case coordinates, castling as "o-o" / "o-o-o".
#pragma once
#include "board/move.h"

bool parseMove(const char* text, Move& move);
bool parsePatternMove(const char* text, Move& move);

// Writes at most 5 characters and a terminator into text (room for 6).
bool formatMove(Move move, char* text);

// "o-o-o" for long castling, "o-o" for short castling, nullptr for any other move.
const char* castlingText(Move move);
