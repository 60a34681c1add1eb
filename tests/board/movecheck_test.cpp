#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/perft_data.h"

namespace {

// Every move word the generators make, plus the reader's rook and bishop
// copies of the queen promotions.
std::set<Move> producibleMoves() {
    generateAllMoves();
    std::set<Move> moves;
    for (int i = plyEnd[board.ply - 1]; i < plyEnd[board.ply]; ++i) {
        const Move m = moveStack[i];
        moves.insert(m);
        if ((m & PROMOTION) && movePromoted(m) == QUEEN) {
            moves.insert(withPromoted(m, ROOK));
            moves.insert(withPromoted(m, BISHOP));
        }
    }
    return moves;
}

const char* const checkedPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq -",
    "r3k2r/8/8/8/8/8/8/R3K2R b Kq -",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6",
    "rnbqkbnr/pppp1ppp/8/8/3Pp3/8/PPP1PPPP/RNBQKBNR b KQkq d3",
    "1r2k3/P1P5/8/8/8/8/5p1p/4K1N1 w - -",
    "1r2k3/P1P5/8/8/8/8/5p1p/4K1N1 b - -",
    "4k3/8/8/8/8/8/8/4K2R w K -",
    "8/8/8/3k4/8/8/8/4K3 w - -",
    "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -",
};

TEST(PlayableMove, EveryGeneratedMoveAndPromotionCopyPasses) {
    for (const char* fen : checkedPositions) {
        SCOPED_TRACE(fen);
        ASSERT_TRUE(setPosition(fen));
        const std::set<Move> moves = producibleMoves();
        ASSERT_FALSE(moves.empty());
        for (Move m : moves) EXPECT_TRUE(isPlayableMove(m)) << std::hex << m;
    }
    newGame();
}

// Words near real moves (one bit changed, other fields swapped) and random
// words with an own piece on the from-square pass exactly when they are
// producible.
TEST(PlayableMove, AnyOtherWordIsRefused) {
    std::mt19937 random(12345);
    for (const char* fen : checkedPositions) {
        SCOPED_TRACE(fen);
        ASSERT_TRUE(setPosition(fen));
        const std::set<Move> moves = producibleMoves();
        std::vector<Move> candidates = {0, 0xFFFFFFFFu};
        for (Move m : moves) {
            for (int bit = 0; bit < 32; ++bit) candidates.push_back(m ^ (Move(1) << bit));
            for (int field = 0; field < 8; ++field) {
                candidates.push_back((m & ~0x7000u) | Move(field) << 12);
                candidates.push_back((m & ~0x38000u) | Move(field) << 15);
            }
            for (Move flags = 0; flags < 64; ++flags) candidates.push_back((m & 0x3FFFFu) | flags << 26);
        }
        std::vector<int> own;
        for (int sq = 0; sq < 64; ++sq)
            if (board.colourBits[board.sideToMove] >> sq & 1) own.push_back(sq);
        for (int i = 0; i < 20000; ++i) {
            const int from = own[random() % own.size()];
            const Move fields = Move(random()) & 0xFC03FFFFu;   // to, promoted, captured, flags
            candidates.push_back((fields & ~0xFC0u) | Move(from) << 6);
        }
        for (Move w : candidates) {
            if (isPlayableMove(w) != (moves.count(w) == 1)) {
                ADD_FAILURE() << "word " << std::hex << w;
                break;
            }
        }
        // The check changes nothing in the position.
        EXPECT_EQ(producibleMoves(), moves);
    }
    newGame();
}

TEST(PlayableMove, EnPassantOnlyRightAfterTheDoubleStep) {
    ASSERT_TRUE(setPosition("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6"));
    const Move ep = encodeMove(28, 21, 0, PAWN, CAPTURE | EN_PASSANT);   // e5xf6
    EXPECT_TRUE(isPlayableMove(ep));
    // The same placement without the double step just before.
    ASSERT_TRUE(setPosition("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq -"));
    EXPECT_FALSE(isPlayableMove(ep));
    newGame();
}

TEST(LegalMove, RefusesMovesThatLeaveTheKingAttacked) {
    // The knight on d2 is pinned by the bishop on b4.
    ASSERT_TRUE(setPosition("4k3/8/8/8/1b6/8/3N4/4K3 w - -"));
    const Move pinned = findMove("d2f3");
    EXPECT_EQ(pinned, 0u);
    generateAllMoves();
    Move pseudo = 0;
    for (int i = plyEnd[-1]; i < plyEnd[0]; ++i)
        if (coordinateText(moveStack[i]) == "d2f3") pseudo = moveStack[i];
    ASSERT_NE(pseudo, 0u);
    EXPECT_TRUE(isPlayableMove(pseudo));
    EXPECT_FALSE(isLegalMove(pseudo));
    EXPECT_TRUE(isLegalMove(findMove("e1f1")));
    newGame();
}

