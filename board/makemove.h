// Making and unmaking moves on the one Board, and the game history.
//
// makeMove / unmakeMove never touch sideToMove / opponent: callers flip both
// after a make and before an unmake. Unmaking needs nothing but the Move word,
// because it carries the captured piece and the castling counters are counts.
#pragma once
#include "board/board.h"

constexpr int GAME_CAPACITY = 299;      // moves a game record can hold
constexpr int HISTORY_SIZE = 400;       // game moves plus the search line, with room

struct GameHistory {
    Move historyMoves[HISTORY_SIZE];
    HashKey historyKeys[HISTORY_SIZE];
    int count;       // game moves applied to the Board
    int recorded;    // game moves recorded; count..recorded-1 can be replayed
};

extern GameHistory history;

void makeMove(Move m);
void unmakeMove(Move m);

// Plays and records a game move; false when the record is full.
bool playMove(Move m);

inline void flipSides() {
    board.sideToMove ^= 1;
    board.opponent ^= 1;
}

// BACK and NEXT: false when there is nothing to take back or replay.
bool takeBackMove();
bool replayMove();
