// Game records: the saved game (lastgame.dat: a comment line, a position
// block and the game listing) and the position text of the POSITION command.
#pragma once
#include <cstdio>
#include <string>

#include "board/move.h"

bool saveGame(const char* path);
bool loadGame(const char* path);

// currentOnly: the current position; otherwise the position at the start of
// the game record (the Board is left as it was).
void writePosition(FILE* out, bool currentOnly);
bool readPosition(FILE* in);

// Next data line (comments and blank lines skipped), upper-cased, without
// its line end. False at end of file.
bool readDataLine(FILE* in, std::string& line);

// The next field of a data line from pos on, strtok-like: leading
// delimiters are skipped, and the delimiter that ends the field is consumed.
// Empty when the line has no further field.
std::string nextField(const std::string& line, size_t& pos, const char* delimiters);

std::string squareName(int square);
int parseSquareName(const std::string& text);   // -1 when refused

void writeMoveList(FILE* out);
bool readMoveList(FILE* in);
// Writes at most 7 characters and a terminator into text (room for 8).
bool listingMoveText(Move move, bool check, int piece, bool mate, char* text);
