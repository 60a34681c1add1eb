// UCI "go": the search under the limits given, answered with "bestmove".
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/settings.h"
#include "app/uci.h"
#include "app/uciparts.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "knowledge/knowledge.h"
#include "search/play.h"
#include "search/search.h"
#include "search/state.h"

namespace {

struct GoLimits {
    TimeLimits time = NO_TIME_LIMITS;
    uint64_t nodes = 0;
    int depth = MAX_ITERATION_DEPTH;
    bool infinite = false;
    bool ponder = false;      // no time limit until "ponderhit"
    bool fixed = false;       // a depth, node, mate or move-time search: it runs to its end
    bool analysis = false;    // an interface's analysis: never answered from the book
    std::vector<Move> searchMoves;   // the root moves allowed; empty: all
    int64_t clockLeft = -1, increment = 0, movesToGo = 0, moveTime = -1;   // as given, for the side to move
};

// A mate in n moves is looked for this many plies deep per move.
constexpr int MATE_PLIES_PER_MOVE = 4;

// The words after "go". Unknown words are passed over; "searchmoves" takes
// the legal moves that follow it.
GoLimits readGoLimits(const Words& words) {
    int64_t clock[2] = {-1, -1}, increment[2] = {0, 0}, movesToGo = 0, moveTime = -1;
    bool clockGiven = false;
    GoLimits limits;
    constexpr int64_t BIG = int64_t(1) << 50;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string key = lowerCase(words[i]);
        if (key == "infinite" || key == "ponder") {
            (key == "ponder" ? limits.ponder : limits.infinite) = true;
            continue;
        }
        if (key == "searchmoves") {
            for (Move m; i + 1 < words.size() && (m = findMove(lowerCase(words[i + 1]))) != 0; ++i)
                limits.searchMoves.push_back(m);
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
        else if (key == "mate") limits.depth = int(std::clamp<int64_t>(value * MATE_PLIES_PER_MOVE, 2, MAX_ITERATION_DEPTH));
        else continue;
        clockGiven |= key == "wtime" || key == "btime" || key == "winc" || key == "binc" || key == "movestogo";
        limits.fixed |= key == "depth" || key == "nodes" || key == "mate" || key == "movetime";
        limits.analysis |= key == "depth" || key == "nodes" || key == "mate";
        ++i;
    }
    const int side = board.sideToMove;
    // A clock for the other side only: the side to move has no time to think.
    if (clockGiven && clock[side] < 0) clock[side] = 0;
    limits.clockLeft = clock[side];
    limits.increment = increment[side];
    limits.movesToGo = movesToGo;
    limits.moveTime = moveTime;
    limits.time = uciTimeLimits(clock[side], increment[side], movesToGo, moveTime, moveOverhead, limits.infinite);
    limits.analysis |= limits.infinite || limits.ponder || !limits.searchMoves.empty() || multiPv > 1;
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

// The search that runs, for "ponderhit": the play search's control, or the
// limits the fixed search takes on from then.
PlayControl* runningControl = nullptr;
GoLimits runningLimits;

// At least once a second: where the search stands.
void printProgress(int depth, Move move, int number, uint64_t nodes, int64_t milliseconds) {
    const uint64_t rate = milliseconds > 0 ? nodes * 1000 / uint64_t(milliseconds) : 0;
    send("info depth %d currmove %s currmovenumber %d nodes %llu nps %llu time %lld", depth,
         coordinateText(move).c_str(), number, (unsigned long long)nodes, (unsigned long long)rate,
         (long long)milliseconds);
}

void printPlayProgress(const PlayProgress& p) {
    if (p.move != 0) printProgress(p.depth, p.move, p.moveNumber, p.nodes, p.milliseconds);
}

// The fixed search's look at the input, with its progress at most once a second.
int64_t lastProgress = 0;
bool fixedInputWaiting() {
    const SearchState& s = searchState;
    const int64_t now = elapsedMilliseconds(s.clock);
    if (now - lastProgress >= PLAY_PROGRESS_INTERVAL && currentRootMove != 0) {
        lastProgress = now;
        printProgress(s.iterationDepth, currentRootMove, currentRootMoveNumber, s.clock.nodes, now);
    }
    return uciInputWaiting();
}

bool playInputWaiting() { return uciInputWaiting() || terminationRequested; }

// The play search's request from the limits of "go": the clock's soft and
// hard budgets, a move time used to its end, or no time limit.
PlayRequest playRequest(const GoLimits& limits) {
    PlayRequest request;
    request.limits.depth = std::min(limits.depth, settings.maxDepth);
    request.limits.nodes = limits.nodes;
    request.searchMoves = limits.searchMoves.data();
    request.searchMoveCount = int(limits.searchMoves.size());
    request.lines = multiPv;
    request.reversiblePliesBefore = gameRecord.reversibleBefore;
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

// A move played without a search of its own (the book's, or the only legal
// one) is still shown with a score: its line searched one ply deep.
void reportUnsearchedMove(Move move) {
    PlayRequest request;
    request.limits.depth = 1;
    request.searchMoves = &move;
    request.searchMoveCount = 1;
    PlayControl control;
    playSearch(request, control, PlayReporter{printPlayLine});
}

// The play search's "go": the book's move when OwnBook is on, it has one and
// the interface does not analyse.
Move playGo(const GoLimits& limits, Move& ponder) {
    Move move = settings.useBook && !limits.analysis ? bookMove() : 0;
    if (move != 0) {
        reportUnsearchedMove(move);
        return move;
    }
    if (isRepetition() && UCI_REPORTER.rootRepeated) UCI_REPORTER.rootRepeated();
    PlayControl control;
    control.inputWaiting = playInputWaiting;
    control.pondering = limits.ponder;
    runningControl = &control;
    const PlayResult result = playSearch(playRequest(limits), control, PlayReporter{printPlayLine, printPlayProgress});
    runningControl = nullptr;
    ponder = result.ponder;
    return result.best;
}

// The fixed search's "go": the book only outside analysis; searchmoves
// restrict its root list, and a ponder search has no time limit until
// "ponderhit".
Move fixedGo(const GoLimits& limits, Move& ponder) {
    shownPvLength = 0;
    currentRootMove = 0;
    lastProgress = 0;
    SearchRequest request = settingsRequest(UCI_REPORTER);
    request.time = limits.time;
    if (limits.ponder) request.time.milliseconds = NO_TIME_LIMIT;
    request.nodes = limits.nodes;
    request.depth = std::min(limits.depth, settings.maxDepth);
    request.inputWaiting = fixedInputWaiting;
    request.useBook = settings.useBook && !limits.analysis;
    request.rootMoves = limits.searchMoves.data();
    request.rootMoveCount = int(limits.searchMoves.size());
    const SearchResult result = searchRoot(request);
    if (result.move == 0) return 0;
    if (result.depth == 0) reportUnsearchedMove(result.move);   // a book move or the only legal one
    else if (shownPvLength > 1 && shownPv[0] == result.move) ponder = shownPv[1];
    return result.move;
}

}  // namespace

int multiPv = 1;

// "ponderhit": the move the engine pondered on was played; the search goes
// on under the time the "go" gave, counted from now.
void ponderHit() {
    if (!pondering) return;
    pondering = false;
    thinkingInfinite = runningLimits.infinite;
    if (runningControl) runningControl->pondering = false;
    if (!selectiveSearch && runningLimits.time.milliseconds != NO_TIME_LIMIT)
        countTimeFromNow(runningLimits.time.milliseconds);
}

// Searches the position under the limits and answers "bestmove"; returns
// the line that ended an infinite (or pondering) search's wait, if any.
std::string goCommand(const Words& words) {
    runningLimits = readGoLimits(words);
    const GoLimits& limits = runningLimits;
    thinkingInfinite = limits.infinite || limits.ponder;
    pondering = limits.ponder;
    fixedSearch = limits.fixed;
    stopHeard = false;
    markThinkingStart();
    Move ponder = 0;
    const Move move = selectiveSearch ? playGo(limits, ponder) : fixedGo(limits, ponder);
    std::string next;
    if (thinkingInfinite && !stopHeard) next = waitForStop();
    thinkingInfinite = pondering = false;
    if (move == 0) send("bestmove 0000");
    else if (ponder == 0) send("bestmove %s", coordinateText(move).c_str());
    else send("bestmove %s ponder %s", coordinateText(move).c_str(), coordinateText(ponder).c_str());
    return next;
}
