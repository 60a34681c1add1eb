#include "board/makemove.h"

#include <cstring>

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

bool playNullMove() {
    if (history.count > GAME_CAPACITY - 1) return false;
    flipSides();
    history.historyMoves[history.count] = 0;
    history.historyKeys[history.count] = board.hashKey;   // the key has no side term
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

void keepRecentHistory(int plies) {
    const int dropped = history.count - plies;
    if (plies < 0 || dropped <= 0) return;
    const int kept = history.recorded - dropped;
    std::memmove(history.historyMoves, history.historyMoves + dropped, sizeof(Move) * kept);
    std::memmove(history.historyKeys, history.historyKeys + dropped, sizeof(HashKey) * kept);
    history.count -= dropped;
    history.recorded = kept;
}
