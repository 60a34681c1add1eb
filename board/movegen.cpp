#include "board/movegen.h"

#include "board/attacks.h"
#include "board/makemove.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

ROTOR_THREAD_LOCAL Move moveStack[MOVE_STACK_CAPACITY];
ROTOR_THREAD_LOCAL int moveScore[MOVE_STACK_CAPACITY];

namespace {


// Appends moves to the current ply's list. The end stays in a register while
// a generator runs and is stored when it is done; a list that would run past
// the stack's capacity is cut short instead of writing outside it.
struct ListWriter {
    int end = plyEnd[board.ply];
    ~ListWriter() { plyEnd[board.ply] = end; }
    void operator()(Move m) {
        if (end < MOVE_STACK_CAPACITY) moveStack[end++] = m;
    }
};

constexpr Bitboard ROW_1 = rowMask(1);
constexpr Bitboard ROW_2 = rowMask(2);
constexpr Bitboard ROW_5 = rowMask(5);
constexpr Bitboard ROW_6 = rowMask(6);
constexpr Bitboard LAST_ROWS = rowMask(0) | rowMask(7);

Bitboard ownPawns() { return board.pieceBits[PAWN] & board.colourBits[board.sideToMove]; }
Bitboard emptySquares() { return ~(board.colourBits[WHITE] | board.colourBits[BLACK]); }

// Captures and promotions of pawns onto the targets, from to + offset.
void emitPawnTargets(ListWriter& emit, Bitboard targets, int offset) {
    while (targets) {
        int to = lowestSquare(targets);
        targets &= targets - 1;
        int from = to + offset;
        int captured = board.squares[to];
        Move flags = captured ? CAPTURE : 0;
        if (squareBit(to) & LAST_ROWS) flags |= PROMOTION;
        assertConsistent(flags != 0);
        if (flags & PROMOTION) {
            emit(encodeMove(from, to, QUEEN, captured, flags));
            emit(encodeMove(from, to, KNIGHT, captured, flags));
        } else {
            emit(encodeMove(from, to, 0, captured, flags));
        }
    }
}

void emitPawnPushes(ListWriter& emit, Bitboard targets, int offset) {
    while (targets) {
        int to = lowestSquare(targets);
        targets &= targets - 1;
        emit(encodeMove(to + offset, to, PAWN_PUSH_MARK, 0, QUIET));
    }
}

void emitEnPassant(ListWriter& emit) {
    Move last = lastMove();
    if (!last) return;
    int e = moveTo(last);
    if (board.squares[e] != PAWN) return;
    int step = moveTo(last) - moveFrom(last);
    if (step != 16 && step != -16) return;
    Bitboard beside = ((squareBit(e) >> 1) & ~FILE_H) | ((squareBit(e) << 1) & ~FILE_A);
    Bitboard capturers = ownPawns() & beside;
    int to = board.sideToMove == BLACK ? e + 8 : e - 8;
    while (capturers) {
        int from = lowestSquare(capturers);
        capturers &= capturers - 1;
        emit(encodeMove(from, to, 0, PAWN, CAPTURE | EN_PASSANT));
    }
}

// Calls visit(from, attacks) for every piece of the type of the side to
// move, squares upwards.
template <int Piece, typename Visit>
[[gnu::always_inline]] inline void visitPieces(Visit& visit) {
    for (Bitboard pieces = board.pieceBits[Piece] & board.colourBits[board.sideToMove]; pieces; pieces &= pieces - 1) {
        const int from = lowestSquare(pieces);
        visit(from, pieceAttacks(Piece, from));
    }
}

// The order of the piece moves in both lists: knights, bishops, rooks,
// queens, then (in the captures) kings.
template <bool WithKings, typename Visit>
[[gnu::always_inline]] inline void visitPiecesInOrder(Visit&& visit) {
    visitPieces<KNIGHT>(visit);
    visitPieces<BISHOP>(visit);
    visitPieces<ROOK>(visit);
    visitPieces<QUEEN>(visit);
    if constexpr (WithKings) visitPieces<KING>(visit);
}

template <bool Captures>
[[gnu::always_inline]] inline void emitTargets(ListWriter& emit, int from, Bitboard targets) {
    for (; targets; targets &= targets - 1) {
        const int to = lowestSquare(targets);
        if (Captures)
            emit(encodeMove(from, to, 0, board.squares[to], CAPTURE));
        else
            emit(encodeMove(from, to, 0, 0, QUIET));
    }
}

// En passant, then the pawns' captures and promotions.
void emitPawnCaptures(ListWriter& emit) {
    emitEnPassant(emit);
    const Bitboard pawns = ownPawns();
    const Bitboard opp = board.colourBits[board.opponent];
    const Bitboard empty = emptySquares();
    if (board.sideToMove == WHITE) {
        emitPawnTargets(emit, (pawns >> 9) & ~FILE_H & opp, 9);
        emitPawnTargets(emit, (pawns >> 7) & ~FILE_A & opp, 7);
        emitPawnTargets(emit, ((pawns & ROW_1) >> 8) & empty, 8);
    } else {
        emitPawnTargets(emit, (pawns << 9) & ~FILE_A & opp, -9);
        emitPawnTargets(emit, (pawns << 7) & ~FILE_H & opp, -7);
        emitPawnTargets(emit, ((pawns & ROW_6) << 8) & empty, -8);
    }
}

void emitPawnQuiets(ListWriter& emit) {
    const Bitboard pawns = ownPawns();
    const Bitboard empty = emptySquares();
    if (board.sideToMove == WHITE) {
        Bitboard single = ((pawns & ~ROW_1) >> 8) & empty;
        emitPawnPushes(emit, single, 8);
        emitPawnPushes(emit, ((single & ROW_5) >> 8) & empty, 16);
    } else {
        Bitboard single = ((pawns & ~ROW_6) << 8) & empty;
        emitPawnPushes(emit, single, -8);
        emitPawnPushes(emit, ((single & ROW_2) << 8) & empty, -16);
    }
}

// The quiet moves of the king (the lowest one, should there be several),
// then castling.
void emitKingQuiets(ListWriter& emit) {
    if (!(board.pieceBits[KING] & board.colourBits[board.sideToMove])) return;
    const int k = kingSquare(board.sideToMove);
    emitTargets<false>(emit, k, kingAttacks[k] & emptySquares());
    if (k != 60 && k != 4) return;
    const Move longCastle = encodeMove(k, k - 2, 0, 0, CASTLE_LONG);
    if (canCastle(longCastle)) emit(longCastle);
    const Move shortCastle = encodeMove(k, k + 2, 0, 0, CASTLE_SHORT);
    if (canCastle(shortCastle)) emit(shortCastle);
}

}  // namespace

