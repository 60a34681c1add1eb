// The play search: a selective search for games over the same board, move
// generator and evaluation as the fixed-depth search of search.h, which it
// leaves untouched. Legal moves only; principal variation search with
// aspiration windows; a transposition table kept from move to move;
// reductions and pruning; a clock with a soft and a hard budget.
//
// The search prints nothing: the caller installs a reporter. Everything a
// search thread owns (ordering tables, stacks, counters, lines) lives in one
// PlayThread record.
#pragma once
#include <atomic>
#include <cstdint>

#include "board/move.h"
#include "board/score.h"
#include "search/timeman.h"

constexpr int PLAY_MAX_PLY = 58;          // the move stack and the game record's search slots hold no more
constexpr int PLAY_MAX_DEPTH = 50;
constexpr int PLAY_MAX_LINES = 64;        // MultiPV
constexpr int PLAY_MAX_ROOT_MOVES = 256;
constexpr int PLAY_MAX_THREADS = 256;
constexpr int64_t PLAY_NO_TIME_LIMIT = NO_TIME_LIMIT;

// ---------------------------------------------------------------- request

struct PlayLimits {
    int depth = PLAY_MAX_DEPTH;               // deepest iteration
    uint64_t nodes = 0;                       // 0: no node limit
    int64_t softMilliseconds = PLAY_NO_TIME_LIMIT;   // no new iteration past this (scaled by stability)
    int64_t hardMilliseconds = PLAY_NO_TIME_LIMIT;   // the search stops here
    bool wholeSpan = false;                   // a fixed move time: used to its end, no early stop
};

// Shared with whoever controls the search while it runs (the protocol's
// input check, a later thread pool): the search reads them between nodes.
struct PlayControl {
    std::atomic<bool> stop{false};
    std::atomic<bool> pondering{false};   // no time limit until it turns false (ponderhit)
    bool (*inputWaiting)() = nullptr;     // looked at with every clock reading; true stops the search
};

struct PlayRequest {
    PlayLimits limits;
    const Move* searchMoves = nullptr;    // allowed root moves (searchmoves); none: every legal move
    int searchMoveCount = 0;
    int lines = 1;                        // MultiPV: 1..PLAY_MAX_LINES
    int reversiblePliesBefore = 0;        // reversible plies before the game record starts (FEN halfmove clock)
};

// ---------------------------------------------------------------- reports

enum PlayBound { PLAY_EXACT = 0, PLAY_LOWER = 1, PLAY_UPPER = 2 };

struct PlayLineReport {
    int depth;
    int selDepth;
    int line;              // 1 for the best line (multipv)
    int score;             // MATE_SCORE - n: mate in n plies
    PlayBound bound;
    uint64_t nodes;
    int64_t milliseconds;
    int hashfull;          // permille of the table written in this game
    const Move* pv;
    int pvLength;
};

// Where the search stands, for an interface's progress display.
struct PlayProgress {
    int depth;             // the iteration
    Move move;             // the root move being searched
    int moveNumber;        // its place in the root list, from 1
    uint64_t nodes;
    int64_t milliseconds;
};

struct PlayReporter {
    void (*line)(const PlayLineReport&);   // each line at every completed depth, best first
    void (*progress)(const PlayProgress&) = nullptr;   // at a clock reading, once a PLAY_PROGRESS_INTERVAL at most
};
constexpr int64_t PLAY_PROGRESS_INTERVAL = 1000;   // milliseconds

struct PlayResult {
    Move best = 0;       // 0: no legal move (or none allowed)
    Move ponder = 0;     // the expected reply, 0 when the line has none
    int score = 0;
    int depth = 0;       // deepest completed iteration
    uint64_t nodes = 0;
};

// Searches the current position (board.ply 0, the game record up to it).
// Prepares the evaluation itself.
PlayResult playSearch(const PlayRequest& request, PlayControl& control, const PlayReporter& reporter);

// ---------------------------------------------------------------- clock

// The play search's clock rule (what a move may take, how much of it to use)
// is the time manager's: search/timeman.h.

// ---------------------------------------------------------------- table

// The table outlives the move: aged by a generation per search, emptied by
// playTableClear (a new game) and resized by playTableResize.
bool playTableResize(int megabytes);   // false: the memory cannot be had, the old table is kept
void playTableClear();
void playTableRelease();               // gives the memory back until the next search
int playTableMegabytes();

// ---------------------------------------------------------------- exchange

// Static exchange evaluation: whether the move wins at least `threshold`
// (in pawn = 100 units) once every capture on its target square is played
// out, each side free to stop, the least valuable attacker first.
bool seeAtLeast(Move move, int threshold);
// The material the exchange wins.
int seeValue(Move move);

// ---------------------------------------------------------------- state

// A new game: an empty table and no ordering data learned.
void playNewGame();
// The threads that search (1..PLAY_MAX_THREADS): the helpers are made here
// and wait, asleep, between searches. Not while a search runs.
void playSetThreads(int count);
