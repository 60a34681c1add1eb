#include "board/makemove.h"

GameHistory history;

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
