// Time management: one clock, each protocol's rule for what a move may take,
// and the decisions a running search asks for (stop now; leave the next
// iteration out).
//
// The clock is the monotonic millisecond clock. Whole seconds, which the
// console prints and xboard's clock charges, are calendar seconds: the
// calendar is read once when a search starts, to place the second
// boundaries on that clock, and a span counts the boundaries it crosses.
//
// The rules are inputs to the search (TimeLimits): the console's
// whole-second limits as its settings give them, xboard's 40-move periods
// (PeriodClock, with the limit line the engine prints), and the UCI budget;
// the play search's soft and hard budget is here too (PlayBudget).
#pragma once
#include <cstdint>

constexpr int64_t NO_TIME_LIMIT = INT64_MAX;

// What one search may take.
struct TimeLimits {
    // The console's whole-second limits: the search stops after maxSeconds
    // while its iteration depth is at most minDepth and after minSeconds
    // once deeper, and leaves out an iteration predicted to overrun maxSeconds.
    int minSeconds;
    int maxSeconds;
    int minDepth;
    // A millisecond budget instead (xboard, UCI), when above 0: the search
    // stops on it alone; NO_TIME_LIMIT never stops.
    int64_t milliseconds;
    bool wholeSpan;   // the budget is used to its end: no iteration is left out as too slow
};

// No clock stop at all (the bench, searches to a fixed depth).
constexpr TimeLimits NO_TIME_LIMITS = {0, 0, 0, NO_TIME_LIMIT, true};

// ---------------------------------------------------------------- xboard

// xboard's clock: the time the interface reports, spread over periods of 40
// moves and kept in whole seconds, as the engine prints and charges it.
struct PeriodClock {
    int timePool = 300;                      // seconds, as last reported
    int64_t timePoolMilliseconds = 300000;   // the same, to the hundredth reported
    int periodPool = 0;                      // seconds left in the current period; may go negative
};

// The clock as the interface reports it, in hundredths of a second; a value
// that is not positive changes nothing.
void reportTime(PeriodClock& clock, int hundredths);

// Before an engine move, gameMoves into the game: the move's share of the
// period (refilled from the reported clock when a period begins), at least
// 3 seconds, and never more than what the reported clock affords. The
// whole-second limits are that share, for the time-limit line; the search
// stops on the millisecond budget.
TimeLimits allotPeriodTime(PeriodClock& clock, int gameMoves);

// After the move: the period is charged the whole seconds the search used,
// or maxSeconds when it used none.
void chargePeriodTime(PeriodClock& clock, int secondsUsed, int maxSeconds);

// ---------------------------------------------------------------- UCI

// Milliseconds a move may take of a clock: time left, increment and the
// moves to the next time control (0: none, the rest of the game), less the
// interface's overhead per move. Never less than a millisecond.
int64_t uciMoveBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead);

// The limits of "go" from the side to move's clock (timeLeft -1: none
// given), a fixed move time (-1: none; used to its end) and "infinite".
TimeLimits uciTimeLimits(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t moveTime,
                         int64_t overhead, bool infinite);

// The play search's budget (search/play.h) from the same clock figures: a
// soft budget (no new iteration past it, stretched or shortened by how
// settled the search is) and a hard bound that keeps the clock from falling.
struct PlayBudget {
    int64_t soft;
    int64_t hard;
};
PlayBudget playClockBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead);

// The share of the soft budget to use at the end of an iteration, in
// percent: less when the best move has stayed the same for a few iterations
// and the score is steady, more when it just changed or the score fell.
int playTimeScale(int stableIterations, int scoreDrop);

// ---------------------------------------------------------------- a running search

constexpr uint64_t NODES_PER_READING = 4096;

// The clock of one search, read every NODES_PER_READING nodes.
struct SearchClock {
    bool stop;                   // a limit was reached; stays set until the next start
    uint64_t nodes;              // nodes entered since the start
    int64_t startMilliseconds;   // the clock at the start
    int64_t calendarOffset;      // calendar milliseconds at the start, less the clock
    int startTime;               // calendar second at the start
    int lastTime;                // calendar second at the last reading
    // The last three iteration ends, oldest first: whole seconds (of the last
    // reading) and milliseconds since the start.
    int iterationSeconds[3];
    int64_t iterationMilliseconds[3];
};

// Monotonic milliseconds.
int64_t clockMilliseconds();

void startClock(SearchClock& clock);
// Milliseconds since the start.
int64_t elapsedMilliseconds(const SearchClock& clock);
// Whole seconds since the start, as of the last reading.
inline int secondsUsed(const SearchClock& clock) { return clock.lastTime - clock.startTime; }

// Takes a reading: whether the time is up at this iteration depth.
bool timeIsUp(SearchClock& clock, const TimeLimits& limits, int iterationDepth);

// At the end of an iteration: whether the next one is expected to overrun
// the limit (maxSeconds, or the millisecond budget unless the whole span is
// to be used), from the growth of the last three iteration ends. Predicted
// from depth 4 on.
void noteIterationEnd(SearchClock& clock);
bool nextIterationTooSlow(const SearchClock& clock, const TimeLimits& limits, int depth);
