// Placeholder until the move reader lands.
#include "app/notation.h"

bool parseMove(const char*, Move& move) { move = 0; return false; }
bool parsePatternMove(const char*, Move& move) { move = 0; return false; }
void generateLegalMoves() {}
bool formatMove(Move, char* text) { text[0] = 0; return false; }
