// Engine settings and the xboard clock.
//
// The Settings are set by console commands (through setTimeLimits, with its
// floors), overwritten before every engine move in xboard mode
// (allotMoveTime), and saved and restored around a TEACH run.
#pragma once

struct Settings {
    int MIN_TIME;    // seconds: search budget once deeper than MIN_DEPTH
    int MAX_TIME;    // seconds: search budget up to MIN_DEPTH
    int MIN_DEPTH;   // plies
    int USELIB;      // 1: the root may take its move from the opening book
    int USETEACH;    // 1: the search consults the teach table
};

extern Settings settings;
extern int timePool;     // engine's remaining clock in seconds, as reported by TIME
extern int periodPool;   // seconds left in the current 40-move period (may go negative)

void setTimeLimits(int minTime, int maxTime, int minDepth);
void allotMoveTime();
void chargeMoveTime();