TEST(PlayableMove, FlagsMustFitThePieceThatMoves) {
    ASSERT_TRUE(setPosition("r3k3/1P6/8/8/8/8/8/R3K2R w KQ"));
    const Move promotion = findMove("b7b8q");
    ASSERT_NE(promotion, 0u);
    EXPECT_TRUE(isPlayableMove(promotion));
    EXPECT_TRUE(isPlayableMove(withPromoted(promotion, ROOK))) << "an under-promotion typed by a person";
    EXPECT_FALSE(isPlayableMove(withPromoted(promotion, 0)));
    EXPECT_FALSE(isPlayableMove(withPromoted(promotion, PAWN)));
    EXPECT_FALSE(isPlayableMove(withPromoted(promotion, KING)));
    EXPECT_FALSE(isPlayableMove(withPromoted(promotion, 7)));
    EXPECT_TRUE(isPlayableMove(findMove("b7a8n")));
    const Move rook = findMove("a1a5");
    EXPECT_TRUE(isPlayableMove(rook));
    EXPECT_FALSE(isPlayableMove(rook | PROMOTION | (QUEEN << 12))) << "a rook does not promote";
    EXPECT_FALSE(isPlayableMove(rook | 0x00040000u)) << "unused bits set";
    EXPECT_FALSE(isPlayableMove(rook | (Move(PAWN) << 15))) << "a captured piece without the flag";
    EXPECT_FALSE(isPlayableMove(findMove("a1a8") & ~CAPTURE)) << "the flag missing";
    EXPECT_TRUE(isPlayableMove(findMove("a1a8")));
    const Move castle = findMove("e1g1");
    ASSERT_NE(castle, 0u);
    EXPECT_TRUE(isPlayableMove(castle));
    EXPECT_TRUE(isPlayableMove(findMove("e1c1")));
    EXPECT_FALSE(isPlayableMove(castle | CASTLE_LONG)) << "both castling flags";
    EXPECT_FALSE(isPlayableMove(encodeMove(60, 63, 0, 0, CASTLE_SHORT))) << "king not landing on g1";
    EXPECT_FALSE(isPlayableMove(encodeMove(56, 58, 0, 0, CASTLE_SHORT))) << "a rook does not castle";
    EXPECT_FALSE(isPlayableMove(encodeMove(60, 52, 0, PAWN, CAPTURE | EN_PASSANT))) << "a king takes no e.p.";
    EXPECT_FALSE(isPlayableMove(0));
    EXPECT_FALSE(isPlayableMove(encodeMove(20, 28, 0, 0, QUIET))) << "an empty from square";
}

// Counts, over every pseudo-legal move depth plies deep, the shield's
// verdicts and the moves where the shield's test disagrees with the full one.
void compareVerdicts(int depth, int (&verdicts)[3], int& wrong) {
    generateAllMoves();
    const std::vector<Move> moves(moveStack + plyEnd[-1], moveStack + plyEnd[0]);
    const KingShield shield = kingShield();
    for (Move m : moves) {
        const Verdict verdict = quickVerdict(m, shield);
        const bool legal = !leavesKingAttacked(m);
        ++verdicts[verdict];
        if (legal != isLegalWith(m, shield) && wrong++ == 0)
            ADD_FAILURE() << coordinateText(m) << " after " << gameRecord.count << " moves";
        if (legal && depth > 1 && playMove(m)) {
            compareVerdicts(depth - 1, verdicts, wrong);
            takeBackMove();
        }
    }
}

// The reference positions and a few made for pins, double checks and en
// passant, two plies deep: the shield decides most moves, legal and illegal,
// and it and its shortcuts for kings and pinned pieces always agree with the
// full test.
TEST(KingShield, VerdictsAgreeWithTheFullTest) {
    std::vector<std::string> fens = {
        "4k3/8/8/8/1b6/8/3N4/4K3 w - -", "4k3/4r3/8/8/1b6/8/3N4/4K3 w - -",
        "8/8/8/KPp4r/8/8/8/4k3 w - c6", "4k3/8/8/8/8/5n2/8/r3K2R w K -", "8/8/8/8/k2Pp2Q/8/8/3K4 b - d3"};
    for (const GameCase& c : loadGameCases()) fens.push_back(c.fen);
    int verdicts[3] = {}, wrong = 0;
    for (const std::string& fen : fens) {
        SCOPED_TRACE(fen);
        ASSERT_TRUE(setPosition(fen));
        compareVerdicts(2, verdicts, wrong);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(verdicts[LEGAL], 4 * verdicts[NEEDS_TEST]);
    EXPECT_GT(verdicts[ILLEGAL], 0);
    newGame();
}

}  // namespace
