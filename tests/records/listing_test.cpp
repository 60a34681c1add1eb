#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "records/records.h"
#include "records/records_support.h"
#include "support/position.h"

namespace {

std::string entry(Move m, bool check, int piece, bool mate) {
    char text[8];
    listingMoveText(m, check, piece, mate, text);
    return text;
}

std::string listing() { return writtenText([](FILE* f) { writeMoveList(f); }); }

struct ReadResult {
    bool ok;
    std::string out, err;
};

ReadResult readListing(const std::string& text) {
    FILE* in = streamOf(text);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ReadResult r;
    r.ok = readMoveList(in);
    r.out = testing::internal::GetCapturedStdout();
    r.err = testing::internal::GetCapturedStderr();
    std::fclose(in);
    return r;
}

TEST(ListingText, MoveTexts) {
    EXPECT_EQ(entry(encodeMove(52, 36, 1, 0, QUIET), false, PAWN, false), "e2-e4");
    EXPECT_EQ(entry(encodeMove(62, 45, 0, 0, QUIET), false, KNIGHT, false), "Ng1-f3");
    EXPECT_EQ(entry(encodeMove(36, 27, 0, PAWN, CAPTURE), false, PAWN, false), "e4:d5");
    EXPECT_EQ(entry(encodeMove(12, 4, QUEEN, 0, PROMOTION), false, PAWN, false), "e7-e8Q");
    EXPECT_EQ(entry(encodeMove(12, 3, KNIGHT, ROOK, PROMOTION | CAPTURE), true, PAWN, false), "e7:d8N+");
    EXPECT_EQ(entry(encodeMove(61, 25, 0, 0, QUIET), true, BISHOP, false), "Bf1-b5+");
    EXPECT_EQ(entry(encodeMove(31, 13, 0, PAWN, CAPTURE), false, QUEEN, true), "Qh5:f7#");
    EXPECT_EQ(entry(encodeMove(31, 13, 0, PAWN, CAPTURE), true, QUEEN, true), "Qh5:f7#");   // never both marks
    EXPECT_EQ(entry(encodeMove(63, 7, 0, 0, QUIET), false, ROOK, false), "Rh1-h8");
    EXPECT_EQ(entry(encodeMove(60, 52, 0, 0, QUIET), false, KING, false), "Ke1-e2");
    EXPECT_EQ(entry(encodeMove(28, 19, 0, PAWN, CAPTURE | EN_PASSANT), false, PAWN, false), "e5:d6");
    EXPECT_EQ(entry(encodeMove(60, 58, 0, 0, CASTLE_LONG), true, KING, false), "o-o-o");
    EXPECT_EQ(entry(encodeMove(4, 6, 0, 0, CASTLE_SHORT), true, KING, true), "o-o");
    EXPECT_EQ(entry(encodeMove(52, 36, 1, 0, QUIET), false, NOPIECE, false), "e2-e4");
    char text[8] = "x";
    EXPECT_FALSE(listingMoveText(0, true, PAWN, true, text));
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(listingMoveText(encodeMove(52, 36, 1, 0, QUIET), false, PAWN, false, text));
}

TEST(ListingText, ThreeMovesFromTheInitialPosition) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3"));
    const HashKey key = board.hashKey;
    EXPECT_EQ(listing(), "   1. e2-e4       e7-e5       \n   2. Ng1-f3      \n");
    EXPECT_EQ(board.hashKey, key);
    EXPECT_EQ(gameRecord.count, 3);
    EXPECT_EQ(board.sideToMove, BLACK);
    newGame();
    EXPECT_EQ(listing(), "");
}

TEST(ListingText, OnlyUpToTheCurrentPosition) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3 b8c6"));
    ASSERT_TRUE(takeBackMove());
    ASSERT_TRUE(takeBackMove());
    EXPECT_EQ(listing(), "   1. e2-e4       e7-e5       \n");
    EXPECT_EQ(gameRecord.recorded, 4);
    EXPECT_TRUE(replayMove());
}

TEST(ListingText, ChecksMatesAndStalemates) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 f1c4 b8c6 d1h5 g8f6 h5f7"));
    EXPECT_EQ(listing(),
              "   1. e2-e4       e7-e5       \n   2. Bf1-c4      Nb8-c6      \n"
              "   3. Qd1-h5      Ng8-f6      \n   4. Qh5:f7#     \n");
    newGame();
    ASSERT_TRUE(playMoves("e2e4 d7d6 f1b5"));
    EXPECT_EQ(listing(), "   1. e2-e4       d7-d6       \n   2. Bf1-b5+     \n");
    ASSERT_TRUE(setPosition("k7/8/2Q5/8/8/8/8/7K w - -"));
    ASSERT_TRUE(playMoves("c6b6"));
    EXPECT_EQ(listing(), "   1. Qc6-b6      \n");   // stalemate: no mark
}

TEST(ListingText, CastlingEnPassantAndPromotion) {
    ASSERT_TRUE(setPosition("5k2/8/8/8/8/8/8/4K2R w K -"));
    ASSERT_TRUE(playMoves("e1g1"));                     // gives check along the f-file
    EXPECT_EQ(listing(), "   1. o-o         \n");
    newGame();
    ASSERT_TRUE(playMoves("e2e4 a7a6 e4e5 d7d5 e5d6"));
    EXPECT_EQ(listing(), "   1. e2-e4       a7-a6       \n   2. e4-e5       d7-d5       \n   3. e5:d6       \n");
    ASSERT_TRUE(setPosition("3r3k/4P3/8/8/8/8/8/K7 w - -"));
    ASSERT_TRUE(playMoves("e7d8n"));
    EXPECT_EQ(listing(), "   1. e7:d8N      \n");
}

