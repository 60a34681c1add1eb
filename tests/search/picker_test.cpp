#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "search/picker.h"
#include "search/state.h"
#include "support/position.h"

namespace {

// Fresh ordering data and a position at the root (ply 0).
void setUpOrdering(const char* fen) {
    clearOrdering();
    std::memset(pieceSquareTable, 0, sizeof(pieceSquareTable));
    ASSERT_TRUE(setPosition(fen));
    board.ply = 0;
}

// Every move the picker hands out, in order, with the given hash move and killer.
std::vector<std::string> pickAll(Move hash, Move killer, int alpha = -100000, int beta = 100000) {
    MovePicker picker;
    resetPicker(picker);
    picker.hashMove = hash;
    picker.killer = killer;
    std::vector<std::string> out;
    Move m = 0;
    while (nextMove(picker, m, alpha, beta)) out.push_back(coordinateText(m));
    EXPECT_FALSE(nextMove(picker, m, alpha, beta)) << "an exhausted picker stays exhausted";
    return out;
}

int historyIndex(Move m) { return board.sideToMove * 512 + board.squares[moveFrom(m)] * 64 + moveTo(m); }

// White: Kg1, Qh1, Nc3, pawns b2 and e4. Black: Ka8, Qd5, Rh8, Na3.
const char* const capturesFen = "k6r/8/8/3q4/4P3/n1N5/1P6/6KQ w -";

TEST(Picker, CapturesComeBestFirstByVictimAndAttacker) {
    setUpOrdering(capturesFen);
    // Generated as exd5, bxa3, Nxd5, Qxh8; P×Q 31119, N×Q 31118, Q×R 30535, P×N 30349.
    std::vector<std::string> moves = pickAll(0, 0);
    ASSERT_GE(moves.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(moves.begin(), moves.begin() + 4),
              (std::vector<std::string>{"e4d5", "c3d5", "h1h8", "b2a3"}));

    plyEnd[0] = plyEnd[-1];
    generateCaptures();
    scoreCaptures(0, plyEnd[0] - 1);
    ASSERT_EQ(plyEnd[0], 4);
    EXPECT_EQ(moveScore[0], 31119);
    EXPECT_EQ(moveScore[1], 30349);
    EXPECT_EQ(moveScore[2], 31118);
    EXPECT_EQ(moveScore[3], 30535);
}

TEST(Picker, RecaptureOnTheLastMoveSquareGainsBonus) {
    setUpOrdering(capturesFen);
    // Black's last move went to a3: bxa3 is a recapture and overtakes Qxh8.
    gameRecord.moves[0] = encodeMove(41, 40, 0, 0, QUIET);
    gameRecord.count = 1;
    std::vector<std::string> moves = pickAll(0, 0);
    ASSERT_GE(moves.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(moves.begin(), moves.begin() + 4),
              (std::vector<std::string>{"e4d5", "c3d5", "b2a3", "h1h8"}));
    // A last move to h8 makes Qxh8 31075, still below N×Q.
    gameRecord.moves[0] = encodeMove(15, 7, 0, 0, QUIET);
    plyEnd[0] = plyEnd[-1];
    generateCaptures();
    scoreCaptures(0, plyEnd[0] - 1);
    EXPECT_EQ(moveScore[3], 31075);
    EXPECT_EQ(moveScore[2], 31118);
    gameRecord.count = 0;
}

TEST(Picker, PromotionAndEnPassantScores) {
    setUpOrdering("4k3/1P6/8/3pP3/8/8/8/4K3 w - d6");
    plyEnd[0] = plyEnd[-1];
    generateCaptures();
    ASSERT_EQ(plyEnd[0], 3);   // e5xd6 e.p., b8=Q, b8=N
    scoreCaptures(0, 2);
    EXPECT_EQ(coordinateText(moveStack[0]), "e5d6");
    EXPECT_EQ(moveScore[0], 30099);
    EXPECT_EQ(moveScore[1], 31119);
    EXPECT_EQ(moveScore[2], 31119);
}

TEST(Picker, KingCaptureScoresAboveEverything) {
    setUpOrdering("4k3/8/8/8/8/8/3q4/4K2R w -");
    plyEnd[0] = plyEnd[-1];
    generateCaptures();
    // Only Kxd2: the rook on h1 sees nothing to take.
    ASSERT_EQ(plyEnd[0], 1);
    scoreCaptures(0, 0);
    EXPECT_EQ(moveScore[0], 30000 + 1120 - KING);
    setUpOrdering("4k3/8/8/8/8/8/3q4/4K3 b -");
    plyEnd[0] = plyEnd[-1];
    generateCaptures();
    ASSERT_EQ(plyEnd[0], 1);
    scoreCaptures(0, 0);
    EXPECT_EQ(moveScore[0], 35000 - QUEEN);   // the queen takes the king
}

TEST(Picker, HashMoveFirstBeforeGenerationAndOnlyOnce) {
    setUpOrdering(capturesFen);
    const Move hash = findMove("c3b5");
    ASSERT_NE(hash, 0u);
    MovePicker picker;
    resetPicker(picker);
    picker.hashMove = hash;
    plyEnd[0] = 77;   // stale end: the first stage empties the list itself
    Move m = 0;
    ASSERT_TRUE(nextMove(picker, m, -100000, 100000));
    EXPECT_EQ(m, hash);
    EXPECT_EQ(plyEnd[0], 0) << "nothing generated before the hash move";

    std::vector<std::string> all = pickAll(hash, 0);
    generateAllMoves();
    EXPECT_EQ(int(all.size()), plyEnd[0]);
    EXPECT_EQ(std::count(all.begin(), all.end(), "c3b5"), 1);
    EXPECT_EQ(all.front(), "c3b5");
}

TEST(Picker, HashCaptureIsNotRepeatedAmongTheCaptures) {
    setUpOrdering(capturesFen);
    const Move hash = findMove("h1h8");
    std::vector<std::string> moves = pickAll(hash, 0);
    ASSERT_GE(moves.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(moves.begin(), moves.begin() + 4),
              (std::vector<std::string>{"h1h8", "e4d5", "c3d5", "b2a3"}));
    EXPECT_EQ(std::count(moves.begin(), moves.end(), "h1h8"), 1);
}

TEST(Picker, StaleHashMoveIsSkippedSilently) {
    // White's only move is a2-a3; the double step is blocked.
    setUpOrdering("k7/8/8/8/p7/8/P7/8 w -");
    const Move blocked = encodeMove(48, 32, 1, 0, QUIET);
    EXPECT_EQ(pickAll(blocked, 0), (std::vector<std::string>{"a2a3"}));
    const Move only = encodeMove(48, 40, 1, 0, QUIET);
    EXPECT_EQ(pickAll(only, 0), (std::vector<std::string>{"a2a3"}));
    EXPECT_EQ(pickAll(only, only), (std::vector<std::string>{"a2a3"}));
}

TEST(Picker, EmptyNodeReturnsFalseAtOnce) {
    setUpOrdering("k7/8/8/8/8/8/8/8 w -");
    EXPECT_TRUE(pickAll(0, 0).empty());
}

// White: Ke1 (no castling), Ra1; black Ke8. Fifteen quiet moves, no captures,
// generated as Ra8 a7 a6 a5 a4 a3 a2 b1 c1 d1, then Kd2 e2 f2 d1 f1.
const char* const quietFen = "4k3/8/8/8/8/8/8/R3K3 w -";
const std::vector<std::string> quietOrder = {"a1a8", "a1a7", "a1a6", "a1a5", "a1a4", "a1a3", "a1a2", "a1b1",
                                             "a1c1", "a1d1", "e1d2", "e1e2", "e1f2", "e1d1", "e1f1"};

TEST(Picker, KillerAfterCapturesAndNeverTwice) {
    setUpOrdering(quietFen);
    const Move hash = findMove("a1b1"), killer = findMove("e1d1");
    board.ply = 4;   // far from the window below: the rest keeps its order
    plyEnd[3] = 0;
    gameRecord.moves[3] = 0;
    std::vector<std::string> moves = pickAll(hash, killer, 2000, 2001);
    board.ply = 0;
    std::vector<std::string> expected = {"a1b1", "e1d1"};
    for (const std::string& m : quietOrder)
        if (m != "a1b1" && m != "e1d1") expected.push_back(m);
    EXPECT_EQ(moves, expected);
}

TEST(Picker, KillerEqualToHashOrStaleIsNotHandedOut) {
    setUpOrdering(quietFen);
    const Move hash = findMove("a1b1");
    board.ply = 4;
    plyEnd[3] = 0;
    gameRecord.moves[3] = 0;
    std::vector<std::string> same = pickAll(hash, hash, 2000, 2001);
    std::vector<std::string> stale = pickAll(0, encodeMove(60, 44, 0, 0, QUIET), 2000, 2001);
    board.ply = 0;
    EXPECT_EQ(same.size(), quietOrder.size());
    EXPECT_EQ(same.front(), "a1b1");
    EXPECT_EQ(stale, quietOrder);
}

TEST(Picker, HistoryMovesBestFirstAlphaMoveAheadOfAll) {
    setUpOrdering(quietFen);
    searchState.ordering.historyScores[historyIndex(findMove("a1a5"))] = 5;
    searchState.ordering.historyScores[historyIndex(findMove("a1c1"))] = 5;
    searchState.ordering.historyScores[historyIndex(findMove("e1f2"))] = 9;
    searchState.ordering.historyScores[historyIndex(findMove("e1f1"))] = historyLimit;
    searchState.ordering.alphaMoves[0] = findMove("a1a3");
    std::vector<std::string> moves = pickAll(0, 0);
    ASSERT_EQ(moves.size(), quietOrder.size());
    // 30001 for the alpha move, then 30000, 9 and the two 5s: the selection
    // swaps moved a5 behind c1 (a3 took a5's place, then f1 took it again).
    EXPECT_EQ(std::vector<std::string>(moves.begin(), moves.begin() + 5),
              (std::vector<std::string>{"a1a3", "e1f1", "e1f2", "a1c1", "a1a5"}));
}

TEST(Picker, EqualHistoryScoresInGenerationOrder) {
    setUpOrdering(quietFen);
    searchState.ordering.historyScores[historyIndex(findMove("e1f2"))] = 4;
    searchState.ordering.historyScores[historyIndex(findMove("a1a5"))] = 4;
    std::vector<std::string> moves = pickAll(0, 0);
    ASSERT_EQ(moves.size(), quietOrder.size());
    EXPECT_EQ(moves[0], "a1a5");
    EXPECT_EQ(moves[1], "e1f2");
}

TEST(Picker, ScoreByHistoryPartitionsInPlace) {
    setUpOrdering(quietFen);
    searchState.ordering.historyScores[historyIndex(findMove("a1a6"))] = 3;
    searchState.ordering.historyScores[historyIndex(findMove("e1e2"))] = 7;
    plyEnd[0] = plyEnd[-1];
    generateQuietMoves();
    const int end = scoreByHistory(0, plyEnd[0] - 1);
    ASSERT_EQ(end, 2);
    EXPECT_EQ(coordinateText(moveStack[0]), "a1a6");
    EXPECT_EQ(moveScore[0], 3);
    EXPECT_EQ(coordinateText(moveStack[1]), "e1e2");
    EXPECT_EQ(moveScore[1], 7);
    // a8 and a7 were swapped out to where a6 and e2 stood.
    EXPECT_EQ(coordinateText(moveStack[2]), "a1a8");
    EXPECT_EQ(coordinateText(moveStack[11]), "a1a7");
    EXPECT_EQ(scoreByHistory(5, 4), 5) << "an empty range";
}

// Distinct piece-square gains for the fifteen quiet moves.
void setQuietGains() {
    int8_t* t = pieceSquareTable[WHITE];
    const int rookTo[10] = {0, 8, 16, 24, 32, 40, 48, 57, 58, 59};
    const int rookGain[10] = {-5, 3, 12, -9, 30, 1, 40, 7, -2, 50};
    for (int i = 0; i < 10; ++i) t[ROOK * 64 + rookTo[i]] = int8_t(rookGain[i]);
    t[ROOK * 64 + 56] = 0;
    const int kingTo[5] = {51, 52, 53, 59, 61};
    const int kingGain[5] = {20, -20, 60, 25, 4};
    for (int i = 0; i < 5; ++i) t[KING * 64 + kingTo[i]] = int8_t(kingGain[i]);
    t[KING * 64 + 60] = 0;
}

const std::vector<std::string> gainOrder = {"e1f2", "a1d1", "a1a2", "a1a4", "e1d1", "e1d2", "a1a6", "a1b1",
                                            "e1f1", "a1a7", "a1a3", "a1c1", "a1a8", "a1a5", "e1e2"};

TEST(Picker, NearTheRootRestOrderedByPieceSquareGain) {
    setUpOrdering(quietFen);
    setQuietGains();
    for (int ply = 0; ply < 4; ++ply) {
        board.ply = ply;
        plyEnd[ply - 1] = 0;
        gameRecord.moves[ply - 1 >= 0 ? ply - 1 : 0] = 0;
        EXPECT_EQ(pickAll(0, 0, 5000, 5001), gainOrder) << "ply " << ply;
    }
    board.ply = 0;
}

TEST(Picker, DeeperOnlyNearTheWindow) {
    setUpOrdering(quietFen);   // material balance +540, piece-square sums 0
    setQuietGains();
    board.ply = 4;
    plyEnd[3] = 0;
    gameRecord.moves[3] = 0;
    EXPECT_EQ(pickAll(0, 0, 500, 600), gainOrder);
    EXPECT_EQ(pickAll(0, 0, 640, 700), gainOrder) << "alpha - 100 reaches the balance";
    EXPECT_EQ(pickAll(0, 0, 400, 440), gainOrder) << "beta + 100 reaches the balance";
    EXPECT_EQ(pickAll(0, 0, 641, 700), quietOrder);
    EXPECT_EQ(pickAll(0, 0, 300, 439), quietOrder);
    EXPECT_EQ(pickAll(0, 0, -100000, 100000), gainOrder);
    board.ply = 0;
}

TEST(Picker, PickBestKeepsTheEarliestMaximum) {
    for (int i = 0; i < 5; ++i) {
        moveStack[i] = Move(i + 1);
        moveScore[i] = (i == 1 || i == 3) ? 9 : i;
    }
    pickBest(0, 4);
    EXPECT_EQ(moveStack[0], 2u);
    EXPECT_EQ(moveScore[0], 9);
    EXPECT_EQ(moveStack[1], 1u);
    EXPECT_EQ(moveScore[1], 0);
    pickBest(3, 2);   // empty range: unchanged
    EXPECT_EQ(moveStack[3], 4u);
}

}  // namespace
