#include "app/settings.h"

#include <cstdio>

#include "board/makemove.h"

int timePool = 300;
int periodPool = 0;

void setTimeLimits(int minTime, int maxTime, int minDepth) {
    settings.MIN_TIME = minTime;
    settings.MAX_TIME = maxTime;
    settings.MIN_DEPTH = minDepth;
    if (settings.MIN_TIME < 5) settings.MIN_TIME = 5;
    if (settings.MAX_TIME < settings.MIN_TIME) settings.MAX_TIME = settings.MIN_TIME;
    if (settings.MIN_DEPTH < 6) settings.MIN_DEPTH = 6;
}

void allotMoveTime() {
    // Whole moves played within the current period of 40.
    const int n = (history.count / 2) % 40;
    if (n == 0) periodPool = timePool;
    int limit = periodPool / (40 - n);
    if (limit < 3) limit = 3;
    // Set directly: below the console floor, and equal, so one budget applies at any depth.
    settings.MAX_TIME = limit;
    settings.MIN_TIME = limit;
    settings.MIN_DEPTH = 14;
    std::printf("# time limit: %d, pool: %d\n", settings.MAX_TIME, periodPool);
    std::fflush(stdout);
}

void chargeMoveTime() {
    const int used = searchClock.lastTime - searchClock.startTime;
    if (used > 0)
        periodPool -= used;
    else
        periodPool -= settings.MAX_TIME;
}
