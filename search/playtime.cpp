// The play search's clock rule: how much of the clock a move may take, and
// how the share of it used depends on how settled the search is.
#include <algorithm>

#include "search/play.h"

namespace {

constexpr int64_t SUDDEN_DEATH_MOVES = 20;   // a clock without a time control is planned over this many moves
constexpr int64_t MOST_MOVES_PLANNED = 50;
constexpr int64_t INCREMENT_SHARE = 75;      // percent of the increment spent
constexpr int64_t HARD_FACTOR = 5;           // the hard bound: this many soft budgets ...
constexpr int64_t HARD_SHARE = 40;           // ... but never more than this percent of the clock
constexpr int64_t MIN_BUDGET = 1;

}  // namespace

PlayBudget playClockBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead) {
    const int64_t available = timeLeft - overhead;
    if (available <= MIN_BUDGET) return {MIN_BUDGET, MIN_BUDGET};
    const int64_t moves = movesToGo > 0 ? std::min(movesToGo, MOST_MOVES_PLANNED) : SUDDEN_DEATH_MOVES;
    const int64_t soft = available / moves + increment * INCREMENT_SHARE / 100;
    const int64_t hard = std::max(std::min(soft * HARD_FACTOR, available * HARD_SHARE / 100), MIN_BUDGET);
    return {std::clamp(soft, MIN_BUDGET, hard), hard};
}

int playTimeScale(int stableIterations, int scoreDrop) {
    // Percent of the soft budget after which no new iteration starts: an
    // iteration takes about as long as all before it, so starting one past
    // half the budget would mostly overrun it.
    constexpr int BASE = 55;
    int scale = stableIterations >= 4 ? BASE * 6 / 10 : stableIterations >= 2 ? BASE * 8 / 10 : stableIterations == 0 ? BASE * 14 / 10 : BASE;
    if (scoreDrop > 60) scale = scale * 17 / 10;
    else if (scoreDrop > 20) scale = scale * 13 / 10;
    return scale;
}
