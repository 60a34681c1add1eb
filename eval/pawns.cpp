// Pawn structure: square values, passed and supported passed pawns, isolated
// and doubled pawns, and the ends of each horizontal group of pawns. Also
// sorts the pawns into the passed, half-passed and loose sets.
#include "board/attacks.h"
#include "eval/evaluate.h"
#include "eval/weights.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

int evaluatePawns(int colour) {
    const Bitboard own = board.pieceBits[PAWN] & board.colourBits[colour];
    const Bitboard enemy = board.pieceBits[PAWN] & board.colourBits[colour ^ 1];
    int score = 0, passedCount = 0;

    for (Bitboard b = own; b; b &= b - 1) {
        const int q = lowestSquare(b), file = colOf(q);
        score += PAWN_SQUARE_VALUE[colour == WHITE ? q : 63 - q];
        if (!(frontSpan[colour][q] & enemy)) {
            const int freeSides = (file == 0 || !(frontSpan[colour][q - 1] & enemy)) +
                                  (file == 7 || !(frontSpan[colour][q + 1] & enemy));
            if (freeSides == 1) {
                pawnCache.halfPassedPawns |= squareBit(q);
            } else if (freeSides == 2) {
                pawnCache.passedPawns |= squareBit(q);
                score += PASSED_RANK_BONUS[colour][rowOf(q)] + PASSED_PAWN;
                ++passedCount;
            }
        }
        if (!(neighbourFiles[file] & own)) score += ISOLATED_PAWN[file];
        if (popCount(fileMask[file] & own) >= 2) score += DOUBLED_PAWN;
    }

    // Pawns with no own pawn directly left (L) or right (R) of them on the row.
    const Bitboard leftEnds = own & (FILE_A | ~(own << 1));
    const Bitboard rightEnds = own & (FILE_H | ~(own >> 1));
    score += PAWN_GROUP_END * (popCount(leftEnds) + popCount(rightEnds));
    pawnCache.loosePawns |= leftEnds & rightEnds & ~pawnAttacksOf(own, colour);

    if (passedCount > 0) {
        score += ANY_PASSED_PAWN;
        const Bitboard supported = pawnCache.passedPawns & own & ~pawnCache.loosePawns;
        score += SUPPORTED_PASSED_PAWN * popCount(supported);
        if (supported & enemyHalf[colour]) score += ADVANCED_SUPPORTED_PASSED;
    }
    return score;
}

ROTOR_BOARD_NAMESPACE_END
