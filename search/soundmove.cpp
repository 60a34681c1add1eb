// A check for moves that come from outside the search (the teach file): a
// corrupt record must not reach makeMove, whose consistency checks would end
// the process, nor place a piece the flags do not allow.
#include "board/board.h"
#include "board/movegen.h"
#include "search/search.h"

bool isSoundMove(Move move) {
    if (move == 0 || (move & 0x03FC0000u)) return false;   // bits 18-25 are always 0
    const int from = moveFrom(move), to = moveTo(move);
    const int piece = board.squares[from];
    const bool capture = (move & CAPTURE) != 0;
    if (capture != (moveCaptured(move) != NOPIECE)) return false;
    if ((move & EN_PASSANT) && (piece != PAWN || !capture || moveCaptured(move) != PAWN)) return false;
    if ((move & PROMOTION) && (piece != PAWN || movePromoted(move) < KNIGHT || movePromoted(move) > QUEEN))
        return false;
    if (move & CASTLING) {
        if (piece != KING || (move & (CAPTURE | EN_PASSANT | PROMOTION))) return false;
        if ((move & CASTLING) == CASTLE_LONG) {
            if (to != from - 2) return false;
        } else if ((move & CASTLING) == CASTLE_SHORT) {
            if (to != from + 2) return false;
        } else {
            return false;   // both castling flags
        }
    }
    return isPseudoLegal(move);
}
