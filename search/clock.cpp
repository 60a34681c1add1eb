// The search clock: calendar seconds, read once every 4096 nodes. The
// reports also carry the elapsed time in milliseconds from a monotonic clock.
#include <chrono>
#include <ctime>

#include "search/search.h"

bool stopSearch = false;
uint64_t nodeCount = 0;
int startTime = 0;
int lastTime = 0;

namespace {
std::chrono::steady_clock::time_point startInstant;
}

int clockSeconds() { return int(std::time(nullptr)); }

int64_t elapsedMilliseconds() {
    const auto elapsed = std::chrono::steady_clock::now() - startInstant;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

void startClock() {
    startInstant = std::chrono::steady_clock::now();
    startTime = lastTime = clockSeconds();
    stopSearch = false;
    nodeCount = 0;
}

bool readClock() {
    lastTime = clockSeconds();
    if (lastTime < startTime) startTime = lastTime;   // the clock went backwards
    const int limit = iterationDepth <= settings.MIN_DEPTH ? settings.MAX_TIME : settings.MIN_TIME;
    if (lastTime - startTime >= limit) stopSearch = true;
    return stopSearch;
}
