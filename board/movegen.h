// Pseudo-legal move generation into a stack of per-ply move lists.
//
// The list of ply p is moveStack[plyEnd[p-1]] .. moveStack[plyEnd[p]-1];
// plyEnd[-1] is always 0. Generators append to the list of board.ply in a
// fixed order that the move ordering relies on for its tie-breaks. Moves may
// leave the mover's king attacked; the search refutes them one ply deeper.
#pragma once
#include "board/board.h"

constexpr int MOVE_STACK_SIZE = 6000;
// Headroom past the nominal stack so that a ply never writes outside it, even
// in artificial positions with many queens at every ply of a deep line.
constexpr int MOVE_STACK_CAPACITY = 60 * 320;
constexpr int GENERATION_PLY_LIMIT = 59;

extern Move moveStack[MOVE_STACK_CAPACITY];
extern int moveScore[MOVE_STACK_CAPACITY];
extern int* const plyEnd;   // valid for indices -1..59

// The move that led to the current node, or 0 (none, or a null move).
Move lastMove();

void generateCaptures();
void generateQuietMoves();
void generateAllMoves();

bool canCastle(Move move);
bool isEnPassantValid(Move move);
bool isPseudoLegal(Move move);
