#include "app/settings.h"

#include <cstdio>

#include "board/makemove.h"

Settings settings;
PeriodClock xboardClock;

namespace {

// The floors of the console's limits.
constexpr int LEAST_MIN_TIME = 5;
constexpr int LEAST_MIN_DEPTH = 6;

}  // namespace

void setTimeLimits(int minTime, int maxTime, int minDepth) {
    settings.minTime = minTime < LEAST_MIN_TIME ? LEAST_MIN_TIME : minTime;
    settings.maxTime = maxTime < settings.minTime ? settings.minTime : maxTime;
    settings.minDepth = minDepth < LEAST_MIN_DEPTH ? LEAST_MIN_DEPTH : minDepth;
}

SearchRequest settingsRequest(const SearchReporter& reporter) {
    SearchRequest request;
    request.time = TimeLimits{settings.minTime, settings.maxTime, settings.minDepth, 0, false};
    request.depth = settings.maxDepth;
    request.useBook = settings.useBook;
    request.useTeach = settings.useTeach;
    request.recordTeach = settings.recordTeach;
    request.reporter = reporter;
    return request;
}

TimeLimits allotMoveTime() {
    const TimeLimits limits = allotPeriodTime(xboardClock, gameRecord.count);
    settings.minTime = limits.minSeconds;
    settings.maxTime = limits.maxSeconds;
    settings.minDepth = limits.minDepth;
    std::printf("# time limit: %d, pool: %d\n", settings.maxTime, xboardClock.periodPool);
    std::fflush(stdout);
    return limits;
}

void chargeMoveTime() { chargePeriodTime(xboardClock, lastSearchSeconds(), settings.maxTime); }
