// Static exchange evaluation for the play search. The pieces that take part
// are lifted off the rotated line occupancies while the exchange is played
// out, so that the slider lookups see the pieces behind them (x-rays); the
// occupancies are put back before returning.
#include <algorithm>

#include "board/attacks.h"
#include "board/board.h"
#include "search/play.h"

using namespace threaded;

namespace {

// A king's value larger than any material it could win: taking it ends the
// exchange in the other side's favour, so a king never takes into a guard.
constexpr int SEE_KING_VALUE = 20000;
constexpr int seeValues[8] = {0, PAWN_VALUE, KNIGHT_VALUE, BISHOP_VALUE, ROOK_VALUE, QUEEN_VALUE, SEE_KING_VALUE, 0};
constexpr int MAX_EXCHANGE = 34;   // every piece on the board plus the move

// Lifts a square off the line occupancies and remembers it for restore.
struct Lifted {
    int squares[MAX_EXCHANGE];
    int count = 0;
    void lift(int square) {
        toggleLineBits(square);
        squares[count++] = square;
    }
    ~Lifted() {
        for (int i = 0; i < count; ++i) toggleLineBits(squares[i]);
    }
};

// The sliders attacking the square through the current line occupancies.
Bitboard sliderAttackers(int to) {
    const Bitboard queens = board.pieceBits[QUEEN];
    return (bishopAttacks(to) & (board.pieceBits[BISHOP] | queens)) |
           (rookAttacks(to) & (board.pieceBits[ROOK] | queens));
}

// What the move itself wins, and the value it leaves on the target square.
struct Stake {
    int taken;
    int exposed;
};

Stake stakeOf(Move move) {
    Stake stake{(move & CAPTURE) ? seeValues[moveCaptured(move)] : 0, seeValues[board.squares[moveFrom(move)]]};
    if (move & PROMOTION) {
        stake.taken += seeValues[movePromoted(move)] - PAWN_VALUE;
        stake.exposed = seeValues[movePromoted(move)];
    }
    return stake;
}

}  // namespace

int seeValue(Move move) {
    if (move & CASTLING) return 0;
    const int from = moveFrom(move), to = moveTo(move);
    const Stake stake = stakeOf(move);
    int gain[MAX_EXCHANGE];
    int depth = 0;
    gain[0] = stake.taken;
    int onSquare = stake.exposed;

    Lifted lifted;
    Bitboard occupied = board.colourBits[WHITE] | board.colourBits[BLACK];
    occupied &= ~squareBit(from);
    lifted.lift(from);
    if (move & EN_PASSANT) {
        const int victim = to + (board.sideToMove == WHITE ? 8 : -8);
        occupied &= ~squareBit(victim);
        lifted.lift(victim);
    }
    Bitboard attackers = (attackersOf(to, WHITE) | attackersOf(to, BLACK)) & occupied;

    int side = board.opponent;
    for (;;) {
        const Bitboard own = attackers & board.colourBits[side];
        if (!own) break;
        int piece = PAWN;
        while (!(own & board.pieceBits[piece])) ++piece;   // the least valuable attacker
        const int square = lowestSquare(own & board.pieceBits[piece]);
        ++depth;
        gain[depth] = onSquare - gain[depth - 1];
        onSquare = seeValues[piece];
        occupied &= ~squareBit(square);
        lifted.lift(square);
        if (piece != KNIGHT) attackers |= sliderAttackers(to);
        attackers &= occupied;
        side ^= 1;
        if (depth + 1 >= MAX_EXCHANGE) break;
    }
    while (depth > 0) {
        gain[depth - 1] = -std::max(-gain[depth - 1], gain[depth]);
        --depth;
    }
    return gain[0];
}

// The exchange is worth at most what the move takes (the opponent may not
// answer) and at least that less the piece left on the square (the mover
// may stop after the first recapture): most calls are settled by these bounds.
bool seeAtLeast(Move move, int threshold) {
    if (move & CASTLING) return threshold <= 0;
    const Stake stake = stakeOf(move);
    if (stake.taken < threshold) return false;
    if (stake.taken - stake.exposed >= threshold) return true;
    return seeValue(move) >= threshold;
}
