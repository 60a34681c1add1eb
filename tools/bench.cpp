// Search benchmark: the bench positions (app/bench.h), each searched to a
// fixed depth; one line per position and the node total, the signature of
// the search.
//
//   bench [depth [positions]]        default: every position to depth 7
//   bench play [depth [positions]]   the play search, default depth 11
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/bench.h"
#include "board/notation.h"
#include "search/search.h"

namespace {

int argument(int argc, char** argv, int index, int fallback, int low, int high) {
    if (argc <= index) return fallback;
    const int value = std::atoi(argv[index]);
    return value < low ? low : value > high ? high : value;
}

void printLine(const BenchLine& line) {
    char text[8] = "";
    formatMove(line.move, text);
    std::printf("%2d %-6s score %7d nodes %10llu  %s\n", line.number, line.found ? text : "none", line.score,
                (unsigned long long)line.nodes, line.fen);
}

}  // namespace

int main(int argc, char** argv) {
    const bool play = argc > 1 && std::strcmp(argv[1], "play") == 0;
    if (play) {
        --argc;
        ++argv;
    }
    const int depth = argument(argc, argv, 1, play ? PLAY_BENCH_DEPTH : BENCH_DEFAULT_DEPTH, play ? 1 : 2,
                               MAX_ITERATION_DEPTH);
    const int count = argument(argc, argv, 2, benchPositionCount(), 1, benchPositionCount());
    BenchTotal total;
    if (!(play ? runPlayBench : runBench)(depth, count, printLine, total)) return 2;
    std::printf("bench: %llu nodes, %lld ms, %lld nodes/s\n", (unsigned long long)total.nodes,
                (long long)total.milliseconds, (long long)total.nodesPerSecond);
    return 0;
}
