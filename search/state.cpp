#include "search/state.h"

#include "board/makemove.h"

SearchState searchState;
volatile std::sig_atomic_t terminationRequested = 0;

void resetSearchState(const SearchRequest& request) {
    SearchState& s = searchState;
    s.request = request;
    startClock(s.clock);
    s.counters = SearchCounters{};
    s.iterationDepth = 0;
    s.nullMoveAllowed = false;
    for (Move& m : s.followPv) m = 0;
    s.rootPv = PvLine{};
    s.savedPv = PvLine{};
    ageHistory();
}

bool readClock() {
    SearchState& s = searchState;
    SearchClock& c = s.clock;
    if (timeIsUp(c, s.request.time, s.iterationDepth)) c.stop = true;
    if (s.request.nodes > 0 && c.nodes >= s.request.nodes) c.stop = true;
    if (s.request.inputWaiting && s.request.inputWaiting()) c.stop = true;
    if (terminationRequested) c.stop = true;
    return c.stop;
}

int lastSearchSeconds() { return secondsUsed(searchState.clock); }

void countTimeFromNow(int64_t milliseconds) {
    searchState.request.time.milliseconds = elapsedMilliseconds(searchState.clock) + milliseconds;
}
