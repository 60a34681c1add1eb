// The search benchmark: a fixed list of positions, each searched to a fixed
// depth with the book and the teach table off and a clock that never stops
// the search. The node total is the signature of the search: the same on
// every run and machine for the same code. The bench tool and the UCI
// `bench` command both run it.
#pragma once
#include <cstdint>

#include "app/words.h"
#include "board/move.h"

constexpr int BENCH_DEFAULT_DEPTH = 7;
int benchPositionCount();

// One position's result; nodes is 0 when the search gave no searched move
// (none found, or a single legal move played without a search).
struct BenchLine {
    int number;          // 1 for the first position
    const char* fen;
    bool found;
    Move move;
    int score;
    uint64_t nodes;
};

struct BenchTotal {
    uint64_t nodes;
    int64_t milliseconds;
    uint64_t nodesPerSecond;   // 0 when under a millisecond passed
};

// Searches the first `count` positions to `depth` plies, handing each result
// to perPosition; the position is left undefined (the caller sets up its
// own). False when a position cannot be set up.
bool runBench(int depth, int count, void (*perPosition)(const BenchLine&), BenchTotal& total);

// Runs the bench and prints its report on standard output, one line per
// position (after linePrefix) and the totals last, ending in the
// "Nodes searched" and "Nodes/second" lines that testing frameworks read.
void printBenchReport(int depth, int count, const char* linePrefix);

// The words after "bench": [depth [positions]], a depth from 2 to the
// deepest iteration and 1 to all positions; false for anything else.
bool readBenchArguments(const Words& arguments, int& depth, int& count);

// The same positions through the play search (search/play.h), each with an
// empty table of PLAY_BENCH_MEGABYTES and no ordering data: its node total is
// the play search's signature. The table keeps its size setting.
constexpr int PLAY_BENCH_DEPTH = 11;
constexpr int PLAY_BENCH_MEGABYTES = 16;
bool runPlayBench(int depth, int count, void (*perPosition)(const BenchLine&), BenchTotal& total);
// printBenchReport for the play search.
void printPlayBenchReport(int depth, int count, const char* linePrefix);
