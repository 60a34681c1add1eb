// The position validator: each fault found, the first in its fixed order.
#include <gtest/gtest.h>

#include "board/board.h"
#include "board/positioncheck.h"
#include "support/position.h"

namespace {

TEST(PositionCheck, BadPositionsAndTheFirstFault) {
    const struct {
        const char* fen;
        int blackPawnAt;   // a square for a pawn no FEN can place, or -1
        PositionFault first;
    } cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", -1, NO_FAULT},
        {"4k3/8/8/8/8/8/8/4K3 w KQkq -", -1, NO_FAULT},
        {"4k3/8/8/8/8/8/8/8 w - -", -1, KING_COUNT},
        {"4k3/8/8/8/8/8/8/3KK3 b - -", -1, KING_COUNT},
        {"4k3/8/8/8/NNNNNNNN/NNNNNNNN/8/4K3 w - -", -1, TOO_MANY_MEN},
        {"8/8/8/8/NNNNNNNN/NNNNNNNN/8/4K3 w - -", -1, TOO_MANY_MEN},   // White's fault before Black's
        {"4k3/8/8/8/P7/PPPPPPPP/8/4K3 w - -", -1, TOO_MANY_PAWNS},
        {"4k3/8/8/8/8/8/8/4K3 w - -", 63, PAWN_ON_BACK_RANK},
        {"4k3/8/8/8/8/8/8/4RK2 w - -", -1, OPPONENT_IN_CHECK},
        {"4K3/8/8/8/8/8/8/4k3 w KQkq -", -1, CASTLING_FROM_WRONG_SQUARE},
        {"4K3/8/8/8/8/8/8/4k3 w - -", -1, NO_FAULT},
        {"4K3/8/8/8/8/8/8/R3k3 w KQkq -", -1, OPPONENT_IN_CHECK},   // the check before castling
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(setPosition(c.fen)) << c.fen;
        if (c.blackPawnAt >= 0) placePiece(c.blackPawnAt, PAWN, BLACK);
        EXPECT_EQ(positionFault(EVERY_FAULT), c.first) << c.fen;
        EXPECT_EQ(positionFault(c.first), c.first) << c.fen;   // each fault is found when asked alone
    }
    newGame();
}

}  // namespace
