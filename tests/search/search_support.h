// Shared set-up for the search tests: settings that keep the clock, the book
// and the teach table out of the way, and nodes prepared at any ply.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/searchlines.h"
#include "app/settings.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/tt.h"
#include "support/position.h"

// Ordering data and the previous iteration's line, as before any search.
inline void clearSearchMemory() {
    clearOrdering();
    std::memset(followPv, 0, sizeof(followPv));
}

// The current position as a node at the given ply below a root reached by
// null moves (no last move), with a fresh clock, table and ordering data.
inline void prepareNode(int ply, bool allowNull = false) {
    board.ply = ply;
    for (int p = -1; p < ply; ++p) plyEnd[p] = 0;
    for (int p = 0; p < ply; ++p) {
        gameRecord.moves[gameRecord.count + p] = 0;
        gameRecord.keys[gameRecord.count + p] = 0;
    }
    startClock();
    resetCounters();
    ttClear();
    clearSearchMemory();
    nullMoveAllowed = allowNull;
    iterationDepth = 2;
}

// alphaBeta on the current position at the given ply, null moves off.
inline int searchNode(int ply, int alpha, int beta, int depth, Move* best = nullptr, unsigned flags = PLAIN_NODE) {
    prepareNode(ply);
    PvLine pv;
    std::memset(&pv, 0, sizeof(pv));
    Move scratch = 0;
    const int score = alphaBeta(alpha, beta, depth, &pv, best ? best : &scratch, flags);
    board.ply = 0;
    return score;
}

// searchRoot with the engine's search lines printed and captured.
inline bool rootSearch(Move* move, std::string* out) {
    const SearchReporter kept = searchReporter;
    searchReporter = PRINTING_REPORTER;
    ::testing::internal::CaptureStdout();
    const bool found = searchRoot(move);
    *out = ::testing::internal::GetCapturedStdout();
    searchReporter = kept;
    return found;
}

// Text of a move as the engine prints it.
inline std::string moveText(Move m) {
    char text[8] = "";
    formatMove(m, text);
    return text;
}

// Book and teach table off, limits the clock never reaches, a fixed depth cap.
class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedSettings = settings;
        savedMaxDepth = maxIterationDepth;
        settings.USELIB = 0;
        settings.USETEACH = 0;
        settings.MIN_TIME = 1 << 29;
        settings.MAX_TIME = 1 << 29;
        settings.MIN_DEPTH = 50;
        maxIterationDepth = 6;
        clearSearchMemory();
    }
    void TearDown() override {
        settings = savedSettings;
        maxIterationDepth = savedMaxDepth;
        board.ply = 0;
    }

    Settings savedSettings{};
    int savedMaxDepth = 0;
};
