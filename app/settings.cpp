#include "app/settings.h"

#include <algorithm>
#include <cstdio>

#include "board/makemove.h"

int timePool = 300;
int periodPool = 0;
int64_t timePoolMilliseconds = 300 * 1000;
int64_t allottedMilliseconds = 0;

namespace {

constexpr int MOVES_PER_PERIOD = 40;
constexpr int MIN_MOVE_SECONDS = 3;     // the floor of a move's limit, where the clock affords it
constexpr int XBOARD_MIN_DEPTH = 14;
// What the reported clock affords a move: its share of the clock over the
// moves left in the period, and never more than an eighth of what is left
// after a margin for the interface's own delays, as the interface may not
// refill the clock after the period (sudden death).
constexpr int64_t SAFETY_MARGIN_MS = 500;   // at most; a fifth of the clock when it is low
constexpr int64_t FEWEST_MOVES_PLANNED = 8;
constexpr int64_t MIN_MOVE_MS = 10;

int64_t affordableMilliseconds(int movesInPeriod) {
    const int64_t clock = timePoolMilliseconds;
    const int64_t share = clock / (MOVES_PER_PERIOD - movesInPeriod);
    const int64_t reserve = std::min(clock / 5, SAFETY_MARGIN_MS);
    return std::max(std::min(share, (clock - reserve) / FEWEST_MOVES_PLANNED), MIN_MOVE_MS);
}

}  // namespace

void setReportedTime(int hundredths) {
    if (hundredths <= 0) return;
    timePool = hundredths / 100;
    timePoolMilliseconds = int64_t(hundredths) * 10;
}

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
    const int n = (gameRecord.count / 2) % MOVES_PER_PERIOD;
    if (n == 0) periodPool = timePool;
    int limit = periodPool / (MOVES_PER_PERIOD - n);
    if (limit < MIN_MOVE_SECONDS) limit = MIN_MOVE_SECONDS;
    // The search stops on the millisecond clock, at the period's share or at
    // what the reported clock affords, whichever is less.
    const int64_t milliseconds = std::min(int64_t(limit) * 1000, affordableMilliseconds(n));
    allottedMilliseconds = milliseconds;
    // Set directly: below the console floor, and equal, so one budget applies at any depth.
    settings.MAX_TIME = int(milliseconds / 1000);
    settings.MIN_TIME = settings.MAX_TIME;
    settings.MIN_DEPTH = XBOARD_MIN_DEPTH;
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
