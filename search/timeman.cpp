#include "search/timeman.h"

#include <algorithm>
#include <chrono>

namespace {

// ---------------------------------------------------------------- xboard

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

int64_t affordableMilliseconds(const PeriodClock& clock, int movesInPeriod) {
    const int64_t left = clock.timePoolMilliseconds;
    const int64_t share = left / (MOVES_PER_PERIOD - movesInPeriod);
    const int64_t reserve = std::min(left / 5, SAFETY_MARGIN_MS);
    return std::max(std::min(share, (left - reserve) / FEWEST_MOVES_PLANNED), MIN_MOVE_MS);
}

// ---------------------------------------------------------------- a running search

constexpr int FIRST_PREDICTED_DEPTH = 4;        // the prediction needs the two iterations before
constexpr int MIN_GROWTH = 2, MAX_GROWTH = 4;   // bounds of the predicted time factor

// The calendar second at a reading of the clock.
int calendarSecond(const SearchClock& clock, int64_t now) { return int((clock.calendarOffset + now) / 1000); }

// How much longer the next iteration is expected to take than the last one,
// from the growth between the last three iteration ends.
int64_t growthRatio(int64_t first, int64_t second, int64_t third) {
    const int64_t a = second - first;
    const int64_t b = third - second;
    return std::clamp<int64_t>(a > 0 && b > 0 ? b / a : 0, MIN_GROWTH, MAX_GROWTH);
}

}  // namespace

void reportTime(PeriodClock& clock, int hundredths) {
    if (hundredths <= 0) return;
    clock.timePool = hundredths / 100;
    clock.timePoolMilliseconds = int64_t(hundredths) * 10;
}

TimeLimits allotPeriodTime(PeriodClock& clock, int gameMoves) {
    // Whole moves played within the current period of 40.
    const int n = (gameMoves / 2) % MOVES_PER_PERIOD;
    if (n == 0) clock.periodPool = clock.timePool;
    const int limit = std::max(clock.periodPool / (MOVES_PER_PERIOD - n), MIN_MOVE_SECONDS);
    // The search stops on the millisecond clock, at the period's share or at
    // what the reported clock affords, whichever is less; the whole seconds
    // of that are the limit at any depth.
    const int64_t milliseconds = std::min(int64_t(limit) * 1000, affordableMilliseconds(clock, n));
    const int seconds = int(milliseconds / 1000);
    return TimeLimits{seconds, seconds, XBOARD_MIN_DEPTH, milliseconds, false};
}

void chargePeriodTime(PeriodClock& clock, int secondsUsed, int maxSeconds) {
    clock.periodPool -= secondsUsed > 0 ? secondsUsed : maxSeconds;
}

int64_t uciMoveBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead) {
    // A clock without a time control is shared over this many moves; with one,
    // at most over this many (and never spent beyond half of what is left).
    constexpr int64_t SUDDEN_DEATH_MOVES = 30;
    constexpr int64_t MOST_MOVES_PLANNED = 50;
    constexpr int64_t MIN_BUDGET = 1;
    const int64_t available = timeLeft - overhead;
    if (available <= MIN_BUDGET) return MIN_BUDGET;
    const int64_t moves = movesToGo > 0 ? std::min<int64_t>(movesToGo, MOST_MOVES_PLANNED) : SUDDEN_DEATH_MOVES;
    const int64_t budget = available / moves + increment * 3 / 4;
    return std::max(std::min(budget, available / 2), MIN_BUDGET);
}

TimeLimits uciTimeLimits(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t moveTime,
                         int64_t overhead, bool infinite) {
    TimeLimits limits = {0, 0, 0, NO_TIME_LIMIT, false};
    if (moveTime >= 0) {
        limits.milliseconds = std::max<int64_t>(moveTime - overhead, 1);
        limits.wholeSpan = true;   // the time is used up, not saved for later moves
    }
    if (timeLeft >= 0) {
        const int64_t budget = uciMoveBudget(timeLeft, increment, movesToGo, overhead);
        if (budget < limits.milliseconds) {
            limits.milliseconds = budget;
            limits.wholeSpan = false;
        }
    }
    if (infinite) limits.milliseconds = NO_TIME_LIMIT;
    return limits;
}

