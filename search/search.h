// The search: root with iterative deepening, alpha-beta with null move,
// extensions and quiescence, the search clock and the history table.
// Scores are from the side to move's view; MATE_SCORE - ply for a king capture.
#pragma once
#include <csignal>
#include <cstdint>

#include "board/board.h"
#include "board/move.h"
#include "board/score.h"

constexpr int MAX_PLY = 58;   // a node this deep is not expanded
constexpr int MAX_ITERATION_DEPTH = 50;
// Entries of every table kept by ply (a line, the killers): plies 0..60,
// room past the deepest line and the 0 that ends it.
constexpr int PLY_SLOTS = 61;
static_assert(PLY_SLOTS > MAX_PLY + 1, "a line from the root to MAX_PLY and its end mark");

struct PvLine {
    Move moves[PLY_SLOTS];
};

// What the search reads of the engine's settings. The commands set it
// (app/settings.h), xboard mode overwrites the limits before every engine
// move, and TEACH saves and restores it around its run.
struct Settings {
    int MIN_TIME;    // seconds: search budget once deeper than MIN_DEPTH
    int MAX_TIME;    // seconds: search budget up to MIN_DEPTH
    int MIN_DEPTH;   // plies
    int USELIB;      // 1: the root may take its move from the opening book
    int USETEACH;    // 1: the search consults the teach table
};

extern Settings settings;

// Whether the root records its result in the teach table (and the engine
// saves the table when it ends). On, unless a protocol's option turns
// learning off.
extern bool teachRecording;

// What the root tells its caller; the search itself prints nothing.
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

// Installed by whoever starts a search; a null function is not called.
struct SearchReporter {
    void (*newBest)(const SearchReport&);     // a root move became best at an iteration
    void (*finished)(const SearchReport&);    // the search result, after the last iteration
    void (*rootRepeated)();                   // the root position already occurred: the game is drawn
    void (*iterationDone)(const SearchReport&) = nullptr;   // an iteration completed, with its best line
    void (*rootMove)(Move move, int number) = nullptr;     // a root move (number from 1) is searched next
};

constexpr SearchReporter QUIET_REPORTER = {nullptr, nullptr, nullptr};
extern SearchReporter searchReporter;   // QUIET_REPORTER until the caller installs another

// Root search state.
extern int searchScore;
extern int searchDepth;
extern int iterationDepth;
extern bool nullMoveAllowed;
extern Move followPv[PLY_SLOTS];   // the previous iteration's line, handed down as each node's first move

// Deepest iteration a search may start: 50 unless a tool lowers it to run a
// search to a fixed depth. No command changes it.
extern int maxIterationDepth;

// The search clock: calendar seconds read every NODES_PER_READING nodes.
// startClock resets it at the start of every search.
struct SearchClock {
    bool stop;                                     // the limit was reached; stays set until startClock
    uint64_t nodes;                                // nodes entered since startClock
    int startTime;                                 // seconds at startClock (moved back if the clock goes back)
    int lastTime;                                  // seconds at the last reading
    int iterationTime[MAX_ITERATION_DEPTH + 1];    // lastTime at the end of each iteration
    int64_t iterationMilliseconds[MAX_ITERATION_DEPTH + 1];   // elapsed at the end of each iteration
    int selDepth;                                  // deepest ply entered, for the reports
};
extern SearchClock searchClock;

// Limits a protocol adds to one search. All zero (none) unless the caller
// sets them before searchRoot, and the caller clears them afterwards. With
// moveMilliseconds set, the search stops on the millisecond clock at that
// span (NO_TIME_LIMIT: never) instead of on the whole-second limits of the
// settings; the clock of the reports goes on in whole seconds as well.
struct SearchLimits {
    int64_t moveMilliseconds;   // 0: the settings' whole-second limits
    uint64_t nodes;             // 0: no node limit (checked at every clock reading)
    bool (*inputWaiting)();     // looked at with every clock reading; true stops the search
    bool wholeSpan;             // the clock alone stops the search: no iteration is left out as too slow
    const Move* rootMoves = nullptr;   // the root moves allowed (UCI searchmoves); none: every legal move
    int rootMoveCount = 0;
};
constexpr int64_t NO_TIME_LIMIT = INT64_MAX;
extern SearchLimits searchLimits;

// What the search counts for its reports; resetCounters clears them.
struct SearchCounters {
    int repetitions;       // nodes ended as a repetition draw
    int checkExtensions;
    int recaptures;        // reported; no rule counts them
};
extern SearchCounters searchCounters;
void resetCounters();

bool searchRoot(Move* result);

// Set when the engine is asked to end (SIGTERM, SIGHUP): a search stops at
// its next clock reading, TEACH stops after the position it is at, and the
// engine saves and exits as at QUIT.
extern volatile std::sig_atomic_t terminationRequested;
// Between iterations: whether the next one is expected to overrun MAX_TIME
// (or the millisecond limit, unless the whole span is to be used), from the
// growth of the last two iterations (from depth 4 on).
bool nextIterationTooSlow();

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

constexpr uint64_t NODES_PER_READING = 4096;

void startClock();
// Reads the clock and sets searchClock.stop when the time limit is reached.
bool readClock();
// Counts a node; every NODES_PER_READING nodes reads the clock. Returns searchClock.stop.
inline bool timeUp() {
    if (searchClock.stop) return true;
    if (board.ply > searchClock.selDepth) searchClock.selDepth = board.ply;
    if (++searchClock.nodes % NODES_PER_READING != 0) return false;
    return readClock();
}
bool isRepetition();
void updateHistory(Move move, int depth, int score, int beta);
void ageHistory();

// Calendar clock in whole seconds.
int clockSeconds();
// Milliseconds since startClock, on a monotonic clock.
int64_t elapsedMilliseconds();
