// UCI "bench": the bench tool's run, with the totals as match runners read them.
#include <string>

#include "app/bench.h"
#include "app/uciparts.h"
#include "board/fen.h"

// bench [depth [positions]]
void benchCommand(const Words& words) {
    int64_t depth = BENCH_DEFAULT_DEPTH, count = benchPositionCount();
    if ((words.size() > 1 && !readNumber(words[1], 2, MAX_ITERATION_DEPTH, depth)) ||
        (words.size() > 2 && !readNumber(words[2], 1, benchPositionCount(), count))) {
        send("info string bench [depth [positions]]: a depth from 2 to %d, 1 to %d positions", MAX_ITERATION_DEPTH,
             benchPositionCount());
        return;
    }
    BenchTotal total;
    runBench(int(depth), int(count), [](const BenchLine& line) {
        send("info string bench position %d bestmove %s nodes %llu", line.number,
             line.found ? coordinateText(line.move).c_str() : "0000", (unsigned long long)line.nodes);
    }, total);
    send("Total time (ms) : %lld", (long long)total.milliseconds);
    send("Nodes searched  : %llu", (unsigned long long)total.nodes);
    send("Nodes/second    : %llu", (unsigned long long)total.nodesPerSecond);
    std::string reason;
    setUpPosition(lastPosition, reason);   // the bench used the board
}
