// The engine's settings as the commands set them, the xboard clock, and the
// search requests built from them.
//
// The console commands set the time limits (through setTimeLimits, with its
// floors) and the switches; in xboard mode every engine move overwrites the
// time limits with the move's allotment from the clock (allotMoveTime). The
// UCI options OwnBook and Learning set the switches.
#pragma once
#include "search/search.h"
#include "search/timeman.h"

struct Settings {
    int minTime = 5;      // seconds: the search's budget once deeper than minDepth (MIN_TIME)
    int maxTime = 15;     // seconds: its budget up to minDepth (MAX_TIME)
    int minDepth = 8;     // plies (MIN_DEPTH)
    bool useBook = true;       // USELIB / NOTLIB: the engine may take its move from the opening book
    bool useTeach = true;      // USETEACH / NOTTEACH: the search consults the teach table
    bool recordTeach = true;   // results are learned, and the table saved at the end; off with UCI Learning
    int maxDepth = MAX_ITERATION_DEPTH;   // deepest iteration of an engine move: no command changes it, tools lower it
};

extern Settings settings;
extern PeriodClock xboardClock;   // set by TIME, spent by the engine's moves in xboard mode

void setTimeLimits(int minTime, int maxTime, int minDepth);

// The request the settings make: their time limits, switches and depth cap,
// with the given reporter. An engine move at the console is searched with it
// as it is; xboard, TEACH and UCI replace the limits.
SearchRequest settingsRequest(const SearchReporter& reporter);

// Before an engine move in xboard mode: the move's limits from the clock.
// They overwrite the settings' time limits and are announced in the
// time-limit line.
TimeLimits allotMoveTime();
// After it: the whole seconds the search used are charged to the period.
void chargeMoveTime();
