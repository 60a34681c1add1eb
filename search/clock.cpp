// The search clock: calendar seconds, read once every 4096 nodes. The
// reports also carry the elapsed time in milliseconds from a monotonic clock.
#include <chrono>
#include <ctime>

#include "search/search.h"

SearchClock searchClock;
SearchLimits searchLimits;

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
    searchClock = SearchClock{};
    searchClock.startTime = searchClock.lastTime = clockSeconds();
}

volatile std::sig_atomic_t terminationRequested = 0;

bool readClock() {
    SearchClock& c = searchClock;
    c.lastTime = clockSeconds();
    if (c.lastTime < c.startTime) c.startTime = c.lastTime;   // the clock went backwards
    if (searchLimits.moveMilliseconds > 0) {
        if (elapsedMilliseconds() >= searchLimits.moveMilliseconds) c.stop = true;
    } else {
        const int limit = iterationDepth <= settings.MIN_DEPTH ? settings.MAX_TIME : settings.MIN_TIME;
        if (c.lastTime - c.startTime >= limit) c.stop = true;
    }
    if (searchLimits.nodes > 0 && c.nodes >= searchLimits.nodes) c.stop = true;
    if (searchLimits.inputWaiting && searchLimits.inputWaiting()) c.stop = true;
    if (terminationRequested) c.stop = true;
    return c.stop;
}
