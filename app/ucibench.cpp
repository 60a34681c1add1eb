// UCI "bench": the bench tool's run, with the totals as match runners read them.
#include <string>

#include "app/bench.h"
#include "app/uciparts.h"

// bench [play] [depth [positions]]
void benchCommand(const Words& words) {
    const bool play = words.size() > 1 && lowerCase(words[1]) == "play";
    int depth = 0, count = 0;
    if (!readBenchArguments(Words(words.begin() + (play ? 2 : 1), words.end()), depth, count)) {
        send("info string bench [play] [depth [positions]]: a depth from 2 to %d, 1 to %d positions",
             MAX_ITERATION_DEPTH, benchPositionCount());
        return;
    }
    if (play) printPlayBenchReport(words.size() > 2 ? depth : PLAY_BENCH_DEPTH, count, "info string ");
    else printBenchReport(depth, count, "info string ");
    std::string reason;
    setUpPosition(lastPosition, reason);   // the bench used the board
}
