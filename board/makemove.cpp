#include "board/makemove.h"

#include <cstring>
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

ROTOR_THREAD_LOCAL GameRecord gameRecord;

namespace {

// Makes the move as the game's next one and records it with its key; a
// null move (0) only passes the turn (the key has no side term).
void recordMove(Move m) {
    if (m != 0) makeMove(m);
    flipSides();
    gameRecord.moves[gameRecord.count] = m;
    gameRecord.keys[gameRecord.count] = board.hashKey;
    gameRecord.count += 1;
}

}  // namespace

bool playMove(Move m) {
    if (gameRecord.count > GAME_CAPACITY - 1) return false;
    recordMove(m);
    gameRecord.recorded = gameRecord.count;
    return true;
}

bool playNullMove() { return playMove(0); }

bool takeBackMove() {
    if (gameRecord.count <= 0) return false;
    flipSides();
    gameRecord.count -= 1;
    const Move m = gameRecord.moves[gameRecord.count];
    gameRecord.takenBack[gameRecord.count] = m;
    if (m != 0) unmakeMove(m);
    return true;
}

bool replayMove() {
    if (gameRecord.count >= gameRecord.recorded) return false;
    recordMove(gameRecord.takenBack[gameRecord.count]);
    return true;
}

void rewindGame() {
    while (takeBackMove()) {
    }
}

void keepRecentMoves(int plies) {
    const int dropped = gameRecord.count - plies;
    if (plies < 0 || dropped <= 0) return;
    std::memmove(gameRecord.moves, gameRecord.moves + dropped, sizeof(Move) * plies);
    std::memmove(gameRecord.keys, gameRecord.keys + dropped, sizeof(HashKey) * plies);
    const int kept = gameRecord.recorded - dropped;
    std::memmove(gameRecord.takenBack + plies, gameRecord.takenBack + gameRecord.count,
                 sizeof(Move) * (kept - plies));
    gameRecord.count = plies;
    gameRecord.recorded = kept;
    gameRecord.pliesBefore += dropped;
    gameRecord.reversibleBefore = 0;   // the kept moves reach back further than the fifty-move count
}

ROTOR_BOARD_NAMESPACE_END