TEST(ListingText, BlackToMoveFirst) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4K3 b - -"));
    ASSERT_TRUE(playMoves("e8d7 e1e2 d7c6"));
    EXPECT_EQ(listing(), "   1.       Ke8-d7      \n   2. Ke1-e2      Kd7-c6      \n");
}

TEST(ListingRead, ReadsTheWrittenListingBack) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 d7d5 e4d5 g8f6 f1b5 c7c6 d5c6 d8d2 b1d2 e7e5 c6b7 c8d7 b7a8q f8c5 g1f3 e8g8"));
    const std::string text = listing();
    EXPECT_EQ(text,
              "   1. e2-e4       d7-d5       \n   2. e4:d5       Ng8-f6      \n   3. Bf1-b5+     c7-c6       \n"
              "   4. d5:c6       Qd8:d2+     \n   5. Nb1:d2      e7-e5       \n   6. c6:b7+      Bc8-d7      \n"
              "   7. b7:a8Q      Bf8-c5      \n   8. Ng1-f3      o-o         \n");
    const HashKey key = board.hashKey;
    newGame();
    ReadResult r = readListing(text);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(board.hashKey, key);
    EXPECT_EQ(gameRecord.count, 16);
    EXPECT_EQ(listing(), text);
    // The echo: each line upper-cased, followed by a blank.
    std::string echo;
    for (size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
        std::string line = text.substr(begin, end - begin);
        for (char& c : line) c = char(std::toupper(static_cast<unsigned char>(c)));
        echo += line + " \n";
    }
    EXPECT_EQ(r.out, echo);
}

TEST(ListingRead, SeparatorsAndLinesWithoutMoves) {
    newGame();
    ReadResult r = readListing("1.e2e4,e7e5\n2\n3. nf3;nc6 extra words\n4.\n5 . \n");
    // Line 5: the text after "5" is "." read as a move; it matches every legal move.
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.err, "# error game-list line - 5\n");
    EXPECT_EQ(gameRecord.count, 4);
    EXPECT_EQ(r.out, "1.E2E4,E7E5 \n2 \n3. NF3;NC6 EXTRA WORDS \n4. \n5 .  \n");
}

TEST(ListingRead, Refusals) {
    const struct {
        const char* text;
        int line;
    } cases[] = {
        {"2. e2-e4\n", 1},
        {"1. e2-e4 e7-e5\n3. Ng1-f3\n", 2},
        {"e2-e4 e7-e5\n", 1},
        {". e2-e4\n", 1},
        {"x1. e2-e4\n", 1},
        {"1. e2-e5\n", 1},
        {"1. N3\n", 1},
        {"1. e2-e4 e7-e5\n2. Qd1-h5 Ke8-e7\n3. Qh5:e5#\n4. Ke7-e6\n", 4},
        {"1. e2-e4 e2-e4\n", 1},
        {"99999999999999999999. e2-e4\n", 1},
        {"1. o-o\n", 1},
    };
    for (const auto& c : cases) {
        newGame();
        ReadResult r = readListing(c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.err, "# error game-list line - " + std::to_string(c.line) + "\n") << c.text;
    }
    // Moves before the bad line stay played; the caller resets the game.
    newGame();
    readListing("1. e2-e4 e7-e5\n2. Nb1-c3 Zz\n");
    EXPECT_EQ(gameRecord.count, 3);
}

TEST(ListingRead, PawnTextThatAlsoReadsAsABishopMove) {
    // The listing's own pawn text is the pawn move; a shorter text that
    // reads as both stays ambiguous.
    const struct {
        const char* listing;
        bool ok;
    } cases[] = {{"1. b2-b4\n", true}, {"1. b2b4\n", true}, {"1. b4\n", false}, {"1. b2-b3+\n", true}};
    for (const auto& c : cases) {
        ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/1P1B4/4K3 w - -"));
        ReadResult r = readListing(c.listing);
        EXPECT_EQ(r.ok, c.ok) << c.listing;
        EXPECT_EQ(r.err, c.ok ? "" : "# error game-list line - 1\n") << c.listing;
        if (c.ok) {
            EXPECT_EQ(board.squares[moveTo(gameRecord.moves[0])], PAWN) << c.listing;
        }
    }
}

TEST(ListingRead, BlackToMoveFirstAndLeadingNumbers) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4K3 b - -"));
    ReadResult r = readListing("   1.       Ke8-d7\n  002. Ke1-e2  Kd7-c6\n");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(gameRecord.count, 3);
    EXPECT_EQ(board.sideToMove, WHITE);
}

TEST(ListingRead, FullGameRecordRefusesTheNextMove) {
    newGame();
    std::string text;
    const char* const shuffle[4] = {"Ng1-f3", "Ng8-f6", "Nf3-g1", "Nf6-g8"};
    int line = 1;
    for (int move = 0; move < 300; move += 2, ++line)
        text += std::to_string(line) + ". " + shuffle[move % 4] + " " + shuffle[(move + 1) % 4] + "\n";
    ReadResult r = readListing(text);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.err, "# error game-list line - 150\n");   // the 300th move
    EXPECT_EQ(gameRecord.count, 299);
}

}  // namespace
