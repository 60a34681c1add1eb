#include "search/picker.h"

#include "board/board.h"
#include "board/movegen.h"
#include "search/state.h"

void clearOrdering() { searchState.ordering = OrderingTables{}; }

namespace {

constexpr int CAPTURE_SCORE_BASE = 30000;
constexpr int RECAPTURE_BONUS = 540;
// Quiet moves past the history ones are ordered by piece-square gain near
// the root, and deeper when the material and piece-square balance lies
// within this margin of the window.
constexpr int PST_ORDER_PLIES = 4;
constexpr int PST_ORDER_MARGIN = 100;

enum Stage : unsigned {
    HASH_MOVE = 0,
    GENERATE_CAPTURES = 1,
    CAPTURES = 2,
    KILLER = 3,
    GENERATE_QUIETS = 4,
    HISTORY_MOVES = 5,
    DECIDE_PST = 6,
    REMAINING_QUIETS = 7,
    DONE = 8,
};

void swapEntries(int a, int b) {
    Move m = moveStack[a];
    moveStack[a] = moveStack[b];
    moveStack[b] = m;
    int s = moveScore[a];
    moveScore[a] = moveScore[b];
    moveScore[b] = s;
}

}  // namespace

void resetPicker(MovePicker& picker) { picker = MovePicker{0, 0, 0, 0, 0, 0}; }

// The value of the victim minus the attacker's type code (the cheaper
// attacker first), above a common base, with bonuses for a recapture on the
// square the opponent just moved to, for a promotion (the new queen) and for
// en passant (the pawn that does not stand on the target square).
void scoreCaptures(int first, int last) {
    const Move previous = lastMove();
    for (int i = first; i <= last; ++i) {
        const Move m = moveStack[i];
        int score = CAPTURE_SCORE_BASE + pieceValue[board.squares[moveTo(m)]] - board.squares[moveFrom(m)];
        if (previous && moveTo(m) == moveTo(previous)) score += RECAPTURE_BONUS;
        if (m & PROMOTION) score += QUEEN_VALUE;
        if (m & EN_PASSANT) score += PAWN_VALUE;
        moveScore[i] = score;
    }
}

int scoreByHistory(int first, int last) {
    const OrderingTables& ordering = searchState.ordering;
    int r = first;
    for (int p = first; p <= last; ++p) {
        const Move m = moveStack[p];
        int score = ordering.historyScores[historyIndex(board.sideToMove, board.squares[moveFrom(m)], moveTo(m))];
        if (m == ordering.alphaMoves[board.ply]) score = historyLimit + 1;
        moveScore[p] = score;
        if (score != 0) {
            swapEntries(r, p);
            ++r;
        }
    }
    return r;
}

namespace {

// Quiet moves by the change of the moving piece's square value.
void scoreByPst(int first, int last) {
    const int8_t* table = pieceSquareTable[board.sideToMove];
    for (int i = first; i <= last; ++i) {
        const Move m = moveStack[i];
        const int piece = board.squares[moveFrom(m)];
        moveScore[i] = table[piece * 64 + moveTo(m)] - table[piece * 64 + moveFrom(m)];
    }
}

}  // namespace

void pickBest(int first, int last) {
    int best = first, bestScore = moveScore[first];
    for (int i = first + 1; i <= last; ++i)
        if (moveScore[i] > bestScore) {
            best = i;
            bestScore = moveScore[i];
        }
    if (best != first) swapEntries(first, best);
}

bool nextMove(MovePicker& picker, Move& out, int alpha, int beta) {
    const int ply = board.ply;
    switch (picker.stage) {
    case HASH_MOVE:
        plyEnd[ply] = plyEnd[ply - 1];
        picker.stage = GENERATE_CAPTURES;
        if (picker.hashMove && isPseudoLegal(picker.hashMove)) {
            out = picker.hashMove;
            return true;
        }
        [[fallthrough]];
    case GENERATE_CAPTURES:
        if (ply < GENERATION_PLY_LIMIT) generateCaptures();
        picker.cursor = plyEnd[ply - 1];
        picker.stage = CAPTURES;
        if (picker.cursor < plyEnd[ply]) scoreCaptures(picker.cursor, plyEnd[ply] - 1);
        [[fallthrough]];
    case CAPTURES:
        while (picker.cursor < plyEnd[ply]) {
            pickBest(picker.cursor, plyEnd[ply] - 1);
            out = moveStack[picker.cursor++];
            if (out != picker.hashMove) return true;
        }
        picker.stage = KILLER;
        [[fallthrough]];
    case KILLER:
        picker.stage = GENERATE_QUIETS;
        if (picker.killer && picker.killer != picker.hashMove && isPseudoLegal(picker.killer)) {
            out = picker.killer;
            return true;
        }
        [[fallthrough]];
    case GENERATE_QUIETS:
        if (ply < GENERATION_PLY_LIMIT) generateQuietMoves();
        picker.stage = HISTORY_MOVES;
        picker.historyEnd = 0;
        if (picker.cursor < plyEnd[ply]) picker.historyEnd = scoreByHistory(picker.cursor, plyEnd[ply] - 1);
        [[fallthrough]];
    case HISTORY_MOVES:
        while (picker.cursor < picker.historyEnd) {
            pickBest(picker.cursor, picker.historyEnd - 1);
            out = moveStack[picker.cursor++];
            if (out != picker.hashMove && out != picker.killer) return true;
        }
        picker.stage = DECIDE_PST;
        [[fallthrough]];
    case DECIDE_PST: {
        const int s = board.sideToMove, o = board.opponent;
        const int d = (board.material[s] + board.pstSum[s]) - (board.material[o] + board.pstSum[o]);
        picker.usePst = ply < PST_ORDER_PLIES || (alpha - PST_ORDER_MARGIN <= d && d <= beta + PST_ORDER_MARGIN);
        if (picker.usePst && picker.cursor < plyEnd[ply]) scoreByPst(picker.cursor, plyEnd[ply] - 1);
        picker.stage = REMAINING_QUIETS;
    }
        [[fallthrough]];
    case REMAINING_QUIETS:
        while (picker.cursor < plyEnd[ply]) {
            if (picker.usePst) pickBest(picker.cursor, plyEnd[ply] - 1);
            out = moveStack[picker.cursor++];
            if (out != picker.hashMove && out != picker.killer) return true;
        }
        picker.stage = DONE;
        [[fallthrough]];
    default:
        return false;
    }
}
