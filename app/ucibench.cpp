// UCI "bench": the bench tool's run, with the totals as match runners read them.
#include <string>

#include "app/bench.h"
#include "app/uciparts.h"

// bench [depth [positions]]
void benchCommand(const Words& words) {
    int depth = 0, count = 0;
    if (!readBenchArguments(Words(words.begin() + 1, words.end()), depth, count)) {
        send("info string bench [depth [positions]]: a depth from 2 to %d, 1 to %d positions", MAX_ITERATION_DEPTH,
             benchPositionCount());
        return;
    }
    printBenchReport(depth, count, "info string ");
    std::string reason;
    setUpPosition(lastPosition, reason);   // the bench used the board
}
