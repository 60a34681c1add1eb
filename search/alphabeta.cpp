// The recursive search below the root: negamax alpha-beta with a zero window
// after the first legal move, null move, check and seventh-rank extensions,
// transposition and teach-table cut-offs, and the quiescence search.
#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/picker.h"
#include "eval/evaluate.h"
#include "knowledge/knowledge.h"
#include "search/search.h"
#include "search/tt.h"

int repetitionCount = 0;
int checkExtensionCount = 0;
int recaptureCount = 0;
Move followPv[61];

namespace {

bool isCaptureOrPromotion(Move m) { return (m & CAPTURE_OR_PROMOTION) != 0; }

// A stored score is clamped into the full window whatever the file held.
int clampScore(int score) {
    if (score > MATE_SCORE) return MATE_SCORE;
    if (score < -MATE_SCORE) return -MATE_SCORE;
    return score;
}

// Records the move in the history slot of the current ply and steps into the child.
void enterChild(Move move, PvLine& own) {
    const int slot = history.count + board.ply;
    makeMove(move);
    history.historyMoves[slot] = move;
    history.historyKeys[slot] = board.hashKey;
    own.moves[board.ply + 1] = 0;
    flipSides();
    board.ply += 1;
}

void leaveChild(Move move) {
    flipSides();
    board.ply -= 1;
    unmakeMove(move);
}

// The move then the child's line, up to the first 0 or index MAX_PLY.
void writePv(PvLine* pv, Move move, const PvLine& own) {
    const int ply = board.ply;
    pv->moves[ply] = move;
    int i = ply + 1;
    for (; i < MAX_PLY && own.moves[i] != 0; ++i) pv->moves[i] = own.moves[i];
    pv->moves[i] = 0;
}

}  // namespace

int alphaBeta(int alpha, int beta, int depth, PvLine* pv, Move* bestMove, bool afterNull, bool inNullSubtree) {
    *bestMove = 0;
    int bestScore = -MATE_SCORE;
    int legalMoves = 0;
    if (timeUp()) return 0;
    const int ply = board.ply;
    if (ply >= MAX_PLY) return evaluate(alpha, beta);
    // The move that led here left its own king en prise.
    if (isAttacked(kingSquare(board.opponent), board.sideToMove)) return MATE_SCORE - ply;

    const Move last = lastMove();
    if (!isCaptureOrPromotion(last) && movePromoted(last) != 1 && isRepetition()) {
        ++repetitionCount;
        return 0;
    }

    const bool check = inCheck();
    bool extended = false;
    if (last != 0) {
        const int to = moveTo(last);
        if (check) {
            ++checkExtensionCount;
            ++depth;
            extended = true;
        } else if (board.squares[to] == PAWN && (rowOf(to) == 1 || rowOf(to) == 6)) {
            ++depth;   // a pawn has just reached the rank before promotion
            extended = true;
        }
    }

    if (depth <= 0) return quiesce(alpha, beta);

    MovePicker picker;
    resetPicker(picker);
    Move hashMove = 0;

    if (!inNullSubtree && settings.USETEACH) {
        Move tMove = 0;
        int tScore = 0, tDepth = 0;
        if (teachLookup(tMove, tScore, tDepth)) {
            if (ply > 2 && tDepth >= depth) {
                if (followPv[ply] != 0)
                    for (Move& m : followPv) m = 0;
                return clampScore(tScore);
            }
            hashMove = tMove;   // 0 unless playable here
        }
    }

    if (!inNullSubtree && followPv[ply] != 0) {
        hashMove = followPv[ply];
        followPv[ply] = 0;
    }

    const Move killer = killerMoves[ply];

    if (!inNullSubtree && hashMove == 0) {
        if (const TTEntry* entry = ttProbe(board.sideToMove)) {
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

    PvLine own;
    Move childBest = 0;

    if (nullMoveAllowed && !extended && !afterNull && beta < MATE_SCORE &&
        (depth - 3 <= 0 || !isCaptureOrPromotion(last) || evaluate(beta - 51, beta - 50) >= beta - 50)) {
        const int slot = history.count + ply;
        plyEnd[ply] = plyEnd[ply - 1];
        history.historyMoves[slot] = 0;
        history.historyKeys[slot] = 0;
        own.moves[ply + 1] = 0;
        flipSides();
        board.ply += 1;
        const int v = -alphaBeta(-beta, -beta + 1, depth - 3, &own, &childBest, true, true);
        flipSides();
        board.ply -= 1;
        if (v >= beta) return beta;
    }

    picker.hashMove = hashMove;
    picker.killer = killer;
    Move move = 0;
    while (nextMove(picker, move, alpha, beta)) {
        if (moveCaptured(move) == KING) return MATE_SCORE - ply;
        enterChild(move, own);
        int t;
        if (legalMoves == 0) {
            t = -alphaBeta(-beta, -alpha, depth - 1, &own, &childBest, false, inNullSubtree);
        } else {
            t = -alphaBeta(-alpha - 1, -alpha, depth - 1, &own, &childBest, false, inNullSubtree);
            if (alpha < t && t < beta) {
                // The re-search window starts at the zero-window result.
                own.moves[ply + 1] = 0;
                t = -alphaBeta(-beta, -t, depth - 1, &own, &childBest, false, inNullSubtree);
            }
        }
        leaveChild(move);
        if (stopSearch) return 0;
        if (t != -(MATE_SCORE - (ply + 1))) ++legalMoves;   // the child did not capture our king
        if (t > bestScore) bestScore = t;
        if (t > alpha) {
            alpha = t;
            *bestMove = move;
            if (!isCaptureOrPromotion(move)) killerMoves[ply] = move;
            updateHistory(move, depth, t, beta);
            if (t >= beta) break;
            alphaMoves[ply] = move;
            if (!inNullSubtree) writePv(pv, move, own);
        }
    }

    if (legalMoves == 0 && !check && alpha < beta) return 0;   // stalemate

    if (!inNullSubtree) {
        const int bound = *bestMove == 0 ? BOUND_UPPER : alpha < beta ? BOUND_EXACT : BOUND_LOWER;
        ttStore(*bestMove, bestScore, depth, board.sideToMove, bound);
    }
    return bestScore;
}

int quiesce(int alpha, int beta) {
    if (timeUp()) return 0;
    const int stand = evaluate(alpha, beta);
    if (stand > alpha) alpha = stand;
    if (alpha >= beta) return alpha;
    const int ply = board.ply;
    if (ply >= MAX_PLY) return alpha;

    const int first = plyEnd[ply - 1];
    plyEnd[ply] = first;
    generateCaptures();
    const int last = plyEnd[ply] - 1;
    scoreCaptures(first, last);

    for (int i = first; i <= last; ++i) {
        pickBest(i, last);
        const Move move = moveStack[i];
        if (moveCaptured(move) == KING) return MATE_SCORE - ply;
        makeMove(move);
        history.historyMoves[history.count + ply] = move;
        flipSides();
        board.ply += 1;
        const int v = -quiesce(-beta, -alpha);
        flipSides();
        board.ply -= 1;
        unmakeMove(move);
        if (stopSearch) break;
        if (v > alpha) {
            alpha = v;
            if (alpha >= beta) break;
        }
    }
    return alpha;
}
