// Static evaluation of the current position, from the side to move's view
// (a pawn is 100). Tables are prepared once per search from the root
// position (prepareEvaluation); evaluate runs at every quiescence node. The
// weights of every term are in eval/weights.h.
#pragma once
#include <cstdlib>

#include "board/board.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

enum PhaseClass { OPENING = 0, MIDDLEGAME = 1, ENDGAME = 2 };

// The opponent's remaining pieces as a phase 0..8 (opponentPhase): FULL_PHASE
// for a full set of knights, bishops, rooks and queen, less without a queen.
constexpr int FULL_PHASE = 8;
constexpr int FULL_ARMY = 2 * KNIGHT_VALUE + 2 * BISHOP_VALUE + 2 * ROOK_VALUE + QUEEN_VALUE;
constexpr int QUEENLESS_PHASE_DROP = 3;

// A king-table value v scaled by the opponent's phase n: v itself against a
// bare king, 0 at half the army, -v against the full army (rounded towards 0).
inline int kingPhaseBlend(int v, int n) { return (-v * n + (FULL_PHASE - n) * v) / FULL_PHASE; }

// Per colour, the squares attacked: [0] all, [1..6] by PieceType.
struct AttackMap {
    Bitboard bits[7];
    Bitboard& operator[](int i) { return bits[i]; }
    const Bitboard& operator[](int i) const { return bits[i]; }
};

struct PawnCache {
    Bitboard whitePawnKey;
    Bitboard blackPawnKey;
    int pawnScore[2];
    Bitboard passedPawns;       // both colours
    Bitboard halfPassedPawns;   // both colours
    Bitboard loosePawns;        // both colours
};

extern ROTOR_THREAD_LOCAL AttackMap whiteAttacks, blackAttacks;

// The entry of the pawns evaluated last. The pawn term reads nothing but the
// two pawn sets (and the masks, built once), so an entry stays valid for as
// long as its keys match.
extern ROTOR_THREAD_LOCAL PawnCache pawnCache;

// A key no board has (both colours on every square): marks an empty entry.
constexpr Bitboard NO_PAWN_KEY = ~Bitboard(0);

// The pawn table behind pawnCache: entries indexed by a hash of the two pawn
// sets and matched on both sets exactly; a new configuration replaces the
// entry in its slot. One entry per cache line. Cleared when the masks are built.
constexpr int PAWN_TABLE_BITS = 14;
constexpr int PAWN_TABLE_SIZE = 1 << PAWN_TABLE_BITS;
struct alignas(64) PawnEntry {
    PawnCache cache;
};
extern ROTOR_THREAD_LOCAL PawnEntry pawnTable[PAWN_TABLE_SIZE];
int pawnTableIndex(Bitboard whitePawns, Bitboard blackPawns);
void clearPawnTable();

// Tables set each search: a copy of the spread tables of the root's phase class.
extern ROTOR_THREAD_LOCAL int8_t pieceTables[2][64][8][64];   // [colour][enemy king square][piece][square]

// Masks built on the first preparation.
extern Bitboard fileMask[8];
extern Bitboard neighbourFiles[8];
extern Bitboard passedSpan[2][64];
extern Bitboard frontSpan[2][64];
extern const Bitboard enemyHalf[2];

// Files c to f on every row.
constexpr Bitboard CENTRE_FILES = 0x3C3C3C3C3C3C3C3Cull;

// Whether the masks have been built (they are built by the first preparation).
extern bool masksBuilt;
void buildMasks();

int evaluate(int alpha, int beta);
void prepareEvaluation();

void spreadTable(int piece, int enemyKing, int weight, int colour, int phase, int out[64]);
int gamePhaseClass();
bool isPassedSquare(int square, int colour);

// The opponent's knights, bishops, rooks and queens as a phase 0..FULL_PHASE.
inline int opponentPhase(int colour) {
    const int o = colour ^ 1;
    const int pawns = popCount(board.pieceBits[PAWN] & board.colourBits[o]);
    const int pieces = board.material[o] - PAWN_VALUE * pawns - KING_VALUE;
    int n = pieces * FULL_PHASE / FULL_ARMY;
    if (!(board.pieceBits[QUEEN] & board.colourBits[o])) n -= QUEENLESS_PHASE_DROP;
    return n < 0 ? 0 : n > FULL_PHASE ? FULL_PHASE : n;
}

inline int chebyshevDistance(int a, int b) {
    const int files = std::abs(colOf(a) - colOf(b)), rows = std::abs(rowOf(a) - rowOf(b));
    return files > rows ? files : rows;
}

inline int manhattanDistance(int a, int b) { return std::abs(colOf(a) - colOf(b)) + std::abs(rowOf(a) - rowOf(b)); }

int evaluatePawns(int colour);
int evaluatePieces(int colour, AttackMap& map, Bitboard passedPawns, Bitboard loosePawns);
int kingShelterOpenness(int square, int colour);
int evaluateThreats(const AttackMap& own, const AttackMap& enemy, int colour);
int evaluatePassedPawns(Bitboard passedPawns, Bitboard enemyAttacks, int colour, Bitboard halfPassedPawns);
bool kingCatchesPawn(int square, int colour);

ROTOR_BOARD_NAMESPACE_END
