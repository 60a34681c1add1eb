// The command loop of the console and xboard: lines read in pieces, split
// into a command word and its arguments, and run through the command table;
// a word that is no command is a typed move.
#pragma once
#include <cstdio>

// Reads command lines (in pieces of at most 254 characters) until QUIT or
// end of input.
void runCommandLoop(FILE* in);

// Dispatches one command line as read from input (upper-casing included):
// the command of its word, else a typed move. Returns false when the line
// ends the loop (QUIT).
bool executeCommandLine(const char* line);

// The help text, built from the command table.
void printHelp(FILE* out);
