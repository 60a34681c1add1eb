// The root search: book, root move list, static ordering and iterative
// deepening with a time prediction between iterations.
#include <algorithm>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/positioncheck.h"
#include "board/random.h"
#include "eval/evaluate.h"
#include "knowledge/knowledge.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/tt.h"

static_assert(TEACH_MAX_DEPTH == MAX_ITERATION_DEPTH, "teach depths are what a search reaches");

int searchScore = -MATE_SCORE;
int searchDepth = 0;
int iterationDepth = 0;
bool nullMoveAllowed = false;
int maxIterationDepth = MAX_ITERATION_DEPTH;
Settings settings = {5, 15, 8, 1, 1};
bool teachRecording = true;
SearchReporter searchReporter = QUIET_REPORTER;

namespace {

PvLine rootPv;    // handed to the root's children
PvLine savedPv;   // the root line at the last improvement

// Root ordering key of a move that became the best: newer iterations and
// later improvements sort first, above every static score.
constexpr int LEADER_KEY_BASE = 300000;
constexpr int LEADER_KEY_PER_DEPTH = 300;   // more than the improvements of one iteration
int leaderKey(int depth, int improvements) { return depth * LEADER_KEY_PER_DEPTH + improvements + LEADER_KEY_BASE; }

// From this many game moves on there is no search: the slots past the game
// moves hold the search line.
constexpr int ROOT_HISTORY_LIMIT = 300;
static_assert(ROOT_HISTORY_LIMIT + MAX_PLY <= RECORD_SIZE, "room for the deepest line");

constexpr int BOOK_SKIP_ONE_IN = 8;       // the book is skipped when a draw mod 8 is 1
constexpr int TEACH_MIN_PIECES = 6;       // fewer pieces on the board: the result is not learned
constexpr int FIRST_PREDICTED_DEPTH = 4;  // the time prediction needs the two iterations before
constexpr int MIN_GROWTH = 2, MAX_GROWTH = 4;   // bounds of the predicted time factor

bool fewSliders(int colour) {
    const Bitboard sliders = board.pieceBits[BISHOP] | board.pieceBits[ROOK] | board.pieceBits[QUEEN];
    return popCount(sliders & board.colourBits[colour]) < 2;
}

// The report of a move at a depth, with the clock and counters as they stand.
SearchReport reportOf(int depth, Move move, int score, const PvLine* pv) {
    int length = 0;
    if (pv)
        while (length < MAX_PLY && pv->moves[length] != 0) ++length;
    return SearchReport{depth,
                        move,
                        score,
                        pv ? pv->moves : nullptr,
                        length,
                        searchClock.nodes,
                        searchClock.lastTime - searchClock.startTime,
                        elapsedMilliseconds(),
                        searchCounters.repetitions,
                        searchCounters.checkExtensions,
                        searchCounters.recaptures,
                        searchClock.selDepth};
}

// Keeps only the root moves the caller allows, when any of them is legal.
void keepAllowedRootMoves() {
    const Move* allowed = searchLimits.rootMoves;
    const int count = searchLimits.rootMoveCount;
    int kept = 0;
    for (int i = 0; i < plyEnd[0] && count > 0; ++i)
        if (std::find(allowed, allowed + count, moveStack[i]) != allowed + count) moveStack[kept++] = moveStack[i];
    if (kept > 0) plyEnd[0] = kept;
}

void loadFollowPv() {
    for (Move& m : followPv) m = 0;
    for (int i = 0; i < MAX_PLY && savedPv.moves[i] != 0; ++i) followPv[i] = savedPv.moves[i];
}

// Searches one root move at position i of the root list; returns its score
// from the root side's view.
int searchRootMove(Move move, int i, int alpha, int beta) {
    rootPv.moves[1] = 0;
    pushMove(move);
    Move scratch = 0;
    const int depth = iterationDepth - 1;
    int v;
    if (i == 0) {
        v = -alphaBeta(-beta, -alpha, depth, &rootPv, &scratch, PLAIN_NODE);
    } else {
        v = -alphaBeta(-alpha - 1, -alpha, depth, &rootPv, &scratch, PLAIN_NODE);
        if (alpha < v && v < beta) {
            rootPv.moves[1] = 0;
            v = -alphaBeta(-beta, -v, depth, &rootPv, &scratch, PLAIN_NODE);
        }
    }
    popMove(move);
    return v;
}

// The iterations; result holds the best move of the completed part.
void deepen(Move* result, int n) {
    savedPv.moves[0] = 0;
    for (iterationDepth = 2; iterationDepth <= MAX_ITERATION_DEPTH && iterationDepth <= maxIterationDepth;
         ++iterationDepth) {
        int alpha = -MATE_SCORE;
        const int beta = MATE_SCORE;
        loadFollowPv();
        for (Move& m : ordering.alphaMoves) m = 0;
        int improvements = 0;
        for (int i = 0; i < n; ++i) {
            pickBest(i, n - 1);
            const Move move = moveStack[i];
            if (searchReporter.rootMove) searchReporter.rootMove(move, i + 1);
            const int v = searchRootMove(move, i, alpha, beta);
            if (timeUp()) return;   // the interrupted move's value is discarded
            if (v > alpha) {
                ++improvements;
                alpha = v;
                searchDepth = iterationDepth;
                searchScore = v;
                *result = move;
                moveScore[i] = leaderKey(iterationDepth, improvements);
                updateHistory(move, iterationDepth, -1, 1);
                rootPv.moves[0] = move;
                savedPv = rootPv;
                if (searchReporter.newBest) searchReporter.newBest(reportOf(iterationDepth, move, v, &savedPv));
            }
        }
        if (searchReporter.iterationDone)
            searchReporter.iterationDone(reportOf(iterationDepth, *result, searchScore, &savedPv));
        if (iterationDepth > 2 && searchScore > MATE_FOUND) return;   // a mate is found
        searchClock.iterationTime[iterationDepth] = searchClock.lastTime;
        searchClock.iterationMilliseconds[iterationDepth] = elapsedMilliseconds();
        if (nextIterationTooSlow()) return;
    }
}

}  // namespace

