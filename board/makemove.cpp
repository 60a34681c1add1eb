#include "board/makemove.h"

GameHistory history;

namespace {

// Square of the piece a capture removes: beside the pawn for en passant.
int capturedSquare(Move m, int mover) {
    int t = moveTo(m);
    if (!(m & EN_PASSANT)) return t;
    return mover == BLACK ? t - 8 : t + 8;
}

constexpr int leftCorner(int colour) { return colour == WHITE ? 56 : 0; }
constexpr int rightCorner(int colour) { return colour == WHITE ? 63 : 7; }

// pstSum may hold any offset from its recount (see boardIsConsistent), but a
// move changes both by the same amount.
struct PstOffsets {
    int white = board.pstSum[WHITE] - pstRecount(WHITE);
    int black = board.pstSum[BLACK] - pstRecount(BLACK);
    bool operator==(const PstOffsets&) const = default;
};

[[gnu::always_inline]] inline void makePieces(Move m) {
    const int s = board.sideToMove, o = board.opponent;
    const int f = moveFrom(m), t = moveTo(m);
    const int piece = board.squares[f];
    const int placed = (m & PROMOTION) ? movePromoted(m) : piece;
    assertConsistent(piece != NOPIECE && placed != NOPIECE);
    if (!(m & (PROMOTION | CASTLING)) && f != t) {
        // The common case: take off what the piece captures, then slide it over.
        if (m & CAPTURE) {
            const int x = capturedSquare(m, s);
            assertConsistent(board.squares[x] == moveCaptured(m));
            removePiece(x, moveCaptured(m), o);
        }
        movePiece(f, t, piece, s);
    } else {
        removePiece(f, piece, s);
        if (m & CAPTURE) {
            const int x = capturedSquare(m, s);
            assertConsistent(board.squares[x] == moveCaptured(m));
            removePiece(x, moveCaptured(m), o);
        }
        placePiece(t, placed, s);
        if (m & CASTLE_LONG) {
            board.leftRookMoved[s] += 1;
            movePiece(f - 4, f - 1, ROOK, s);
            board.castled[s] += 1;
        }
        if (m & CASTLE_SHORT) {
            board.rightRookMoved[s] += 1;
            movePiece(f + 3, f + 1, ROOK, s);
            board.castled[s] += 1;
        }
    }
    if (piece == KING) {
        board.kingMoved[s] += 1;
    } else if (piece == ROOK) {
        if (f == leftCorner(s)) board.leftRookMoved[s] += 1;
        if (f == rightCorner(s)) board.rightRookMoved[s] += 1;
    }
}

[[gnu::always_inline]] inline void unmakePieces(Move m) {
    const int s = board.sideToMove, o = board.opponent;
    const int f = moveFrom(m), t = moveTo(m);
    const int piece = board.squares[t];
    const int restored = (m & PROMOTION) ? int(PAWN) : piece;
    if (!(m & (PROMOTION | CASTLING)) && f != t) {
        movePiece(t, f, piece, s);
        if (m & CAPTURE) placePiece(capturedSquare(m, s), moveCaptured(m), o);
    } else {
        removePiece(t, piece, s);
        if (m & CAPTURE) placePiece(capturedSquare(m, s), moveCaptured(m), o);
        placePiece(f, restored, s);
        if (m & CASTLE_LONG) {
            board.leftRookMoved[s] -= 1;
            movePiece(f - 1, f - 4, ROOK, s);
            board.castled[s] -= 1;
        }
        if (m & CASTLE_SHORT) {
            board.rightRookMoved[s] -= 1;
            movePiece(f + 1, f + 3, ROOK, s);
            board.castled[s] -= 1;
        }
    }
    if (restored == KING) {
        board.kingMoved[s] -= 1;
    } else if (restored == ROOK) {
        if (f == leftCorner(s)) board.leftRookMoved[s] -= 1;
        if (f == rightCorner(s)) board.rightRookMoved[s] -= 1;
    }
}

}  // namespace

// The checked builds recount the Board around every make and unmake.
void makeMove(Move m) {
    if constexpr (checkEveryMove) {
        const PstOffsets before;
        makePieces(m);
        assertConsistent(boardIsConsistent() && PstOffsets() == before);
    } else {
        makePieces(m);
    }
}

void unmakeMove(Move m) {
    if constexpr (checkEveryMove) {
        const PstOffsets before;
        unmakePieces(m);
        assertConsistent(boardIsConsistent() && PstOffsets() == before);
    } else {
        unmakePieces(m);
    }
}

bool playMove(Move m) {
    if (history.count > GAME_CAPACITY - 1) return false;
    makeMove(m);
    flipSides();
    history.historyMoves[history.count] = m;
    history.historyKeys[history.count] = board.hashKey;
    history.count += 1;
    history.recorded = history.count;
    return true;
}

bool takeBackMove() {
    if (history.count <= 0) return false;
    flipSides();
    history.count -= 1;
    unmakeMove(history.historyMoves[history.count]);
    return true;
}

bool replayMove() {
    if (history.count >= history.recorded) return false;
    makeMove(history.historyMoves[history.count]);
    history.count += 1;
    flipSides();
    return true;
}
