// UCI "go": the search under the limits given, answered with "bestmove".
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/input.h"
#include "app/uci.h"
#include "app/uciparts.h"
#include "board/board.h"
#include "board/notation.h"
#include "knowledge/knowledge.h"
#include "search/play.h"
#include "search/search.h"

namespace {

struct GoLimits {
    int64_t milliseconds = NO_TIME_LIMIT;
    bool wholeSpan = false;   // movetime: the time is used up, not saved for later moves
    uint64_t nodes = 0;
    int depth = MAX_ITERATION_DEPTH;
    bool infinite = false;
    int64_t clockLeft = -1, increment = 0, movesToGo = 0, moveTime = -1;   // as given, for the side to move
};

// The words after "go". Unknown words and "ponder" are passed over.
GoLimits readGoLimits(const Words& words) {
    int64_t clock[2] = {-1, -1}, increment[2] = {0, 0}, movesToGo = 0, moveTime = -1;
    GoLimits limits;
    constexpr int64_t BIG = int64_t(1) << 50;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string key = lowerCase(words[i]);
        if (key == "infinite") {
            limits.infinite = true;
            continue;
        }
        int64_t value = 0;
        const bool number = i + 1 < words.size() && readNumber(words[i + 1], -BIG, BIG, value);
        if (!number) continue;
        const int64_t positive = std::max<int64_t>(value, 0);
        if (key == "wtime") clock[WHITE] = positive;
        else if (key == "btime") clock[BLACK] = positive;
        else if (key == "winc") increment[WHITE] = positive;
        else if (key == "binc") increment[BLACK] = positive;
        else if (key == "movestogo") movesToGo = positive;
        else if (key == "movetime") moveTime = positive;
        else if (key == "depth") limits.depth = int(std::clamp<int64_t>(value, 1, MAX_ITERATION_DEPTH));
        else if (key == "nodes") limits.nodes = uint64_t(std::max<int64_t>(value, 1));
        else continue;
        ++i;
    }
    const int side = board.sideToMove;
    limits.clockLeft = clock[side];
    limits.increment = increment[side];
    limits.movesToGo = movesToGo;
    limits.moveTime = moveTime;
    if (moveTime >= 0) {
        limits.milliseconds = std::max<int64_t>(moveTime - moveOverhead, 1);
        limits.wholeSpan = true;
    }
    if (clock[side] >= 0) {
        const int64_t budget = clockMoveBudget(clock[side], increment[side], movesToGo, moveOverhead);
        if (budget < limits.milliseconds) {
            limits.milliseconds = budget;
            limits.wholeSpan = false;
        }
    }
    if (limits.infinite) limits.milliseconds = NO_TIME_LIMIT;
    return limits;
}

// ---------------------------------------------------------------- the play search

void printPlayLine(const PlayLineReport& r) {
    constexpr int MOVE_TEXT = 6;   // " e7e8q"
    char line[192 + PLAY_MAX_PLY * MOVE_TEXT];
    char score[24];
    uciScore(r.score, score, sizeof(score));
    const char* bound = r.bound == PLAY_LOWER ? " lowerbound" : r.bound == PLAY_UPPER ? " upperbound" : "";
    const uint64_t rate = r.milliseconds > 0 ? r.nodes * 1000 / uint64_t(r.milliseconds) : 0;
    int length = std::snprintf(line, sizeof(line),
                               "info depth %d seldepth %d multipv %d score %s%s nodes %llu nps %llu hashfull %d "
                               "time %lld pv",
                               r.depth, r.selDepth, r.line, score, bound, (unsigned long long)r.nodes,
                               (unsigned long long)rate, r.hashfull, (long long)r.milliseconds);
    for (int i = 0; i < r.pvLength && i < PLAY_MAX_PLY; ++i)
        length += std::snprintf(line + length, sizeof(line) - size_t(length), " %s", coordinateText(r.pv[i]).c_str());
    send("%s", line);
}

bool playInputWaiting() { return uciInputWaiting() || terminationRequested; }

// The play search's request from the limits of "go": the clock's soft and
// hard budgets, a move time used to its end, or no time limit.
PlayRequest playRequest(const GoLimits& limits) {
    PlayRequest request;
    request.limits.depth = std::min(limits.depth, maxIterationDepth);
    request.limits.nodes = limits.nodes;
    if (limits.infinite) return request;
    if (limits.clockLeft >= 0) {
        const PlayBudget budget = playClockBudget(limits.clockLeft, limits.increment, limits.movesToGo, moveOverhead);
        request.limits.softMilliseconds = budget.soft;
        request.limits.hardMilliseconds = budget.hard;
    }
    if (limits.moveTime >= 0) {
        const int64_t span = std::max<int64_t>(limits.moveTime - moveOverhead, 1);
        if (span < request.limits.hardMilliseconds) {
            request.limits.softMilliseconds = request.limits.hardMilliseconds = span;
            request.limits.wholeSpan = true;
        }
    }
    return request;
}

// The play search's "go": the book's move when OwnBook is on and it has one.
std::string playGoCommand(const GoLimits& limits) {
    thinkingInfinite = limits.infinite;
    stopHeard = false;
    markThinkingStart();
    Move move = settings.USELIB ? bookMove() : 0;
    if (move == 0 && isRepetition() && UCI_REPORTER.rootRepeated) UCI_REPORTER.rootRepeated();
    if (move == 0) {
        PlayControl control;
        control.inputWaiting = playInputWaiting;
        move = playSearch(playRequest(limits), control, PlayReporter{printPlayLine}).best;
    }
    std::string next;
    if (limits.infinite && !stopHeard) next = waitForStop();
    thinkingInfinite = false;
    send("bestmove %s", move != 0 ? coordinateText(move).c_str() : "0000");
    return next;
}

}  // namespace

// Searches the position under the limits and answers "bestmove"; returns
// the line that ended an infinite search's wait, if any.
std::string goCommand(const Words& words) {
    const GoLimits limits = readGoLimits(words);
    if (selectiveSearch) return playGoCommand(limits);
    thinkingInfinite = limits.infinite;
    stopHeard = false;
    markThinkingStart();
    shownPvLength = 0;
    searchLimits = SearchLimits{limits.milliseconds, limits.nodes, uciInputWaiting, limits.wholeSpan};
    // The first iteration is of depth 2: depth 1 is searched as 2. No deeper
    // than a tool (the fuzzer) may have set.
    const int deepest = maxIterationDepth;
    maxIterationDepth = std::max(std::min(limits.depth, deepest), 2);
    Move move = 0;
    const bool found = searchRoot(&move);
    searchLimits = SearchLimits{};
    maxIterationDepth = deepest;
    std::string next;
    if (limits.infinite && !stopHeard) next = waitForStop();
    thinkingInfinite = false;
    send("bestmove %s", found && move != 0 ? coordinateText(move).c_str() : "0000");
    return next;
}

int64_t clockMoveBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead) {
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
