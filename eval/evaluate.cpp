// The evaluation driver: the insufficient-material draw, the quick estimate
// from the board's running sums, then the pawn term (kept in a table under
// the exact pawn configuration), the piece terms, the threats and the passed
// pawns.
#include "eval/evaluate.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

ROTOR_THREAD_LOCAL AttackMap whiteAttacks, blackAttacks;
ROTOR_THREAD_LOCAL PawnCache pawnCache;

namespace {

// The most material a side may have without pawns, rooks or queens for the
// position to count as a draw: two knights.
constexpr int DRAWN_MATERIAL = 2 * KNIGHT_VALUE;

// How far the quick estimate may lie outside the window before it is trusted:
// a full evaluation rarely moves it further. It narrows by a point per ply.
constexpr int LAZY_MARGIN = 200;
inline int lazyMargin(int ply) { return LAZY_MARGIN - ply; }

// Makes pawnCache the entry of the board's pawns: kept when it already is,
// else copied from the pawn table, else computed and stored there.
void refreshPawnCache() {
    const Bitboard white = board.pieceBits[PAWN] & board.colourBits[WHITE];
    const Bitboard black = board.pieceBits[PAWN] & board.colourBits[BLACK];
    if (white == pawnCache.whitePawnKey && black == pawnCache.blackPawnKey) return;
    PawnEntry& slot = pawnTable[pawnTableIndex(white, black)];
    if (slot.cache.whitePawnKey == white && slot.cache.blackPawnKey == black) {
        pawnCache = slot.cache;
        return;
    }
    pawnCache.passedPawns = pawnCache.halfPassedPawns = pawnCache.loosePawns = 0;
    pawnCache.pawnScore[WHITE] = evaluatePawns(WHITE);
    pawnCache.pawnScore[BLACK] = evaluatePawns(BLACK);
    pawnCache.whitePawnKey = white;
    pawnCache.blackPawnKey = black;
    slot.cache = pawnCache;
}

}  // namespace

ROTOR_THREAD_LOCAL PawnEntry pawnTable[PAWN_TABLE_SIZE];

int pawnTableIndex(Bitboard whitePawns, Bitboard blackPawns) {
    const Bitboard mixed = whitePawns * 0x9E3779B97F4A7C15ull ^ blackPawns * 0xC2B2AE3D27D4EB4Full;
    return int(mixed >> (64 - PAWN_TABLE_BITS));
}

void clearPawnTable() {
    for (PawnEntry& e : pawnTable) e.cache = PawnCache{NO_PAWN_KEY, NO_PAWN_KEY, {0, 0}, 0, 0, 0};
}

int evaluate(int alpha, int beta) {
    const int s = board.sideToMove, o = s ^ 1;
    const Bitboard* pb = board.pieceBits;
    int colourScore[2] = {board.material[WHITE] - KING_VALUE, board.material[BLACK] - KING_VALUE};

    if (!(pb[PAWN] | pb[ROOK] | pb[QUEEN]) && colourScore[WHITE] <= DRAWN_MATERIAL &&
        colourScore[BLACK] <= DRAWN_MATERIAL)
        return 0;

    const int q = (colourScore[s] + board.pstSum[s]) - (colourScore[o] + board.pstSum[o]);
    const int margin = lazyMargin(board.ply);
    if (q + margin <= alpha) return q;
    if (q - margin >= beta) return q;

    if (!masksBuilt) buildMasks();   // normally done by the first preparation
    refreshPawnCache();
    colourScore[WHITE] += pawnCache.pawnScore[WHITE];
    colourScore[BLACK] += pawnCache.pawnScore[BLACK];

    const Bitboard passed = pawnCache.passedPawns, loose = pawnCache.loosePawns;
    colourScore[WHITE] += evaluatePieces(WHITE, whiteAttacks, passed, loose);
    colourScore[BLACK] += evaluatePieces(BLACK, blackAttacks, passed, loose);

    colourScore[WHITE] += evaluateThreats(whiteAttacks, blackAttacks, WHITE);
    colourScore[BLACK] += evaluateThreats(blackAttacks, whiteAttacks, BLACK);

    const Bitboard halfPassed = pawnCache.halfPassedPawns;
    if (passed | halfPassed) {
        colourScore[WHITE] += evaluatePassedPawns(passed, blackAttacks[0], WHITE, halfPassed);
        colourScore[BLACK] += evaluatePassedPawns(passed, whiteAttacks[0], BLACK, halfPassed);
    }
    return colourScore[s] - colourScore[o];
}

ROTOR_BOARD_NAMESPACE_END
