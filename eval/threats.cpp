// Threats against a colour's pieces, and the passed-pawn term: free paths,
// the rule of the square in pawn endings, rooks behind passers and a small
// bonus for half-passed pawns. Both read the attack maps of both colours.
#include "board/attacks.h"
#include "eval/evaluate.h"

namespace {

constexpr int threatPenalty = 8;

// Passed pawns in pawn endings, and a rook behind an own passed pawn.
constexpr int kingEscortBonus = 6;       // own king touches the pawn's path
constexpr int advancedEscortBonus = 16;  // ... and the pawn is in the enemy half
constexpr int kingBlockPenalty = 6;      // enemy king on the pawn's path
constexpr int rookBehindBonus = 4;       // an own rook ahead of the pawn on its file

}  // namespace

int evaluateThreats(const AttackMap& own, const AttackMap& enemy, int colour) {
    const Bitboard* pb = board.pieceBits;
    const Bitboard attacked = board.colourBits[colour] & enemy[0];

    // Defended pieces attacked by something cheaper (a bishop counts as a knight).
    const Bitboard byMinor = enemy[PAWN] | enemy[KNIGHT] | enemy[BISHOP];
    const Bitboard byRook = byMinor | enemy[ROOK];
    const Bitboard cheaperAttacked = ((pb[KNIGHT] | pb[BISHOP]) & enemy[PAWN]) | (pb[ROOK] & byMinor) |
                                     (pb[QUEEN] & byRook) | (pb[KING] & (byRook | enemy[QUEEN]));

    const int threatened = popCount(attacked & ~own[0]) + popCount(attacked & own[0] & cheaperAttacked);
    int score = -threatPenalty * threatened;
    if (threatened > 1) score -= threatPenalty;
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
        const int bonus = passedRankBonus[colour][rowOf(q)];
        if (!(path & enemy)) {
            score += bonus / 4;
            if (!(path & enemyAttacks)) score += bonus / 4;
        }
        if (pawnEnding) {
            if (kingAttacks[kingSquare(colour)] & path) {
                score += kingEscortBonus;
                if (squareBit(q) & enemyHalf[colour]) score += advancedEscortBonus;
            }
            if (path & enemyKing) score -= kingBlockPenalty;
            else if (!kingCatchesPawn(q, colour)) score += bonus;
        }
        if (path & pb[ROOK] & own) score += rookBehindBonus;
    }
    for (Bitboard b = halfPassedPawns & ownPawns; b; b &= b - 1)
        score += passedRankBonus[colour][rowOf(lowestSquare(b))] / 4;
    return score;
}
