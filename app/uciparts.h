// What the files of UCI mode share. The loop (uci.cpp) reads the commands;
// each of the others does one thing: the options (ucioptions.cpp), setting up
// the position and replaying lines on it (uciposition.cpp), the search
// reports as info text (ucireport.cpp), listening while the engine thinks
// (ucilisten.cpp), the search itself (ucigo.cpp) and the bench (ucibench.cpp).
#pragma once
#include <string>

#include "app/words.h"
#include "board/move.h"
#include "search/search.h"

// One protocol line on standard output, flushed at once: the interface may be
// waiting for it.
[[gnu::format(printf, 1, 2)]] void send(const char* format, ...);

// ---------------------------------------------------------------- options

extern int moveOverhead;   // milliseconds the interface and the pipes take per move
extern bool selectiveSearch;   // "go" runs the play search (search/play.h), not the console's
void printOptions();
void setOptionCommand(const Words& words);

// ---------------------------------------------------------------- position

extern Words lastPosition;   // the last position that was set up
bool setUpPosition(const Words& words, std::string& reason);
void positionCommand(const Words& words);

// The line of the last report, as far as it is legal.
extern Move shownPv[MAX_PLY];
extern int shownPvLength;
void takeLegalLine(const Move* pv, int length);

// ---------------------------------------------------------------- reports

extern const SearchReporter UCI_REPORTER;
extern Move currentRootMove;       // the fixed search's root move being searched, and its number
extern int currentRootMoveNumber;

// The score as UCI shows it, into text: "cp N", or "mate N" in moves
// (negative when the side to move is mated). The engine's score of a mate
// given with the side's own n-th move is MATE_SCORE - 2n (the king capture
// that follows at ply 2n); of a mate taken with the opponent's n-th move,
// -(MATE_SCORE - 2n - 1).
void uciScore(int score, char* text, size_t size);

// ---------------------------------------------------------------- listening

extern bool thinkingInfinite;   // "go infinite" or "go ponder": the move waits for "stop" (or "ponderhit")
extern bool pondering;          // "go ponder" until "ponderhit"
extern bool fixedSearch;        // a depth, node, mate or move-time search: end of input lets it finish
extern bool stopHeard;          // the search was told to end
bool uciInputWaiting();
std::string waitForStop();

// ---------------------------------------------------------------- commands

extern int multiPv;   // lines the play search reports (MultiPV)
std::string goCommand(const Words& words);
void ponderHit();
void benchCommand(const Words& words);
