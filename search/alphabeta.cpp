// The recursive search below the root: negamax alpha-beta with a zero window
// after the first legal move, null move, check and seventh-rank extensions,
// transposition and teach-table cut-offs, and the quiescence search.
#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "knowledge/knowledge.h"
#include "search/picker.h"
#include "search/state.h"
#include "search/tt.h"

namespace {

constexpr int NULL_MOVE_REDUCTION = 3;
constexpr int NULL_MOVE_MARGIN = 50;
constexpr int TEACH_CUT_MIN_PLY = 2;   // a teach score ends only nodes deeper than this

bool isCaptureOrPromotion(Move m) { return (m & CAPTURE_OR_PROMOTION) != 0; }

// The move then the child's line, up to the first 0 or index MAX_PLY.
void writePv(PvLine* pv, Move move, const PvLine& own) {
    const int ply = board.ply;
    pv->moves[ply] = move;
    int i = ply + 1;
    for (; i < MAX_PLY && own.moves[i] != 0; ++i) pv->moves[i] = own.moves[i];
    pv->moves[i] = 0;
}

}  // namespace

int alphaBeta(int alpha, int beta, int depth, PvLine* pv, Move* bestMove, unsigned flags) {
    const bool inNullSubtree = (flags & IN_NULL_SUBTREE) != 0;
    const unsigned childFlags = flags & IN_NULL_SUBTREE;
    SearchState& s = searchState;

    // Step 1: the node's results start empty; the clock may stop the search.
    *bestMove = 0;
    int bestScore = -MATE_SCORE;
    int legalMoves = 0;
    if (timeUp()) return 0;

    // Step 2: the ply limit, and a king left en prise by the move that led here.
    const int ply = board.ply;
    if (ply >= MAX_PLY) return evaluate(alpha, beta);
    if (isAttacked(kingSquare(board.opponent), board.sideToMove)) return MATE_SCORE - ply;

    // Step 3: a repetition (only after a reversible move) is a draw.
    const Move last = lastMove();
    if (!isCaptureOrPromotion(last) && !isPawnPush(last) && isRepetition()) {
        ++s.counters.repetitions;
        return 0;
    }

    // Step 4: extensions, at most one ply: a check, or a pawn just arrived on
    // the rank before promotion.
    const bool check = inCheck();
    bool extended = false;
    if (last != 0) {
        const int to = moveTo(last);
        if (check) {
            ++s.counters.checkExtensions;
            ++depth;
            extended = true;
        } else if (board.squares[to] == PAWN && (rowOf(to) == 1 || rowOf(to) == 6)) {
            ++depth;
            extended = true;
        }
    }

    // Step 5: the horizon.
    if (depth <= 0) return quiesce(alpha, beta);

    // Step 6: the teach table. Beyond the first plies a deep enough entry
    // ends the node; otherwise its move is tried first. An entry with a
    // stored move keeps the transposition table out of the node even when
    // that move cannot be played here.
    MovePicker picker;
    resetPicker(picker);
    Move hashMove = 0;
    bool teachMoveStored = false;
    if (!inNullSubtree && s.request.useTeach) {
        TeachHit hit;
        if (teachLookup(hit)) {
            if (ply > TEACH_CUT_MIN_PLY && hit.depth >= depth) {
                if (s.followPv[ply] != 0)
                    for (Move& m : s.followPv) m = 0;
                return hit.score;
            }
            hashMove = hit.move;
            teachMoveStored = hit.movePresent;
        }
    }

    // Step 7: the previous iteration's line goes first.
    if (!inNullSubtree && s.followPv[ply] != 0) {
        hashMove = s.followPv[ply];
        s.followPv[ply] = 0;
    }

    const Move killer = s.ordering.killers[ply];

    // Step 8: the transposition table, when nothing above named a move.
    if (!inNullSubtree && hashMove == 0 && !teachMoveStored) {
        if (const std::optional<TTEntry> entry = ttProbe(board.sideToMove)) {
            const int entryDepth = entry->depth;
            const int entryScore = entry->score;
            switch (entry->bound) {
            case BOUND_UPPER:
                if (entryDepth >= depth && alpha >= entryScore) return alpha;
                break;
            case BOUND_EXACT:
                // An exact score inside the window does not cut off; its move goes first.
                if (entryDepth >= depth && (entryScore <= alpha || entryScore >= beta)) return entryScore;
                hashMove = entry->move;
                break;
            case BOUND_LOWER:
                if (entryDepth >= depth && entryScore >= beta) return beta;
                hashMove = entry->move;
                break;
            default:
                break;
            }
        }
    }

    // Step 9: the null move, searched NULL_MOVE_REDUCTION plies shallower.
    // After a capture or promotion, above the reduction, only when the static
    // score comes within NULL_MOVE_MARGIN of beta.
    PvLine own;
    Move childBest = 0;
    const int nullMargin = beta - NULL_MOVE_MARGIN;
    if (s.nullMoveAllowed && !extended && !(flags & AFTER_NULL) && beta < MATE_SCORE &&
        (depth - NULL_MOVE_REDUCTION <= 0 || !isCaptureOrPromotion(last) ||
         evaluate(nullMargin - 1, nullMargin) >= nullMargin)) {
        plyEnd[ply] = plyEnd[ply - 1];   // the child's list starts where this node's would
        own.moves[ply + 1] = 0;
        pushNullMove();
        const int v = -alphaBeta(-beta, -beta + 1, depth - NULL_MOVE_REDUCTION, &own, &childBest,
                                 AFTER_NULL | IN_NULL_SUBTREE);
        popNullMove();
        if (v >= beta) return beta;
    }

    // Step 10: the moves, the first legal one with the full window, the rest
    // with a zero window and a re-search from the zero-window result.
    picker.hashMove = hashMove;
    picker.killer = killer;
    Move move = 0;
    while (nextMove(picker, move, alpha, beta)) {
        if (moveCaptured(move) == KING) return MATE_SCORE - ply;
        own.moves[ply + 1] = 0;
        pushMove(move);
        if (!inNullSubtree) ttPrefetch(board.sideToMove);   // for the child's probe, also one a check extension brings
        int t;
        if (legalMoves == 0) {
            t = -alphaBeta(-beta, -alpha, depth - 1, &own, &childBest, childFlags);
        } else {
            t = -alphaBeta(-alpha - 1, -alpha, depth - 1, &own, &childBest, childFlags);
            if (alpha < t && t < beta) {
                own.moves[ply + 1] = 0;
                t = -alphaBeta(-beta, -t, depth - 1, &own, &childBest, childFlags);
            }
        }
        popMove(move);
        if (s.clock.stop) return 0;

        // Step 11: the move's result: legality, best score, alpha, ordering
        // data, the cut-off and the principal variation.
        if (t != -(MATE_SCORE - (ply + 1))) ++legalMoves;   // the child did not capture our king
        if (t > bestScore) bestScore = t;
        if (t > alpha) {
            alpha = t;
            *bestMove = move;
            if (!isCaptureOrPromotion(move)) s.ordering.killers[ply] = move;
            updateHistory(move, depth, t, beta);
            if (t >= beta) break;
            s.ordering.alphaMoves[ply] = move;
            if (!inNullSubtree) writePv(pv, move, own);
        }
    }

    // Step 12: no legal move and no check is stalemate; a mated side keeps
    // the king-capture score of its best (illegal) move.
    if (legalMoves == 0 && !check && alpha < beta) return 0;

    // Step 13: the node's result goes to the transposition table.
    if (!inNullSubtree) {
        const int bound = *bestMove == 0 ? BOUND_UPPER : alpha < beta ? BOUND_EXACT : BOUND_LOWER;
        ttStore(*bestMove, bestScore, depth, board.sideToMove, bound);
    }
    return bestScore;
}