namespace {

// How much longer the next iteration is expected to take than the last one,
// from the growth between the last three iteration ends.
int64_t growthRatio(int64_t first, int64_t second, int64_t third) {
    const int64_t a = second - first;
    const int64_t b = third - second;
    int64_t ratio = a > 0 && b > 0 ? b / a : 0;
    if (ratio < MIN_GROWTH) ratio = MIN_GROWTH;
    if (ratio > MAX_GROWTH) ratio = MAX_GROWTH;
    return ratio;
}

}  // namespace

bool nextIterationTooSlow() {
    const int d = iterationDepth;
    if (d < FIRST_PREDICTED_DEPTH) return false;
    if (searchLimits.moveMilliseconds > 0) {
        if (searchLimits.wholeSpan) return false;
        const int64_t* ms = searchClock.iterationMilliseconds;
        const int64_t limit = searchLimits.moveMilliseconds;
        const int64_t elapsed = ms[d];
        return elapsed > limit / growthRatio(ms[d - 2], ms[d - 1], ms[d]);   // elapsed * ratio > limit, without overflow
    }
    const int* times = searchClock.iterationTime;
    const int64_t ratio = growthRatio(times[d - 2], times[d - 1], times[d]);
    return (long long)(searchClock.lastTime - searchClock.startTime) * ratio > settings.MAX_TIME;
}

bool searchRoot(Move* result) {
    searchScore = -MATE_SCORE;
    searchDepth = 0;
    board.ply = 0;

    if (settings.USELIB) {
        const int r = nextRandom();
        if (r % BOOK_SKIP_ONE_IN != 1) {
            const Move m = bookMove();
            *result = m;
            if (m != 0) return true;
        }
    }

    resetCounters();
    *result = 0;
    if (gameRecord.count >= ROOT_HISTORY_LIMIT) return false;
    if (positionFault(KING_COUNT) != NO_FAULT) return false;

    prepareEvaluation();
    if (isRepetition() && searchReporter.rootRepeated) searchReporter.rootRepeated();

    startClock();
    ageHistory();
    ttClear();

    plyEnd[0] = plyEnd[-1];
    generateCaptures();
    generateQuietMoves();
    if (positionFault(OPPONENT_IN_CHECK) != NO_FAULT) {
        searchScore = MATE_SCORE;   // the side not to move is in check: no such position
        return false;
    }
    dropIllegalRootMoves();
    keepAllowedRootMoves();
    const int n = plyEnd[0];
    if (n == 0) return false;   // checkmate or stalemate
    if (n == 1) {
        *result = moveStack[0];
        return true;
    }

    for (int i = 0; i < n; ++i) {
        makeMove(moveStack[i]);
        moveScore[i] = evaluate(-MATE_SCORE, MATE_SCORE);   // the mover's view: no flip
        unmakeMove(moveStack[i]);
    }

    nullMoveAllowed = !fewSliders(WHITE) && !fewSliders(BLACK);
    deepen(result, n);
    if (*result == 0) {
        // Not even the first move of the first iteration was searched in the
        // time (a board crowded with queens): the first move of the static
        // ordering is played rather than none.
        pickBest(0, n - 1);
        *result = moveStack[0];
    }

    if (searchReporter.finished) searchReporter.finished(reportOf(searchDepth, *result, searchScore, nullptr));
    if (teachRecording && searchDepth > 0 &&
        popCount(board.colourBits[WHITE] | board.colourBits[BLACK]) >= TEACH_MIN_PIECES)
        teachRecord(*result, searchScore, searchDepth);
    return *result != 0;
}