ROTOR_THREAD_LOCAL PlyEnds plyEnd;

void generateCaptures() {
    ListWriter emit;
    emitPawnCaptures(emit);
    const Bitboard opp = board.colourBits[board.opponent];
    visitPiecesInOrder<true>([&](int from, Bitboard attacks) { emitTargets<true>(emit, from, attacks & opp); });
}

void generateQuietMoves() {
    ListWriter emit;
    emitPawnQuiets(emit);
    const Bitboard empty = emptySquares();
    visitPiecesInOrder<false>([&](int from, Bitboard attacks) { emitTargets<false>(emit, from, attacks & empty); });
    emitKingQuiets(emit);
}

// The captures, then the quiet moves, as the two generators make them; each
// piece's attacks are looked up once for both.
void generateAllMoves() {
    plyEnd[board.ply] = plyEnd[board.ply - 1];
    if (board.ply >= GENERATION_PLY_LIMIT) return;
    struct PieceAttacks {
        int from;
        Bitboard attacks;
    } pieces[64];
    int count = 0;
    auto collect = [&](int from, Bitboard attacks) { pieces[count++] = {from, attacks}; };
    visitPiecesInOrder<false>(collect);
    const int kingsFrom = count;
    visitPieces<KING>(collect);
    ListWriter emit;
    emitPawnCaptures(emit);
    const Bitboard opp = board.colourBits[board.opponent], empty = emptySquares();
    for (int i = 0; i < count; ++i) emitTargets<true>(emit, pieces[i].from, pieces[i].attacks & opp);
    emitPawnQuiets(emit);
    for (int i = 0; i < kingsFrom; ++i) emitTargets<false>(emit, pieces[i].from, pieces[i].attacks & empty);
    emitKingQuiets(emit);
}

