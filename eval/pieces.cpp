// Piece activity and king safety for one colour. Each piece adds its
// king-relative table value and small terms for mobility, files, outposts and
// attacks on loose enemy pawns; the king adds a phase-scaled table value and
// shelter terms. Every attack set is recorded in the colour's AttackMap for
// the threat and passed-pawn terms.
#include "board/attacks.h"
#include "eval/evaluate.h"
#include "eval/weights.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

namespace {

// 0x88 steps of the shelter walk: forward-left, ahead, forward-right.
constexpr int kingForwardSteps[2][3] = {{-17, -16, -15}, {17, 16, 15}};

// The squares of the three shelter walks from each square, up to the board
// edge: [colour][square]. The walks are disjoint.
struct ShelterLines {
    Bitboard line[2][3][64];
};

constexpr ShelterLines buildShelterLines() {
    ShelterLines s{};
    for (int c = 0; c < 2; ++c)
        for (int d = 0; d < 3; ++d)
            for (int sq = 0; sq < 64; ++sq)
                for (int t = rowOf(sq) * 16 + colOf(sq) + kingForwardSteps[c][d]; !(t & 0x88); t += kingForwardSteps[c][d])
                    s.line[c][d][sq] |= squareBit(((t & ~7) >> 1) | (t & 7));
    return s;
}
constexpr ShelterLines shelterLines = buildShelterLines();

// Rows of the seventh rank and the back rank.
constexpr Bitboard rookRanks[2] = {rowMask(1) | rowMask(7), rowMask(6) | rowMask(0)};

// What every piece term of one colour reads.
struct Side {
    int colour;
    Bitboard own, enemy, empty;
    Bitboard ownPawns;
    Bitboard pawnAttacks;        // squares the own pawns attack
    Bitboard targets;            // the enemy's loose pawns
    int enemyKing;
    const int8_t (*table)[64];   // pieceTables slice for the enemy king's square
};

// A piece on q is an outpost when it stands in the enemy half on files c-f,
// is defended by an own pawn and no pawn stands behind it on its file.
bool isOutpost(int q, const Side& s) {
    const Bitboard bit = squareBit(q);
    return (bit & enemyHalf[s.colour] & CENTRE_FILES & s.pawnAttacks) &&
           !(frontSpan[s.colour ^ 1][q] & board.pieceBits[PAWN]);
}

// Squares above q: the pieces of a type still to visit after the one on q.
inline Bitboard above(int q) { return ~Bitboard(0) << q << 1; }

// Half a point per empty square attacked; the penalty when there is none.
inline int mobility(Bitboard attacks, const Side& s, int trapped) {
    const int k = popCount(attacks & s.empty);
    return k == 0 ? trapped : k / 2;
}

int evaluateKnights(const Side& s, AttackMap& map) {
    const Bitboard knights = board.pieceBits[KNIGHT] & s.own;
    Bitboard all = 0;
    int score = 0;
    for (Bitboard b = knights; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = knightAttacks[q];
        all |= A;
        score += LOOSE_PAWN_ATTACK * popCount(A & s.targets);
        if (A & knights & above(q)) score += MUTUAL_DEFENCE;
        score += s.table[KNIGHT][q];
        if (isOutpost(q, s)) score += KNIGHT_OUTPOST;
    }
    map[KNIGHT] = all;
    return score;
}

int evaluateBishops(const Side& s, AttackMap& map) {
    Bitboard all = 0;
    int score = 0;
    for (Bitboard b = board.pieceBits[BISHOP] & s.own; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = bishopAttacks(q);
        all |= A;
        score += LOOSE_PAWN_ATTACK * popCount(A & s.targets);
        score += mobility(A, s, BISHOP_TRAPPED);
        if (b & (b - 1)) score += BISHOP_PAIR;   // at least two bishops still to visit
        score += s.table[BISHOP][q];
        if (s.pawnAttacks & squareBit(q)) score += BISHOP_PAWN_DEFENDED;
        if (isOutpost(q, s)) score += BISHOP_OUTPOST;
    }
    map[BISHOP] = all;
    return score;
}

int evaluateRooks(const Side& s, AttackMap& map) {
    const Bitboard rooks = board.pieceBits[ROOK] & s.own;
    Bitboard all = 0;
    int score = 0;
    for (Bitboard b = rooks; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = rookAttacks(q);
        all |= A;
        score += LOOSE_PAWN_ATTACK * popCount(A & s.targets);
        if (!(frontSpan[s.colour][q] & s.ownPawns)) {
            score += ROOK_NO_OWN_PAWN_AHEAD;
            if (!(fileMask[colOf(q)] & board.pieceBits[PAWN])) score += ROOK_OPEN_FILE;
        }
        if (A & rooks & above(q)) score += MUTUAL_DEFENCE;
        if (rookRanks[s.colour] & squareBit(q)) score += ROOK_ON_KEY_RANK;
        score += mobility(A, s, ROOK_TRAPPED);
        score += s.table[ROOK][q];
    }
    map[ROOK] = all;
    return score;
}

// Reads the rook and bishop entries of the map, so it runs after them.
int evaluateQueens(const Side& s, AttackMap& map) {
    Bitboard all = 0;
    int score = 0;
    for (Bitboard b = board.pieceBits[QUEEN] & s.own; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = queenAttacks(q);
        all |= A;
        score += LOOSE_PAWN_ATTACK * popCount(A & s.targets);
        if (!(A & s.empty)) score += QUEEN_TRAPPED;
        if (map[ROOK] & squareBit(q)) score += QUEEN_ROOK_DEFENDED;
        if (map[BISHOP] & squareBit(q)) score += QUEEN_BISHOP_DEFENDED;
        score += s.table[QUEEN][q] - manhattanDistance(s.enemyKing, q);
    }
    map[QUEEN] = all;
    return score;
}

// Shelter terms of a king while the enemy still has a queen.
int kingShelter(const Side& s, int q, Bitboard A, int phase) {
    const int c = s.colour;
    const bool castled = board.castled[c] != 0;
    int score = 0;
    if (castled) score += phase;
    if (!castled && (board.kingMoved[c] || (board.leftRookMoved[c] && board.rightRookMoved[c])))
        score += CASTLING_LOST;
    if (!(fileMask[colOf(q)] & s.ownPawns)) score += KING_FILE_WITHOUT_PAWN;
    if (castled) {
        const int shield = popCount(s.ownPawns & A & passedSpan[c][q]);
        if (shield == 0) score += SHIELD_NONE;
        else if (shield == 1) score += SHIELD_ONE;
        score += CASTLED_KING;
    }
    score -= kingShelterOpenness(q, c) / 2;
    if (!(s.ownPawns & A & ~(FILE_A | FILE_H))) score += KING_WITHOUT_INNER_PAWN;
    return score;
}

int evaluateKing(const Side& s, AttackMap& map) {
    const Bitboard* pb = board.pieceBits;
    const bool enemyHasQueen = pb[QUEEN] & s.enemy;
    Bitboard all = 0;
    int score = 0;
    for (Bitboard b = pb[KING] & s.own; b; b &= b - 1) {
        const int q = lowestSquare(b);
        const Bitboard A = kingAttacks[q];
        all |= A;
        score += LOOSE_PAWN_ATTACK * popCount(A & s.targets);
        const int v = s.table[KING][q];
        if (!pb[PAWN] || board.material[s.colour] == KING_VALUE) {
            score += v + KING_WITHOUT_PAWNS;
            continue;
        }
        const int n = opponentPhase(s.colour);
        score += kingPhaseBlend(v, n);
        if (enemyHasQueen) score += kingShelter(s, q, A, n);
        else if (!(A & s.ownPawns)) score += KING_WITHOUT_PAWN;
    }
    map[KING] = all;
    return score;
}

}  // namespace

