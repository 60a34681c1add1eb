// The history table: bonuses for moves that raised alpha, aged between searches.
#include "board/board.h"
#include "board/makemove.h"
#include "search/picker.h"
#include "search/state.h"

void updateHistory(Move move, int depth, int score, int beta) {
    int bonus;
    if (score > MATE_FOUND)
        bonus = historyLimit;   // a mate
    else if (score < beta)
        bonus = 2 * depth;
    else
        bonus = 1;              // the move that caused the cut-off
    int& entry = searchState.ordering.historyScores[historyIndex(board.sideToMove, board.squares[moveFrom(move)], moveTo(move))];
    entry = entry + bonus < historyLimit ? entry + bonus : historyLimit;
}

void ageHistory() {
    // One move of each side since the last search: keep a quarter of what was
    // learned; anything else (a new game, a jump in the game) starts afresh.
    const bool continuing = gameRecord.count == searchState.previousSearchCount + 2;
    for (int& entry : searchState.ordering.historyScores) entry = continuing ? entry >> 2 : 0;
    searchState.previousSearchCount = gameRecord.count;
}
