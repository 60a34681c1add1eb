// UCI search reports: the "info" lines of the search's progress and result.
#include <algorithm>
#include <cstdio>

#include "app/uciparts.h"
#include "board/notation.h"
#include "search/tt.h"

namespace {

// Printed from inside the search, so without allocating: the line is built
// in a buffer with room for the longest line.
void printInfo(const SearchReport& r) {
    constexpr int MOVE_TEXT = 6;   // " e7e8q"
    char line[128 + MAX_PLY * MOVE_TEXT];
    char score[24];
    uciScore(r.score, score, sizeof(score));
    const uint64_t rate = r.milliseconds > 0 ? r.nodes * 1000 / uint64_t(r.milliseconds) : 0;
    int length = std::snprintf(line, sizeof(line),
                               "info depth %d seldepth %d multipv 1 score %s nodes %llu nps %llu hashfull %d time %lld pv",
                               r.depth, std::max(r.selDepth, r.depth), score, (unsigned long long)r.nodes,
                               (unsigned long long)rate, ttHashfull(), (long long)r.milliseconds);
    for (int i = 0; i < shownPvLength; ++i)
        length += std::snprintf(line + length, sizeof(line) - size_t(length), " %s", coordinateText(shownPv[i]).c_str());
    send("%s", line);
}

void reportNewBest(const SearchReport& r) {
    takeLegalLine(r.pv, r.pvLength);
    printInfo(r);
}

// The result: after a completed or interrupted iteration, with the line of
// its best move; nothing when no iteration gave a score.
void reportResult(const SearchReport& r) {
    if (r.depth == 0) return;
    if (shownPvLength == 0 || shownPv[0] != r.move) {
        shownPv[0] = r.move;
        shownPvLength = 1;
    }
    printInfo(r);
}

// Every completed iteration: its best line.
void reportIteration(const SearchReport& r) {
    takeLegalLine(r.pv, r.pvLength);
    printInfo(r);
}

void noteRootMove(Move move, int number) {
    currentRootMove = move;
    currentRootMoveNumber = number;
}

void reportRepetition() {
    send("info string the game is drawn: a repeated position, or more than 50 reversible plies");
}

}  // namespace

extern const SearchReporter UCI_REPORTER = {reportNewBest, reportResult, reportRepetition, reportIteration,
                                            noteRootMove};
Move currentRootMove = 0;
int currentRootMoveNumber = 0;

void uciScore(int score, char* text, size_t size) {
    if (score > MATE_FOUND)
        std::snprintf(text, size, "mate %d", (MATE_SCORE - score + 1) / 2);
    else if (score < -MATE_FOUND)
        std::snprintf(text, size, "mate -%d", std::max((MATE_SCORE + score) / 2, 1));
    else
        std::snprintf(text, size, "cp %d", score);
}
