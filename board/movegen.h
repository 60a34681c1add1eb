// Pseudo-legal move generation into a stack of per-ply move lists.
//
// The list of ply p is moveStack[plyEnd[p-1]] .. moveStack[plyEnd[p]-1];
// plyEnd[-1] is always 0. Generators append to the list of board.ply in a
// fixed order that the move ordering relies on for its tie-breaks. Moves may
// leave the mover's king attacked; the search refutes them one ply deeper.
#pragma once
#include "board/board.h"
#include "board/makemove.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

// Headroom past the nominal stack so that a ply never writes outside it, even
// in artificial positions with many queens at every ply of a deep line.
constexpr int MOVE_STACK_CAPACITY = 60 * 320;
constexpr int GENERATION_PLY_LIMIT = 59;

extern ROTOR_THREAD_LOCAL Move moveStack[MOVE_STACK_CAPACITY];
extern ROTOR_THREAD_LOCAL int moveScore[MOVE_STACK_CAPACITY];
// The list ends by ply, valid for indices -1..GENERATION_PLY_LIMIT.
struct PlyEnds {
    int storage[GENERATION_PLY_LIMIT + 2];
    int& operator[](int ply) { return storage[ply + 1]; }
};
extern ROTOR_THREAD_LOCAL PlyEnds plyEnd;

// The move that led to the current node, or 0 (none, or a null move).
inline Move lastMove() {
    const int index = gameRecord.count + board.ply - 1;
    return index >= 0 ? gameRecord.moves[index] : 0;
}

void generateCaptures();
void generateQuietMoves();
void generateAllMoves();

bool canCastle(Move move);
bool isEnPassantValid(Move move);
bool isPseudoLegal(Move move);

// Whether the move word is exactly one that the generators (or the move
// reader, for rook and bishop promotions) produce in the current position.
// Moves taken from the book or from teach.dat are checked with it before use.
bool isPlayableMove(Move move);
// Playable and not leaving the mover's own king attacked.
bool isLegalMove(Move move);

// The one legality test of a pseudo-legal move: makeMove, inCheck before any
// flip (the mover's own king), unmakeMove.
bool leavesKingAttacked(Move move);

// What the legality of all the moves of a position depends on, found once:
// which moves need the full test, and the targets that answer a check.
struct KingShield {
    Bitboard testFrom;   // the king and the pieces pinned to it; every square without exactly one king
    Bitboard checkers;   // pieces attacking the king
    Bitboard evasions;   // in single check: the checker and the squares between it and the king
};
KingShield kingShield();   // for sideToMove

enum Verdict { LEGAL, ILLEGAL, NEEDS_TEST };

// The verdict of leavesKingAttacked where the shield decides it without
// making the move: a piece that is not pinned cannot uncover the king, so
// out of check its moves are legal, and in check they are legal exactly when
// they take the only checker or step between it and the king. King moves
// (castling too), pinned pieces and en passant, which empties two squares,
// need the test.
inline Verdict quickVerdict(Move move, const KingShield& shield) {
    if ((shield.testFrom >> moveFrom(move) & 1) || (move & EN_PASSANT)) return NEEDS_TEST;
    if (!shield.checkers) return LEGAL;
    return (shield.evasions >> moveTo(move) & 1) ? LEGAL : ILLEGAL;
}

// leavesKingAttacked for a move the quick verdict leaves open, mostly without
// making it: a king's step is tested with the king lifted off its square, a
// pinned piece out of check keeps to its line, and in check it cannot help.
// Castling, en passant and a board without exactly one king get the full test.
bool leavesKingAttackedWith(Move move, const KingShield& shield);

// Not leaving the mover's king attacked: the quick verdict, else the test.
inline bool isLegalWith(Move move, const KingShield& shield) {
    const Verdict verdict = quickVerdict(move, shield);
    return verdict == NEEDS_TEST ? !leavesKingAttackedWith(move, shield) : verdict == LEGAL;
}
// Removes from the current ply's list every move that leaves the mover's king
// attacked, keeping the others in generation order.
void dropIllegalRootMoves();
// generateAllMoves, then dropIllegalRootMoves.
void generateLegalMoves();

ROTOR_BOARD_NAMESPACE_END
