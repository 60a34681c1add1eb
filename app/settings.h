// Setting the search limits and the xboard clock.
//
// The search's Settings (search/search.h) are set by console commands
// (through setTimeLimits, with its floors), overwritten before every engine
// move in xboard mode (allotMoveTime), and saved and restored around a TEACH run.
#pragma once
#include <cstdint>

#include "search/search.h"
extern int timePool;     // engine's remaining clock in seconds, as reported by TIME
extern int periodPool;   // seconds left in the current 40-move period (may go negative)
extern int64_t timePoolMilliseconds;   // the same clock as timePool, to the hundredth reported

// The engine's clock as the interface reports it with TIME, in hundredths of
// a second; a value that is not positive changes nothing.
void setReportedTime(int hundredths);

void setTimeLimits(int minTime, int maxTime, int minDepth);
// Before an engine move in xboard mode: the limits of the move, in whole
// seconds for the settings and the time-limit line, and in milliseconds
// (allottedMilliseconds) for the search's millisecond clock.
void allotMoveTime();
extern int64_t allottedMilliseconds;
void chargeMoveTime();
