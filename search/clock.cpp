// The search clock: calendar seconds, read once every 4096 nodes.
#include <ctime>

#include "app/settings.h"
#include "search/search.h"

bool stopSearch = false;
uint64_t nodeCount = 0;
int startTime = 0;
int lastTime = 0;

int clockSeconds() { return int(std::time(nullptr)); }

void startClock() {
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
