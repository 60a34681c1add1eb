// Pawn structure: square values, passed and supported passed pawns, isolated
// and doubled pawns, and the ends of each horizontal group of pawns. Also
// sorts the pawns into the passed, half-passed and loose sets.
#include "board/attacks.h"
#include "eval/evaluate.h"

namespace {

constexpr int passedBase = 14;
constexpr int isolatedPenalty[8] = {8, 10, 12, 14, 14, 12, 10, 8};
constexpr int doubledPenalty = 8;
constexpr int groupEndPenalty = 1;      // per end of a horizontal group of pawns
constexpr int anyPassedBonus = 4;       // once for a colour with a passed pawn
constexpr int supportedPassedBonus = 6; // per passed pawn with a neighbour or defender
constexpr int advancedSupportBonus = 4; // once, a supported passed pawn in the enemy half

}  // namespace

int evaluatePawns(int colour) {
    const Bitboard own = board.pieceBits[PAWN] & board.colourBits[colour];
    const Bitboard enemy = board.pieceBits[PAWN] & board.colourBits[colour ^ 1];
    int score = 0, passedCount = 0;

    for (Bitboard b = own; b; b &= b - 1) {
        const int q = lowestSquare(b), file = colOf(q);
        score += pawnSquareValue[colour == WHITE ? q : 63 - q];
        if (!(frontSpan[colour][q] & enemy)) {
            const int freeSides = (file == 0 || !(frontSpan[colour][q - 1] & enemy)) +
                                  (file == 7 || !(frontSpan[colour][q + 1] & enemy));
            if (freeSides == 1) {
                pawnCache.halfPassedPawns |= squareBit(q);
            } else if (freeSides == 2) {
                pawnCache.passedPawns |= squareBit(q);
                score += passedRankBonus[colour][rowOf(q)] + passedBase;
                ++passedCount;
            }
        }
        if (!(neighbourFiles[file] & own)) score -= isolatedPenalty[file];
        if (popCount(fileMask[file] & own) >= 2) score -= doubledPenalty;
    }

    // Pawns with no own pawn directly left (L) or right (R) of them on the row.
    const Bitboard leftEnds = own & (FILE_A | ~(own << 1));
    const Bitboard rightEnds = own & (FILE_H | ~(own >> 1));
    score -= groupEndPenalty * (popCount(leftEnds) + popCount(rightEnds));
    pawnCache.loosePawns |= leftEnds & rightEnds & ~pawnAttacksOf(own, colour);

    if (passedCount > 0) {
        score += anyPassedBonus;
        const Bitboard supported = pawnCache.passedPawns & own & ~pawnCache.loosePawns;
        score += supportedPassedBonus * popCount(supported);
        if (supported & enemyHalf[colour]) score += advancedSupportBonus;
    }
    return score;
}