bool canCastle(Move move) {
    const int s = board.sideToMove;
    const int k = kingSquare(s);
    if (board.castled[s]) return false;
    if (board.kingMoved[s] || (k != 60 && k != 4) || board.squares[k] != KING || !isOccupiedBy(k, s))
        return false;
    const int o = board.opponent;
    if (move & CASTLE_LONG) {
        const int b = s == BLACK ? 1 : 57;
        if (board.squares[b] || board.squares[b + 1] || board.squares[b + 2]) return false;
        if (board.leftRookMoved[s] || board.squares[k - 4] != ROOK || !isOccupiedBy(k - 4, s)) return false;
        return !isAttacked(k, o) && !isAttacked(k - 1, o) && !isAttacked(k - 2, o);
    }
    if (move & CASTLE_SHORT) {
        const int f = s == BLACK ? 5 : 61;
        if (board.squares[f] || board.squares[f + 1]) return false;
        if (board.rightRookMoved[s] || board.squares[k + 3] != ROOK || !isOccupiedBy(k + 3, s)) return false;
        return !isAttacked(k, o) && !isAttacked(k + 1, o) && !isAttacked(k + 2, o);
    }
    return false;
}

bool isEnPassantValid(Move move) {
    if (!(move & EN_PASSANT)) return false;
    Move last = lastMove();
    if (!last || board.squares[moveTo(last)] != PAWN) return false;
    int step = moveTo(last) - moveFrom(last);
    if (step != 16 && step != -16) return false;
    return moveTo(last) + pawnStep[board.sideToMove] == moveTo(move) && board.squares[moveTo(move)] == NOPIECE;
}

// Besides the rules of the position, a word that no generator or reader can
// make is refused where making it would break the Board (a damaged teach file
// can hand in any word): a pawn's promotion piece must be knight to queen and
// a pawn word has no castling flag; a castling word moves the king two files
// and has no capture or promotion; other pieces carry neither the promotion
// nor the en passant flag.
bool isPseudoLegal(Move move) {
    const int f = moveFrom(move), t = moveTo(move), s = board.sideToMove;
    if (board.squares[f] == NOPIECE || !isOccupiedBy(f, s)) return false;
    const int piece = board.squares[f];
    if (piece == PAWN) {
        const int a = f + pawnStep[s];
        const int rr = s == BLACK ? rowOf(f) : 7 - rowOf(f);
        if (bool(move & PROMOTION) != (rr == 6)) return false;
        if ((move & PROMOTION) && (movePromoted(move) < KNIGHT || movePromoted(move) > QUEEN)) return false;
        if (move & CASTLING) return false;
        if (move & CAPTURE) {
            // The target must be diagonal to the pawn, on the row in front of it.
            if ((t != a + 1 && t != a - 1) || rowOf(t) != rowOf(a)) return false;
            if (move & EN_PASSANT) return rr == 4 && board.squares[t] == NOPIECE && isEnPassantValid(move);
            return moveCaptured(move) == board.squares[t] && isOccupiedBy(t, board.opponent);
        }
        if (board.squares[t] != NOPIECE) return false;
        if (t == a) return true;
        return t == a + pawnStep[s] && rr == 1 && board.squares[a] == NOPIECE;
    }
    if (move & CASTLING) {
        const Move side = move & CASTLING;
        const int kingTarget = side == CASTLE_LONG ? f - 2 : f + 2;
        if (piece != KING || side == CASTLING || t != kingTarget || (move & (CAPTURE | PROMOTION | EN_PASSANT)))
            return false;
        return canCastle(move);
    }
    if (move & (PROMOTION | EN_PASSANT)) return false;
    const Bitboard attacks = pieceAttacks(piece, f);
    if (move & CAPTURE)
        return moveCaptured(move) == board.squares[t] && (attacks >> t & 1) && isOccupiedBy(t, board.opponent);
    return board.squares[t] == NOPIECE && (attacks >> t & 1);
}

ROTOR_BOARD_NAMESPACE_END
