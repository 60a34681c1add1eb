// Threats against a colour's pieces, and the passed-pawn term: free paths,
// the rule of the square in pawn endings, rooks behind passers and a small
// bonus for half-passed pawns. Both read the attack maps of both colours.
#include "board/attacks.h"
#include "eval/evaluate.h"
#include "eval/weights.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

int evaluateThreats(const AttackMap& own, const AttackMap& enemy, int colour) {
    const Bitboard* pb = board.pieceBits;
    const Bitboard attacked = board.colourBits[colour] & enemy[0];

    // Defended pieces attacked by something cheaper (a bishop counts as a knight).
    const Bitboard byMinor = enemy[PAWN] | enemy[KNIGHT] | enemy[BISHOP];
    const Bitboard byRook = byMinor | enemy[ROOK];
    const Bitboard cheaperAttacked = ((pb[KNIGHT] | pb[BISHOP]) & enemy[PAWN]) | (pb[ROOK] & byMinor) |
                                     (pb[QUEEN] & byRook) | (pb[KING] & (byRook | enemy[QUEEN]));

    const int threatened = popCount(attacked & ~own[0]) + popCount(attacked & own[0] & cheaperAttacked);
    int score = THREATENED_PIECE * threatened;
    if (threatened > 1) score += THREATENED_PIECE;
    return score;
}

bool kingCatchesPawn(int square, int colour) {
    const int promotion = colour == WHITE ? colOf(square) : 56 + colOf(square);
    return chebyshevDistance(kingSquare(colour ^ 1), promotion) <= chebyshevDistance(square, promotion);
}

int evaluatePassedPawns(Bitboard passedPawns, Bitboard enemyAttacks, int colour, Bitboard halfPassedPawns) {
    const Bitboard* pb = board.pieceBits;
    const Bitboard own = board.colourBits[colour], enemy = board.colourBits[colour ^ 1];
    if (pb[QUEEN] & own) return 0;

    int score = 0;
    const Bitboard ownPawns = pb[PAWN] & own;
    const bool pawnEnding = !(pb[KNIGHT] | pb[BISHOP] | pb[ROOK] | pb[QUEEN]);
    const Bitboard enemyKing = pb[KING] & enemy;
    for (Bitboard b = passedPawns & ownPawns; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard path = frontSpan[colour][q];
        const int bonus = PASSED_RANK_BONUS[colour][rowOf(q)];
        if (!(path & enemy)) {
            score += bonus / 4;
            if (!(path & enemyAttacks)) score += bonus / 4;
        }
        if (pawnEnding) {
            if (kingAttacks[kingSquare(colour)] & path) {
                score += KING_ESCORTS_PASSER;
                if (squareBit(q) & enemyHalf[colour]) score += ADVANCED_ESCORTED_PASSER;
            }
            if (path & enemyKing) score += ENEMY_KING_BLOCKS_PASSER;
            else if (!kingCatchesPawn(q, colour)) score += bonus;
        }
        if (path & pb[ROOK] & own) score += ROOK_BEHIND_PASSER;
    }
    for (Bitboard b = halfPassedPawns & ownPawns; b; b &= b - 1)
        score += PASSED_RANK_BONUS[colour][rowOf(lowestSquare(b))] / 4;
    return score;
}

ROTOR_BOARD_NAMESPACE_END
