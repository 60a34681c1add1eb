// Checks of move words: whether a word that comes from outside the move
// generators (the book, teach.dat) is one they produce here, and whether a
// move leaves the mover's own king attacked.
//
// makeMove trusts its input (it places the promoted piece, moves a rook for a
// castling flag, removes the captured piece named in the word), so a
// corrupted or hand-made word must never reach it.
#include "board/attacks.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

namespace {

bool onLastRow(int square, int colour) { return rowOf(square) == (colour == WHITE ? 0 : 7); }

// The word the generators would produce for this from- and to-square, with
// the move's own castling, en passant and promotion choice.
Move expectedWord(Move move) {
    const int f = moveFrom(move), t = moveTo(move);
    const int piece = board.squares[f];
    if (move & CASTLE_LONG) return encodeMove(f, f - 2, 0, 0, CASTLE_LONG);
    if (move & CASTLE_SHORT) return encodeMove(f, f + 2, 0, 0, CASTLE_SHORT);
    if (move & EN_PASSANT) return encodeMove(f, t, 0, PAWN, CAPTURE | EN_PASSANT);
    const int captured = board.squares[t];
    if (piece == PAWN && onLastRow(t, board.sideToMove)) {
        const int promoted = movePromoted(move);
        if (promoted < KNIGHT || promoted > QUEEN) return 0;
        return encodeMove(f, t, promoted, captured, PROMOTION | (captured ? CAPTURE : 0));
    }
    if (captured) return encodeMove(f, t, 0, captured, CAPTURE);
    return encodeMove(f, t, piece == PAWN ? 1 : 0, 0, QUIET);
}

}  // namespace

bool isPlayableMove(Move move) {
    if (move == 0) return false;
    const int f = moveFrom(move);
    if (board.squares[f] == NOPIECE || !isOccupiedBy(f, board.sideToMove)) return false;
    if ((move & CASTLING) && board.squares[f] != KING) return false;
    if ((move & EN_PASSANT) && board.squares[f] != PAWN) return false;
    return move == expectedWord(move) && isPseudoLegal(move);
}

bool leavesKingAttacked(Move move) {
    makeMove(move);
    const bool attacked = inCheck();   // before any flip: the mover's own king
    unmakeMove(move);
    return attacked;
}

bool leavesKingAttackedWith(Move move, const KingShield& shield) {
    const Bitboard kings = board.pieceBits[KING] & board.colourBits[board.sideToMove];
    if ((move & (CASTLING | EN_PASSANT)) || popCount(kings) != 1) return leavesKingAttacked(move);
    const int king = lowestSquare(kings), from = moveFrom(move), to = moveTo(move);
    if (from == king) {
        toggleLineBits(from);   // the king must not shelter its target from a slider behind it
        const bool attacked = isAttacked(to, board.opponent);
        toggleLineBits(from);
        return attacked;
    }
    if (shield.checkers) return true;
    const bool onLine = (betweenSquares[king][from] >> to & 1) || (betweenSquares[king][to] >> from & 1);
    return !onLine;
}

bool isLegalMove(Move move) { return isPlayableMove(move) && !leavesKingAttacked(move); }

KingShield kingShield() {
    const int s = board.sideToMove, o = board.opponent;
    const Bitboard kings = board.pieceBits[KING] & board.colourBits[s];
    if (popCount(kings) != 1) return {~Bitboard(0), 0, 0};
    const int k = lowestSquare(kings);
    const Bitboard occupied = board.colourBits[WHITE] | board.colourBits[BLACK];
    const Bitboard queens = board.pieceBits[QUEEN] & board.colourBits[o];
    Bitboard snipers = (bishopRays(k) & (board.pieceBits[BISHOP] | queens) & board.colourBits[o]) |
                       (rookRays(k) & (board.pieceBits[ROOK] | queens) & board.colourBits[o]);
    KingShield shield{kings, attackersOf(k, o), 0};
    while (snipers) {
        const Bitboard between = betweenSquares[k][lowestSquare(snipers)] & occupied;
        snipers &= snipers - 1;
        if (popCount(between) == 1) shield.testFrom |= between & board.colourBits[s];
    }
    if (popCount(shield.checkers) == 1)
        shield.evasions = shield.checkers | betweenSquares[k][lowestSquare(shield.checkers)];
    return shield;
}

void dropIllegalRootMoves() {
    const KingShield shield = kingShield();
    const int first = plyEnd[board.ply - 1];
    int kept = first;
    for (int i = first; i < plyEnd[board.ply]; ++i)
        if (isLegalWith(moveStack[i], shield)) moveStack[kept++] = moveStack[i];
    plyEnd[board.ply] = kept;
}

void generateLegalMoves() {
    generateAllMoves();
    dropIllegalRootMoves();
}

ROTOR_BOARD_NAMESPACE_END