int kingShelterOpenness(int square, int colour) {
    const Bitboard ownPawns = board.pieceBits[PAWN] & board.colourBits[colour];
    int count = 0;
    for (const auto& walk : shelterLines.line[colour]) {
        const Bitboard line = walk[square], stops = line & ownPawns;
        // The walk counts the squares before the nearest own pawn: White walks
        // towards lower squares (the nearest stop is the highest), Black higher.
        Bitboard before = line;
        if (stops && colour == WHITE) before &= ~Bitboard(0) << (63 - __builtin_clzll(stops)) << 1;
        else if (stops) before &= squareBit(lowestSquare(stops)) - 1;
        count += popCount(before);
    }
    return count;
}

int evaluatePieces(int colour, AttackMap& map, Bitboard passedPawns, Bitboard loosePawns) {
    Side s;
    s.colour = colour;
    s.own = board.colourBits[colour];
    s.enemy = board.colourBits[colour ^ 1];
    s.empty = ~(s.own | s.enemy);
    s.ownPawns = board.pieceBits[PAWN] & s.own;
    s.pawnAttacks = pawnAttacksOf(s.ownPawns, colour);
    s.targets = loosePawns & s.enemy;
    s.enemyKing = kingSquare(colour ^ 1);
    s.table = pieceTables[colour][s.enemyKing];

    map[PAWN] = s.pawnAttacks;
    int score = evaluateKnights(s, map);
    score += evaluateBishops(s, map);
    score += evaluateRooks(s, map);
    score += evaluateQueens(s, map);
    score += evaluateKing(s, map);
    map[0] = map[PAWN] | map[KNIGHT] | map[BISHOP] | map[ROOK] | map[QUEEN] | map[KING];

    const int pressure = KING_PRESSURE * popCount(kingAttacks[s.enemyKing] & map[0]);
    score += board.pieceBits[QUEEN] & s.own ? 2 * pressure : pressure;

    // Own passed pawns with an enemy piece on the square in front.
    const Bitboard ownPassed = passedPawns & s.ownPawns;
    const Bitboard stoppers = colour == WHITE ? ownPassed >> 8 : ownPassed << 8;
    score += BLOCKED_PASSER * popCount(stoppers & s.enemy);
    return score;
}

ROTOR_BOARD_NAMESPACE_END
