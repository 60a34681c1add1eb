// Move generation against reference node counts: every game position at
// depths 1-3 with its legal moves, reached both by playing its moves from the
// start and from its FEN, and the standard positions at depths 1-4.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "board/board.h"
#include "board/makemove.h"
#include "board/perft.h"
#include "support/position.h"
#include "board/perft_data.h"

namespace {

std::string sortedLegalMoves() {
    Move moves[256];
    const int n = legalMoves(moves);
    std::vector<std::string> texts;
    for (int i = 0; i < n; ++i) texts.push_back(coordinateText(moves[i]));
    std::sort(texts.begin(), texts.end());
    std::string joined;
    for (const std::string& t : texts) joined += (joined.empty() ? "" : " ") + t;
    return joined;
}

void expectCase(const GameCase& c, const std::string& how) {
    EXPECT_EQ(sortedLegalMoves(), c.legal) << how << ": " << c.fen;
    for (int depth = 1; depth <= 3; ++depth)
        EXPECT_EQ(perft(depth), c.counts[depth - 1]) << how << " depth " << depth << ": " << c.fen;
    EXPECT_EQ(board.ply, 0);
}

TEST(Perft, ReferenceDataIsComplete) {
    const std::vector<GameCase> games = loadGameCases();
    ASSERT_EQ(games.size(), 40u);
    for (const GameCase& c : games) ASSERT_EQ(c.counts.size(), 3u) << c.fen;
    const std::vector<StandardCase> standard = loadStandardCases();
    ASSERT_EQ(standard.size(), 7u);
    for (const StandardCase& c : standard) ASSERT_EQ(c.counts.size(), 5u) << c.fen;
}

TEST(Perft, GamePositionsReachedByTheirMoves) {
    board.ply = 0;
    for (const GameCase& c : loadGameCases()) {
        newGame();
        ASSERT_TRUE(playMoves(c.moves)) << c.moves;
        expectCase(c, "moves");
    }
}

TEST(Perft, GamePositionsSetUpFromTheirFen) {
    board.ply = 0;
    for (const GameCase& c : loadGameCases()) {
        ASSERT_TRUE(setPosition(c.fen)) << c.fen;
        expectCase(c, "fen");
    }
}

TEST(Perft, StandardPositionsToDepthFour) {
    board.ply = 0;
    for (const StandardCase& c : loadStandardCases()) {
        ASSERT_TRUE(setPosition(c.fen)) << c.fen;
        for (int depth = 1; depth <= 4; ++depth)
            EXPECT_EQ(perft(depth), c.counts[depth - 1]) << "depth " << depth << ": " << c.fen;
    }
}

TEST(Perft, DepthZeroCountsTheNodeItself) {
    board.ply = 0;
    newGame();
    EXPECT_EQ(perft(0), 1u);
}

TEST(Perft, WalkLeavesTheBoardAsItFoundIt) {
    board.ply = 0;
    ASSERT_TRUE(setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"));
    const Board before = board;
    EXPECT_EQ(perft(3), 97862u);
    EXPECT_EQ(std::memcmp(&before, &board, sizeof(Board)), 0);
}

}  // namespace
