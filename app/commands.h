// The command loop: start-up, the command table, the console and xboard
// reply rules, and shutdown.
#pragma once
#include <cstdio>
#include <string>

extern std::string programDir;   // prefix of every data file name
extern int xboardMode;           // 1 after XBOARD
extern int engineColour;         // the colour the engine plays in xboard mode

// Directory part of the program path: up to the last '/', else the last '\'.
std::string programDirectory(const char* programPath);
std::string joinPath(const std::string& name);

// A new game: the initial position and an empty transposition table.
void startGame();

// Runs the engine from start-up to shutdown; returns the exit status.
int runEngine(int argc, char** argv);

// Reads command lines (in pieces of at most 254 characters) until QUIT or
// end of input.
void runCommandLoop(FILE* in);

// Executes one command line as read from input (upper-casing included).
// Returns false when the line ends the loop (QUIT).
bool executeCommandLine(const char* line);

// The self-check run before every typed move.
void verifyMoveGeneration();

// Searches and plays the engine's move, printing "move ..." or the error.
void playEngineMove();
