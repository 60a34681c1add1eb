// Piece activity and king safety for one colour. Each piece adds its
// king-relative table value and small terms for mobility, files, outposts and
// attacks on loose enemy pawns; the king adds a phase-scaled table value and
// shelter terms. Every attack set is recorded in the colour's AttackMap for
// the threat and passed-pawn terms.
#include "board/attacks.h"
#include "eval/evaluate.h"

namespace {

// 0x88 steps of the shelter walk: forward-left, ahead, forward-right.
constexpr int kingForwardSteps[2][3] = {{-17, -16, -15}, {17, 16, 15}};

// Rows of the seventh rank and the back rank.
constexpr Bitboard rookRanks[2] = {rowMask(1) | rowMask(7), rowMask(6) | rowMask(0)};

// A piece on q is an outpost when it stands in the enemy half on files c-f,
// is defended by an own pawn and no pawn stands behind it on its file.
bool isOutpost(int q, int colour, Bitboard pawnDefended) {
    const Bitboard bit = squareBit(q);
    return (bit & enemyHalf[colour] & CENTRE_FILES & pawnDefended) &&
           !(frontSpan[colour ^ 1][q] & board.pieceBits[PAWN]);
}

// Squares above q: the pieces of a type still to visit after the one on q.
inline Bitboard above(int q) { return ~Bitboard(0) << q << 1; }

}  // namespace

int kingShelterOpenness(int square, int colour) {
    const Bitboard ownPawns = board.pieceBits[PAWN] & board.colourBits[colour];
    const int origin = rowOf(square) * 16 + colOf(square);
    int count = 0;
    for (int step : kingForwardSteps[colour]) {
        for (int t = origin + step; !(t & 0x88); t += step) {
            if (ownPawns & squareBit(((t & ~7) >> 1) | (t & 7))) break;
            ++count;
        }
    }
    return count;
}

int evaluatePieces(int colour, AttackMap& map, Bitboard passedPawns, Bitboard loosePawns) {
    const int e = colour ^ 1;
    const Bitboard* pb = board.pieceBits;
    const Bitboard own = board.colourBits[colour], enemy = board.colourBits[e];
    const Bitboard empty = ~(own | enemy);
    const Bitboard ownPawns = pb[PAWN] & own;
    const Bitboard targets = loosePawns & enemy;
    const int enemyKing = kingSquare(e);
    const int8_t(*T)[64] = pieceTables[colour][enemyKing];
    int score = 0;

    const Bitboard pawnAttacks = pawnAttacksOf(ownPawns, colour);
    map[PAWN] = pawnAttacks;

    Bitboard all = 0;
    const Bitboard knights = pb[KNIGHT] & own;
    for (Bitboard b = knights; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = knightAttacks[q];
        all |= A;
        score += 2 * popCount(A & targets);
        if (A & knights & above(q)) score += 2;
        score += T[KNIGHT][q];
        if (isOutpost(q, colour, pawnAttacks)) score += 3;
    }
    map[KNIGHT] = all;

    all = 0;
    const Bitboard bishops = pb[BISHOP] & own;
    for (Bitboard b = bishops; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = bishopAttacks(q);
        all |= A;
        score += 2 * popCount(A & targets);
        const int k = popCount(A & empty);
        score += k == 0 ? -3 : k / 2;
        if (b & (b - 1)) score += 8;   // at least two bishops still to visit
        score += T[BISHOP][q];
        if (pawnAttacks & squareBit(q)) score += 1;
        if (isOutpost(q, colour, pawnAttacks)) score += 2;
    }
    map[BISHOP] = all;

    all = 0;
    const Bitboard rooks = pb[ROOK] & own;
    for (Bitboard b = rooks; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = rookAttacks(q);
        all |= A;
        score += 2 * popCount(A & targets);
        if (!(frontSpan[colour][q] & ownPawns)) {
            score += 4;
            if (!(fileMask[colOf(q)] & pb[PAWN])) score += 4;
        }
        if (A & rooks & above(q)) score += 2;
        if (rookRanks[colour] & squareBit(q)) score += 2;
        const int k = popCount(A & empty);
        score += k == 0 ? -2 : k / 2;
        score += T[ROOK][q];
    }
    map[ROOK] = all;

    all = 0;
    const Bitboard queens = pb[QUEEN] & own;
    for (Bitboard b = queens; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = queenAttacks(q);
        all |= A;
        score += 2 * popCount(A & targets);
        if (!(A & empty)) score -= 2;
        if (map[ROOK] & squareBit(q)) score += 2;
        if (map[BISHOP] & squareBit(q)) score += 1;
        score += T[QUEEN][q] - manhattanDistance(enemyKing, q);
    }
    map[QUEEN] = all;

    all = 0;
    const bool enemyHasQueen = pb[QUEEN] & enemy;
    for (Bitboard b = pb[KING] & own; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = kingAttacks[q];
        all |= A;
        score += 2 * popCount(A & targets);
        const int v = T[KING][q];
        if (!pb[PAWN] || board.material[colour] == 5000) {
            score += v - 16;
            continue;
        }
        const int n = opponentPhase(colour);
        score += (-v * n + (8 - n) * v) / 8;
        if (enemyHasQueen) {
            const bool castled = board.castled[colour] != 0;
            if (castled) score += n;
            if (!castled && (board.kingMoved[colour] ||
                             (board.leftRookMoved[colour] && board.rightRookMoved[colour])))
                score -= 4;
            if (!(fileMask[colOf(q)] & ownPawns)) score -= 8;
            if (castled) {
                const int shield = popCount(ownPawns & A & passedSpan[colour][q]);
                if (shield == 0) score -= 12;
                else if (shield == 1) score -= 8;
                score += 6;
            }
            score -= kingShelterOpenness(q, colour) / 2;
            if (!(ownPawns & A & ~(FILE_A | FILE_H))) score -= 4;
        } else if (!(A & ownPawns)) {
            score -= 4;
        }
    }
    map[KING] = all;

    map[0] = map[PAWN] | map[KNIGHT] | map[BISHOP] | map[ROOK] | map[QUEEN] | map[KING];

    const int z = popCount(kingAttacks[enemyKing] & map[0]);
    score += queens ? 2 * z : z;

    // Own passed pawns with an enemy piece on the square in front.
    const Bitboard ownPassed = passedPawns & ownPawns;
    const Bitboard stoppers = colour == WHITE ? ownPassed >> 8 : ownPassed << 8;
    score -= 4 * popCount(stoppers & enemy);
    return score;
}
