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

// After a save that failed (errno tells why): the old file is kept, and the
// user is told on standard error.
void reportSaveFailure(const std::string& path);

// A new game: the initial position and an empty transposition table.
void startGame();

// Runs the engine from start-up to shutdown; returns the exit status.
int runEngine(int argc, char** argv);

// Reads command lines (in pieces of at most 254 characters) until QUIT or
// end of input.
void runCommandLoop(FILE* in);

// A command line, upper-cased and split: the command word (the first
// whitespace-delimited token), the argument text (what follows the blanks
// after the word, up to the line end; the whole line when nothing follows)
// and the first integer of the argument text (0 when there is none).
struct CommandLine {
    std::string word;
    std::string args;
    int number = 0;
};
CommandLine splitCommandLine(const char* line);

enum CommandResult {
    DONE,       // the word was a command and is done
    NOT_HERE,   // not a command in this position: the word is read as a move
    END_LOOP,   // the loop ends (QUIT)
};

// One entry of the command table: the word, its handler and its help line
// (nullptr for the words the help does not show).
struct Command {
    const char* word;
    CommandResult (*run)(const CommandLine&);
    const char* help;
};

// Dispatches one command line as read from input (upper-casing included):
// the command of its word, else a typed move. Returns false when the line
// ends the loop (QUIT).
bool executeCommandLine(const char* line);

// The help text, built from the command table.
void printHelp(FILE* out);

// The self-check run before every typed move.
void verifyMoveGeneration();

// Searches and plays the engine's move, printing "move ..." or the error.
void playEngineMove();
