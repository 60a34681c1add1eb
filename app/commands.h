// The command loop of the console and xboard: lines read in pieces, split
// into a command word and its arguments, and run through the command table;
// a word that is no command is a typed move.
#pragma once
#include <cstdio>
#include <string>

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
