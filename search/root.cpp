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
#include "search/state.h"
#include "search/tt.h"

static_assert(TEACH_MAX_DEPTH == MAX_ITERATION_DEPTH, "teach depths are what a search reaches");

namespace {

// Root ordering key of a move that became the best: newer iterations and
// later improvements sort first, above every static score.
constexpr int LEADER_KEY_BASE = 300000;
constexpr int LEADER_KEY_PER_DEPTH = 300;   // more than the improvements of one iteration
int leaderKey(int depth, int improvements) { return depth * LEADER_KEY_PER_DEPTH + improvements + LEADER_KEY_BASE; }

// From this many game moves on there is no search: the slots past the game
// moves hold the search line.
constexpr int ROOT_GAME_MOVES_LIMIT = 300;
static_assert(ROOT_GAME_MOVES_LIMIT + MAX_PLY <= RECORD_SIZE, "room for the deepest line");

constexpr int FIRST_ITERATION_DEPTH = 2;  // a request for less is searched to this depth
constexpr int BOOK_SKIP_ONE_IN = 8;       // the book is skipped when a draw mod 8 is 1
constexpr int TEACH_MIN_PIECES = 6;       // fewer pieces on the board: the result is not learned

bool fewSliders(int colour) {
    const Bitboard sliders = board.pieceBits[BISHOP] | board.pieceBits[ROOK] | board.pieceBits[QUEEN];
    return popCount(sliders & board.colourBits[colour]) < 2;
}

// The report of a move at a depth, with the clock and counters as they stand.
SearchReport reportOf(int depth, Move move, int score, const PvLine* pv) {
    const SearchState& s = searchState;
    int length = 0;
    if (pv)
        while (length < MAX_PLY && pv->moves[length] != 0) ++length;
    return SearchReport{depth,
                        move,
                        score,
                        pv ? pv->moves : nullptr,
                        length,
                        s.clock.nodes,
                        secondsUsed(s.clock),
                        elapsedMilliseconds(s.clock),
                        s.counters.repetitions,
                        s.counters.checkExtensions,
                        s.counters.recaptures,
                        s.counters.selDepth};
}

// Keeps only the root moves the caller allows, when any of them is legal.
void keepAllowedRootMoves(const SearchRequest& request) {
    const Move* allowed = request.rootMoves;
    const int count = request.rootMoveCount;
    int kept = 0;
    for (int i = 0; i < plyEnd[0] && count > 0; ++i)
        if (std::find(allowed, allowed + count, moveStack[i]) != allowed + count) moveStack[kept++] = moveStack[i];
    if (kept > 0) plyEnd[0] = kept;
}

void loadFollowPv() {
    SearchState& s = searchState;
    for (Move& m : s.followPv) m = 0;
    for (int i = 0; i < MAX_PLY && s.savedPv.moves[i] != 0; ++i) s.followPv[i] = s.savedPv.moves[i];
}

// Searches one root move at position i of the root list; returns its score
// from the root side's view.
int searchRootMove(Move move, int i, int alpha, int beta) {
    PvLine& line = searchState.rootPv;
    line.moves[1] = 0;
    pushMove(move);
    Move scratch = 0;
    const int depth = searchState.iterationDepth - 1;
    int v;
    if (i == 0) {
        v = -alphaBeta(-beta, -alpha, depth, &line, &scratch, PLAIN_NODE);
    } else {
        v = -alphaBeta(-alpha - 1, -alpha, depth, &line, &scratch, PLAIN_NODE);
        if (alpha < v && v < beta) {
            line.moves[1] = 0;
            v = -alphaBeta(-beta, -v, depth, &line, &scratch, PLAIN_NODE);
        }
    }
    popMove(move);
    return v;
}

// The iterations; result holds the best move of the completed part.
void deepen(Move& result, int n) {
    SearchState& s = searchState;
    const int deepest = std::clamp(s.request.depth, FIRST_ITERATION_DEPTH, MAX_ITERATION_DEPTH);
    s.savedPv.moves[0] = 0;
    for (s.iterationDepth = FIRST_ITERATION_DEPTH; s.iterationDepth <= deepest; ++s.iterationDepth) {
        const int depth = s.iterationDepth;
        int alpha = -MATE_SCORE;
        const int beta = MATE_SCORE;
        loadFollowPv();
        for (Move& m : s.ordering.alphaMoves) m = 0;
        int improvements = 0;
        for (int i = 0; i < n; ++i) {
            pickBest(i, n - 1);
            const Move move = moveStack[i];
            if (s.request.reporter.rootMove) s.request.reporter.rootMove(move, i + 1);
            const int v = searchRootMove(move, i, alpha, beta);
            if (timeUp()) return;   // the interrupted move's value is discarded
            if (v > alpha) {
                ++improvements;
                alpha = v;
                s.depth = depth;
                s.score = v;
                result = move;
                moveScore[i] = leaderKey(depth, improvements);
                updateHistory(move, depth, -1, 1);
                s.rootPv.moves[0] = move;
                s.savedPv = s.rootPv;
                if (s.request.reporter.newBest) s.request.reporter.newBest(reportOf(depth, move, v, &s.savedPv));
            }
        }
        if (s.request.reporter.iterationDone)
            s.request.reporter.iterationDone(reportOf(depth, result, s.score, &s.savedPv));
        if (depth > FIRST_ITERATION_DEPTH && s.score > MATE_FOUND) return;   // a mate is found
        noteIterationEnd(s.clock);
        if (nextIterationTooSlow(s.clock, s.request.time, depth)) return;
    }
}

// Finds the move, or none; the search state holds the score and depth.
Move chooseMove(const SearchRequest& request) {
    SearchState& s = searchState;
    if (request.useBook) {
        const int r = nextRandom();
        if (r % BOOK_SKIP_ONE_IN != 1) {
            const Move m = bookMove();
            if (m != 0) return m;
        }
    }

    if (gameRecord.count >= ROOT_GAME_MOVES_LIMIT) return 0;
    if (positionFault(KING_COUNT) != NO_FAULT) return 0;

    prepareEvaluation();
    if (isRepetition() && request.reporter.rootRepeated) request.reporter.rootRepeated();

    resetSearchState(request);
    ttClear();

    plyEnd[0] = plyEnd[-1];
    generateCaptures();
    generateQuietMoves();
    if (positionFault(OPPONENT_IN_CHECK) != NO_FAULT) {
        s.score = MATE_SCORE;   // the side not to move is in check: no such position
        return 0;
    }
    dropIllegalRootMoves();
    keepAllowedRootMoves(request);
    const int n = plyEnd[0];
    if (n == 0) return 0;   // checkmate or stalemate
    if (n == 1) return moveStack[0];

    for (int i = 0; i < n; ++i) {
        makeMove(moveStack[i]);
        moveScore[i] = evaluate(-MATE_SCORE, MATE_SCORE);   // the mover's view: no flip
        unmakeMove(moveStack[i]);
    }

    s.nullMoveAllowed = !fewSliders(WHITE) && !fewSliders(BLACK);
    Move result = 0;
    deepen(result, n);
    if (result == 0) {
        // Not even the first move of the first iteration was searched in the
        // time (a board crowded with queens): the first move of the static
        // ordering is played rather than none.
        pickBest(0, n - 1);
        result = moveStack[0];
    }

    if (request.reporter.finished) request.reporter.finished(reportOf(s.depth, result, s.score, nullptr));
    if (request.recordTeach && s.depth > 0 &&
        popCount(board.colourBits[WHITE] | board.colourBits[BLACK]) >= TEACH_MIN_PIECES)
        teachRecord(result, s.score, s.depth);
    return result;
}

}  // namespace

SearchResult searchRoot(const SearchRequest& request) {
    SearchState& s = searchState;
    s.score = -MATE_SCORE;
    s.depth = 0;
    board.ply = 0;
    const Move move = chooseMove(request);
    SearchResult result = {move, s.score, s.depth, 0, PvLine{}};
    if (s.depth > 0) {
        result.nodes = s.clock.nodes;
        result.line = s.savedPv;
    }
    return result;
}
