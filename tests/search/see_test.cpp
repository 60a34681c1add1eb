// Static exchange evaluation against exchanges worked out by hand. It runs on
// the board of the threaded build, as the play search does: this file is
// compiled with ROTOR_THREADED.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board/board.h"
#include "board/fen.h"
#include "board/notation.h"
#include "search/play.h"

using namespace threaded;

namespace {

TEST(StaticExchange, MatchesExchangesWorkedOutByHand) {
    const struct {
        const char* fen;
        const char* move;
        int value;
    } cases[] = {
        {"4k3/8/8/3p4/4P3/8/8/4K3 w -", "e4d5", 100},                  // a free pawn
        {"4k3/8/2p5/3p4/4P3/8/8/4K3 w -", "e4d5", 0},                  // pawn for pawn
        {"4k3/8/2p5/3p4/8/4N3/8/4K3 w -", "e3d5", 100 - 350},          // knight for a guarded pawn
        {"4k3/8/2p5/3p4/8/8/8/3QK3 w -", "d1d5", 100 - 1120},          // queen for a guarded pawn
        {"3rk3/8/8/3r4/8/8/3R4/4K3 w -", "d2d5", 0},                   // rook for rook
        {"3rk3/8/8/3r4/8/8/3R4/3RK3 w -", "d2d5", 540},                // the rook behind wins the last word
        {"8/8/4k3/3p4/8/8/3R4/6K1 w -", "d2d5", 100 - 540},            // the king takes back
        {"8/8/4k3/3p4/8/8/3R4/3R2K1 w -", "d2d5", 100},                // the king cannot take back
        {"1r2k3/P7/8/8/8/8/8/4K3 w -", "a7b8q", 540 + 1120 - 100},     // a capture that promotes
        {"4k3/8/8/3p4/8/8/8/3NK3 w -", "d1c3", 0},                     // a quiet move to a safe square
        {"4k3/8/8/3p4/8/8/8/2N1K3 w -", "c1b3", 0},
        {"4k3/8/4p3/8/8/8/8/3NK3 w -", "d1e3", 0},
        {"4k3/8/8/4p3/8/8/8/3NK3 w -", "d1f2", 0},
        {"4k3/8/8/2p5/8/8/8/2N1K3 w -", "c1b3", 0},
        {"4k3/8/8/2p5/8/8/8/3NK3 w -", "d1b2", 0},
        {"4k3/8/8/8/2p5/8/8/3NK3 w -", "d1b2", 0},
        {"4k3/8/8/8/2p5/8/8/2N1K3 w -", "c1d3", -350},                 // a knight put where a pawn takes it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fen) + " " + c.move);
        ASSERT_TRUE(setPosition(c.fen));
        const Move m = findMove(c.move);
        ASSERT_NE(m, 0u);
        const Board before = board;
        const LineOccupancy occupancy = lineOccupancy;
        EXPECT_EQ(seeValue(m), c.value);
        EXPECT_TRUE(seeAtLeast(m, c.value) && !seeAtLeast(m, c.value + 1));
        EXPECT_EQ(std::memcmp(&board, &before, sizeof(Board)), 0);
        EXPECT_EQ(std::memcmp(&lineOccupancy, &occupancy, sizeof(LineOccupancy)), 0);
    }
}

}  // namespace
