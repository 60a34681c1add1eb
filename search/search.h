// The search: root with iterative deepening, alpha-beta with null move,
// extensions and quiescence. A caller hands it a request (the limits and
// which of the engine's knowledge to use) and gets a result back; while it
// runs it reports through the request's reporter and prints nothing itself.
// Scores are from the side to move's view; MATE_SCORE - ply for a king capture.
#pragma once
#include <csignal>
#include <cstdint>

#include "board/move.h"
#include "board/score.h"
#include "search/timeman.h"

constexpr int MAX_PLY = 58;   // a node this deep is not expanded
constexpr int MAX_ITERATION_DEPTH = 50;
// Entries of every table kept by ply (a line, the killers): plies 0..60,
// room past the deepest line and the 0 that ends it.
constexpr int PLY_SLOTS = 61;
static_assert(PLY_SLOTS > MAX_PLY + 1, "a line from the root to MAX_PLY and its end mark");

struct PvLine {
    Move moves[PLY_SLOTS];
};

// What the root tells its caller while it searches.
struct SearchReport {
    int depth;
    Move move;
    int score;
    const Move* pv;          // principal variation from the root move; nullptr in the final report
    int pvLength;            // moves in pv (up to the first 0)
    uint64_t nodes;
    int seconds;             // whole seconds on the search clock
    int64_t milliseconds;    // the same span in milliseconds
    int repetitions;         // draws by repetition found in the tree
    int checkExtensions;
    int recaptures;
    int selDepth;            // deepest ply the search reached
};

// A null function is not called.
struct SearchReporter {
    void (*newBest)(const SearchReport&);     // a root move became best at an iteration
    void (*finished)(const SearchReport&);    // the search result, after the last iteration
    void (*rootRepeated)();                   // the root position already occurred: the game is drawn
    void (*iterationDone)(const SearchReport&) = nullptr;   // an iteration completed, with its best line
    void (*rootMove)(Move move, int number) = nullptr;     // a root move (number from 1) is searched next
};

constexpr SearchReporter QUIET_REPORTER = {nullptr, nullptr, nullptr};

// What a caller asks of one search.
struct SearchRequest {
    TimeLimits time = NO_TIME_LIMITS;   // the protocol's rule (search/timeman.h)
    uint64_t nodes = 0;                 // 0: no node limit (checked at every clock reading)
    int depth = MAX_ITERATION_DEPTH;    // deepest iteration; the first one is of depth 2
    bool (*inputWaiting)() = nullptr;   // looked at with every clock reading; true stops the search
    bool useBook = false;               // the root may take its move from the opening book
    bool useTeach = false;              // the search consults the teach table
    bool recordTeach = false;           // the result is recorded in the teach table
    SearchReporter reporter = QUIET_REPORTER;
    const Move* rootMoves = nullptr;    // the root moves allowed (UCI searchmoves); none: every legal move
    int rootMoveCount = 0;
};

// What the search gives back.
struct SearchResult {
    Move move;      // 0: no move (none legal, no search possible, or out of time before any)
    int score;      // of the move; -MATE_SCORE when no iteration gave one
    int depth;      // the iteration that gave the score; 0 for none (a book move, a single legal move)
    uint64_t nodes; // nodes of this search's tree; 0 when no iteration gave a score
    PvLine line;    // the principal variation at the last improvement, from the root move
};

SearchResult searchRoot(const SearchRequest& request);

// The running search's millisecond budget becomes this span from now (UCI
// ponderhit: the time the "go" gave is counted from the move played).
void countTimeFromNow(int64_t milliseconds);

// Whole seconds the last search that started its clock used: a book move or
// a single legal move starts none.
int lastSearchSeconds();

// Whether the current position is a draw by repetition or by a long
// reversible stretch (at the root: the game is drawn already).
bool isRepetition();

// Set when the engine is asked to end (SIGTERM, SIGHUP): a search stops at
// its next clock reading, TEACH stops after the position it is at, and the
// engine saves and exits as at QUIT.
extern volatile std::sig_atomic_t terminationRequested;
