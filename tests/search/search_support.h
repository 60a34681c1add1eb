// Shared set-up for the search tests: a request that keeps the clock, the
// book and the teach table out of the way, and nodes prepared at any ply.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/searchlines.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "search/picker.h"
#include "search/state.h"
#include "search/tt.h"
#include "support/position.h"

// The request the search tests run with: book and teach table off, no
// clock, a fixed depth cap, nothing reported. SearchTest sets it afresh.
inline SearchRequest testRequest;

inline SearchRequest freshTestRequest() {
    SearchRequest request;
    request.depth = 6;
    return request;
}

// Ordering data and the previous iteration's line, as before any search.
inline void clearSearchMemory() {
    clearOrdering();
    std::memset(searchState.followPv, 0, sizeof(searchState.followPv));
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
    resetSearchState(testRequest);
    ttClear();
    clearSearchMemory();
    searchState.nullMoveAllowed = allowNull;
    searchState.iterationDepth = 2;
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

// searchRoot under testRequest with the engine's search lines printed and captured.
inline SearchResult rootSearch(std::string* out) {
    SearchRequest request = testRequest;
    request.reporter = PRINTING_REPORTER;
    ::testing::internal::CaptureStdout();
    const SearchResult result = searchRoot(request);
    *out = ::testing::internal::GetCapturedStdout();
    return result;
}

// Text of a move as the engine prints it.
inline std::string moveText(Move m) {
    char text[8] = "";
    formatMove(m, text);
    return text;
}

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        testRequest = freshTestRequest();
        clearSearchMemory();
    }
    void TearDown() override { board.ply = 0; }
};
