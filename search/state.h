// The state a running search owns, in one record, and the search's inner
// functions that work on it. What all searches share stays outside: the
// transposition table, the teach table, the evaluation's prepared tables.
//
// There is one SearchState (searchState) for the one search that runs. A
// second search thread would need a second one and, besides it, its own copy
// of what the search writes through the board layer's globals: the Board
// (board), the four line occupancies inside the LineTables (rankLines.occupied
// and the others), the move-list stack (moveStack, moveScore, plyEnd), the
// game record's slots from count on (walked with pushMove), the check memo
// behind inCheck, and the evaluation's scratch (the attack maps, the pawn
// cache and the pawn table).
#pragma once
#include "board/board.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/timeman.h"

// What the search counts for its reports.
struct SearchCounters {
    int repetitions;       // nodes ended as a repetition draw
    int checkExtensions;
    int recaptures;        // reported; no rule counts them
    int selDepth;          // deepest ply entered
};

struct SearchState {
    SearchRequest request;      // what this search was asked
    SearchClock clock;          // nodes, stop, readings
    SearchCounters counters;
    int iterationDepth;         // the iteration in progress
    bool nullMoveAllowed;       // set once per search from the material
    Move followPv[PLY_SLOTS];   // the previous iteration's line, handed down as each node's first move
    PvLine rootPv;              // handed to the root's children
    PvLine savedPv;             // the root line at the last improvement
    int score;                  // the result so far: -MATE_SCORE before any
    int depth;                  // the iteration of score; 0 before any
    // Learned for ordering and carried from search to search: the killers
    // kept, the history aged (ageHistory), the alpha moves cleared every
    // iteration; clearOrdering forgets all of it.
    OrderingTables ordering;
    int previousSearchCount;    // game moves at the previous search, for the ageing
};

extern SearchState searchState;

// The one reset at the start of a search's tree: the request, the clock,
// the counters and the lines; the ordering tables are aged.
void resetSearchState(const SearchRequest& request);

// How a node was reached. The reply to a null move tries no null move itself;
// the whole subtree below a null move uses neither the teach table, nor
// followPv, nor the transposition table, and writes no principal variation.
enum NodeFlags : unsigned {
    PLAIN_NODE = 0,
    AFTER_NULL = 1,         // the reply to a null move
    IN_NULL_SUBTREE = 2,    // inherited by every descendant
};

int alphaBeta(int alpha, int beta, int depth, PvLine* pv, Move* bestMove, unsigned flags);
int quiesce(int alpha, int beta);

// Reads the clock and the other limits of the request; sets clock.stop when
// one is reached.
bool readClock();
// Counts a node; every NODES_PER_READING nodes reads the clock. Returns clock.stop.
inline bool timeUp() {
    SearchClock& clock = searchState.clock;
    if (clock.stop) return true;
    if (board.ply > searchState.counters.selDepth) searchState.counters.selDepth = board.ply;
    if (++clock.nodes % NODES_PER_READING != 0) return false;
    return readClock();
}

void updateHistory(Move move, int depth, int score, int beta);
void ageHistory();
