#include "board/perft.h"

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

namespace {

// Whether the move just made is legal, the full test only where the shield's
// verdict needs it.
inline bool legalAfterMake(Verdict verdict) { return verdict == LEGAL || (verdict == NEEDS_TEST && !inCheck()); }

// The leaves: each move is made, found legal or not, and unmade.
uint64_t countLeaves() {
    generateAllMoves();
    const int first = plyEnd[board.ply - 1], end = plyEnd[board.ply];
    const KingShield shield = kingShield();
    uint64_t nodes = 0;
    for (int i = first; i < end; ++i) {
        const Move m = moveStack[i];
        const Verdict verdict = quickVerdict(m, shield);
        makeMove(m);
        nodes += legalAfterMake(verdict);
        unmakeMove(m);
    }
    return nodes;
}

uint64_t perftBelow(int depth) {
    if (depth == 1) return countLeaves();
    generateAllMoves();
    const int first = plyEnd[board.ply - 1], end = plyEnd[board.ply];
    const KingShield shield = kingShield();
    uint64_t nodes = 0;
    for (int i = first; i < end; ++i) {
        const Move m = moveStack[i];
        const Verdict verdict = quickVerdict(m, shield);
        if (verdict == ILLEGAL) continue;
        pushMove(m);
        // After the flip the mover is the opponent: its king must not stand attacked.
        if (verdict == LEGAL || !isAttacked(kingSquare(board.opponent), board.sideToMove))
            nodes += perftBelow(depth - 1);
        popMove(m);
    }
    return nodes;
}

}  // namespace

uint64_t perft(int depth) {
    return depth <= 0 ? 1 : perftBelow(depth);
}

int legalMoves(Move* moves) {
    generateAllMoves();
    const KingShield shield = kingShield();
    int n = 0;
    for (int i = plyEnd[board.ply - 1]; i < plyEnd[board.ply] && n < 256; ++i) {
        if (isLegalWith(moveStack[i], shield)) moves[n++] = moveStack[i];
    }
    return n;
}

ROTOR_BOARD_NAMESPACE_END