PlayBudget playClockBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead) {
    constexpr int64_t SUDDEN_DEATH_MOVES = 20;   // a clock without a time control is planned over this many moves
    constexpr int64_t MOST_MOVES_PLANNED = 50;
    constexpr int64_t INCREMENT_SHARE = 75;      // percent of the increment spent
    constexpr int64_t HARD_FACTOR = 5;           // the hard bound: this many soft budgets ...
    constexpr int64_t HARD_SHARE = 40;           // ... but never more than this percent of the clock
    constexpr int64_t MIN_BUDGET = 1;
    const int64_t available = timeLeft - overhead;
    if (available <= MIN_BUDGET) return {MIN_BUDGET, MIN_BUDGET};
    const int64_t moves = movesToGo > 0 ? std::min(movesToGo, MOST_MOVES_PLANNED) : SUDDEN_DEATH_MOVES;
    const int64_t soft = available / moves + increment * INCREMENT_SHARE / 100;
    const int64_t hard = std::max(std::min(soft * HARD_FACTOR, available * HARD_SHARE / 100), MIN_BUDGET);
    return {std::clamp(soft, MIN_BUDGET, hard), hard};
}

int playTimeScale(int stableIterations, int scoreDrop) {
    // Percent of the soft budget after which no new iteration starts. An
    // iteration takes about as long as all before it, so one started late
    // overruns the budget (the hard bound still holds); the games say the
    // deeper move is worth that more often than not.
    constexpr int BASE = 85;
    int scale = stableIterations >= 4 ? BASE * 6 / 10 : stableIterations >= 2 ? BASE * 8 / 10 : stableIterations == 0 ? BASE * 14 / 10 : BASE;
    if (scoreDrop > 60) scale = scale * 17 / 10;
    else if (scoreDrop > 20) scale = scale * 13 / 10;
    return scale;
}

int64_t clockMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

void startClock(SearchClock& clock) {
    clock = SearchClock{};
    clock.startMilliseconds = clockMilliseconds();
    const auto calendar = std::chrono::system_clock::now().time_since_epoch();
    clock.calendarOffset =
        std::chrono::duration_cast<std::chrono::milliseconds>(calendar).count() - clock.startMilliseconds;
    clock.startTime = clock.lastTime = calendarSecond(clock, clock.startMilliseconds);
}

int64_t elapsedMilliseconds(const SearchClock& clock) { return clockMilliseconds() - clock.startMilliseconds; }

bool timeIsUp(SearchClock& clock, const TimeLimits& limits, int iterationDepth) {
    const int64_t now = clockMilliseconds();
    clock.lastTime = calendarSecond(clock, now);
    if (limits.milliseconds > 0) return now - clock.startMilliseconds >= limits.milliseconds;
    const int limit = iterationDepth <= limits.minDepth ? limits.maxSeconds : limits.minSeconds;
    return secondsUsed(clock) >= limit;
}

void noteIterationEnd(SearchClock& clock) {
    for (int i = 0; i < 2; ++i) {
        clock.iterationSeconds[i] = clock.iterationSeconds[i + 1];
        clock.iterationMilliseconds[i] = clock.iterationMilliseconds[i + 1];
    }
    clock.iterationSeconds[2] = secondsUsed(clock);
    clock.iterationMilliseconds[2] = elapsedMilliseconds(clock);
}

bool nextIterationTooSlow(const SearchClock& clock, const TimeLimits& limits, int depth) {
    if (depth < FIRST_PREDICTED_DEPTH) return false;
    if (limits.milliseconds > 0) {
        if (limits.wholeSpan) return false;
        const int64_t* ms = clock.iterationMilliseconds;
        // elapsed * ratio > limit, without overflow
        return ms[2] > limits.milliseconds / growthRatio(ms[0], ms[1], ms[2]);
    }
    const int* s = clock.iterationSeconds;
    return int64_t(secondsUsed(clock)) * growthRatio(s[0], s[1], s[2]) > limits.maxSeconds;
}
