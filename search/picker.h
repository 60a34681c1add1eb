// Staged move selection: hash move, captures best first, killer, quiet moves
// with a history score best first, then the rest (ordered by piece-square
// gain near the root or near the window). Selection is lazy: each step brings
// the best remaining entry to the front of the unread part of the list.
#pragma once
#include "board/move.h"
#include "search/search.h"

struct MovePicker {
    unsigned stage;    // 0..8, the next stage to run; 8 = exhausted
    int cursor;        // next unread entry of the node's list
    int historyEnd;    // end of the quiet moves with a history score
    int usePst;        // remaining quiet moves ordered by piece-square gain
    Move hashMove;     // set by the caller
    Move killer;       // set by the caller
};

constexpr int historyLimit = 30000;

// What the search learns for ordering quiet moves. The history is aged
// between searches and the alpha moves cleared every iteration; the killers
// live on from search to search. clearOrdering empties all three, for a
// search that must not depend on what ran before it.
struct OrderingTables {
    int historyScores[1024];      // colour * 512 + piece * 64 + to, at most historyLimit
    Move killers[PLY_SLOTS];      // by ply: the last quiet move that raised alpha
    Move alphaMoves[PLY_SLOTS];   // by ply: the last move that raised alpha without a cut-off
};
// Forgets what was learned (searchState.ordering, search/state.h).
void clearOrdering();

constexpr int historyIndex(int colour, int piece, int to) { return colour * 512 + piece * 64 + to; }

void resetPicker(MovePicker& picker);
bool nextMove(MovePicker& picker, Move& out, int alpha, int beta);

void scoreCaptures(int first, int last);
int scoreByHistory(int first, int last);
void pickBest(int first, int last);
