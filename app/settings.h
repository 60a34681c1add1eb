// Setting the search limits and the xboard clock.
//
// The search's Settings (search/search.h) are set by console commands
// (through setTimeLimits, with its floors), overwritten before every engine
// move in xboard mode (allotMoveTime), and saved and restored around a TEACH run.
#pragma once
#include "search/search.h"
extern int timePool;     // engine's remaining clock in seconds, as reported by TIME
extern int periodPool;   // seconds left in the current 40-move period (may go negative)

void setTimeLimits(int minTime, int maxTime, int minDepth);
void allotMoveTime();
void chargeMoveTime();
