// Making and unmaking moves on the one Board, the game record, and walking a
// line from the current position.
//
// makeMove / unmakeMove never touch sideToMove / opponent: callers flip both
// after a make and before an unmake. Unmaking needs nothing but the Move word,
// because it carries the captured piece and the castling counters are counts.
#pragma once
#include "board/board.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

constexpr int GAME_CAPACITY = 299;   // moves a game record can hold
constexpr int RECORD_SIZE = 400;     // game moves plus a line walked from the position, with room

// The game: the moves played, each with the key of the position it led to;
// past them, from slot count on, the slots of a line walked from the current
// position (pushMove). The moves that BACK took and NEXT can replay are kept
// apart, so that walking a line never overwrites them.
struct GameRecord {
    Move moves[RECORD_SIZE];
    HashKey keys[RECORD_SIZE];
    Move takenBack[GAME_CAPACITY];   // by game index, count..recorded-1
    int count;       // game moves applied to the Board
    int recorded;    // game moves recorded; count..recorded-1 can be replayed
    // A game set up from a FEN (UCI) began before its first recorded move:
    // the plies played before it (from the FEN's move number) and the
    // reversible ones among the last of them (its halfmove clock). Zero for
    // a game from the initial position, and at the console.
    int pliesBefore;
    int reversibleBefore;
};

extern ROTOR_THREAD_LOCAL GameRecord gameRecord;

// Plays and records a game move; false when the record is full.
bool playMove(Move m);
// Plays and records a null move, the side to move passing: the record
// holds 0 for it, so no repetition reaches back past it and no en passant
// capture follows it. False when the record is full.
bool playNullMove();

inline void flipSides() {
    board.sideToMove ^= 1;
    board.opponent ^= 1;
}

// BACK and NEXT: false when there is nothing to take back or replay.
bool takeBackMove();
bool replayMove();
// Takes back every game move; replayMove brings them back one by one.
void rewindGame();

// Forgets all but the last `plies` game moves, so that a game longer than the
// record goes on: the repetition test and en passant read no further back.
void keepRecentMoves(int plies);

// makeMove and unmakeMove are inline, built from the steps below: the search
// and perft spend much of their time in them.

// Square of the piece a capture removes: beside the pawn for en passant.
inline int capturedSquare(Move m, int mover) {
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

// The checked builds recount the Board around every make and unmake.
[[gnu::always_inline]] inline void makeMove(Move m) {
    if constexpr (checkEveryMove) {
        const PstOffsets before;
        makePieces(m);
        assertConsistent(boardIsConsistent() && PstOffsets() == before);
    } else {
        makePieces(m);
    }
}

[[gnu::always_inline]] inline void unmakeMove(Move m) {
    if constexpr (checkEveryMove) {
        const PstOffsets before;
        unmakePieces(m);
        assertConsistent(boardIsConsistent() && PstOffsets() == before);
    } else {
        unmakePieces(m);
    }
}

// Walking a line from the current position (the search, perft, a line
// replayed for display): a move of the line is made, recorded with the new
// key in the record slot of its ply past the game moves (where lastMove and
// the repetition test look), the sides flip and the ply steps on; popMove
// undoes it. The null move records 0 for both.
[[gnu::always_inline]] inline void pushMove(Move m) {
    const int slot = gameRecord.count + board.ply;
    makeMove(m);
    gameRecord.moves[slot] = m;
    gameRecord.keys[slot] = board.hashKey;
    flipSides();
    board.ply += 1;
}

[[gnu::always_inline]] inline void popMove(Move m) {
    flipSides();
    board.ply -= 1;
    unmakeMove(m);
}

inline void pushNullMove() {
    const int slot = gameRecord.count + board.ply;
    gameRecord.moves[slot] = 0;
    gameRecord.keys[slot] = 0;
    flipSides();
    board.ply += 1;
}

inline void popNullMove() {
    flipSides();
    board.ply -= 1;
}

ROTOR_BOARD_NAMESPACE_END