int quiesce(int alpha, int beta) {
    // Step 1: the clock may stop the search.
    if (timeUp()) return 0;

    // Step 2: the static score stands in for every quiet move; it may end the
    // node at once.
    const int stand = evaluate(alpha, beta);
    if (stand > alpha) alpha = stand;
    if (alpha >= beta) return alpha;

    // Step 3: the ply limit.
    const int ply = board.ply;
    if (ply >= MAX_PLY) return alpha;

    // Step 4: the captures and promotions, scored for ordering.
    const int first = plyEnd[ply - 1];
    plyEnd[ply] = first;
    generateCaptures();
    const int last = plyEnd[ply] - 1;
    scoreCaptures(first, last);

    // Step 5: the moves best first; a king capture ends the node, an illegal
    // capture is refuted by the king capture one ply deeper.
    for (int i = first; i <= last; ++i) {
        pickBest(i, last);
        const Move move = moveStack[i];
        if (moveCaptured(move) == KING) return MATE_SCORE - ply;
        pushMove(move);
        const int v = -quiesce(-beta, -alpha);
        popMove(move);
        if (searchState.clock.stop) break;

        // Step 6: the move's result raises alpha and may cut off.
        if (v > alpha) {
            alpha = v;
            if (alpha >= beta) break;
        }
    }
    return alpha;
}
