#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "board/random.h"
#include "knowledge/knowledge.h"
#include "scratch.h"
#include "support/position.h"

namespace {

// A fresh, empty book with its chain heads (a failed load allocates them).
void emptyBook() {
    clearBook();
    ASSERT_FALSE(loadBook("/nonexistent/rotor/book.dat"));
    ASSERT_EQ(bookEntryCount(), 0);
}

// The moves the book offers here, with the seeds 0..n-1.
std::set<Move> offeredMoves(int draws) {
    std::set<Move> moves;
    for (int seed = 0; seed < draws; ++seed) {
        seedRandom(uint32_t(seed));
        if (Move m = bookMove()) moves.insert(m);
    }
    return moves;
}

TEST(BookData, EveryLineIsASoundOpeningFromTheInitialPosition) {
    FILE* file = std::fopen(shippedBookPath().c_str(), "r");
    ASSERT_NE(file, nullptr) << shippedBookPath();
    char line[LINE_PIECE_SIZE];
    int lineNumber = 0, openingLines = 0;
    std::set<std::string> firstMoves, replies;
    while (std::fgets(line, sizeof(line), file)) {
        ++lineNumber;
        cleanLine(line);
        char* cursor = line;
        std::vector<std::string> tokens;
        while (char* token = nextMoveText(cursor)) tokens.push_back(token);
        if (tokens.empty() || tokens[0][0] == '#') continue;
        ++openingLines;
        SCOPED_TRACE("line " + std::to_string(lineNumber));
        EXPECT_GE(tokens.size(), 8u);
        EXPECT_LE(tokens.size(), 20u);
        newGame();
        for (std::string& token : tokens) {
            for (char& c : token) c = char(std::tolower(static_cast<unsigned char>(c)));
            const Move m = findMove(token);
            ASSERT_NE(m, 0u) << "illegal " << token;
            ASSERT_TRUE(playMove(m));
        }
        firstMoves.insert(tokens[0]);
        replies.insert(tokens[0] + " " + tokens[1]);
    }
    std::fclose(file);
    newGame();
    EXPECT_GE(openingLines, 150);
    EXPECT_GE(firstMoves.size(), 5u);
    EXPECT_GE(replies.size(), 20u);
}

TEST(Book, SameMoveFromSamePositionIsStoredOnce) {
    emptyBook();
    newGame();
    const Move e4 = findMove("e2e4");
    EXPECT_TRUE(addBookEntry(bookEntryFor(e4)));
    EXPECT_TRUE(addBookEntry(bookEntryFor(e4)));
    EXPECT_EQ(bookEntryCount(), 1);
    EXPECT_TRUE(addBookEntry(bookEntryFor(findMove("d2d4"))));
    EXPECT_EQ(bookEntryCount(), 2);
    // The same move from the same placement with other rights is another entry.
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kkq -"));
    EXPECT_TRUE(addBookEntry(bookEntryFor(findMove("e2e4"))));
    EXPECT_EQ(bookEntryCount(), 3);
    clearBook();
    newGame();
}

TEST(Book, TwoMovesFromOnePositionAreChosenUniformly) {
    emptyBook();
    newGame();
    const Move e4 = findMove("e2e4"), d4 = findMove("d2d4");
    ASSERT_TRUE(addBookEntry(bookEntryFor(e4)));
    ASSERT_TRUE(addBookEntry(bookEntryFor(d4)));   // newest: first in its chain
    int e4Count = 0, d4Count = 0;
    for (uint32_t seed = 100; seed < 400; ++seed) {
        seedRandom(seed);
        const int k = nextRandom() % 2 + 1;
        seedRandom(seed);
        const Move chosen = bookMove();
        EXPECT_EQ(chosen, k == 1 ? d4 : e4);
        (chosen == e4 ? e4Count : d4Count) += 1;
    }
    EXPECT_GT(e4Count, 100);
    EXPECT_GT(d4Count, 100);
    EXPECT_EQ(board.hashKey, currentSnapshot().key);
    clearBook();
}

TEST(Book, NotOfferedUnderOtherRightsOrSideToMove) {
    emptyBook();
    // A black knight move after 1.Nf3; the same placement with other rights
    // or with White to move does not offer it.
    newGame();
    ASSERT_TRUE(playMoves("g1f3"));
    const Move nf6 = findMove("g8f6");
    ASSERT_TRUE(addBookEntry(bookEntryFor(nf6)));
    EXPECT_EQ(bookMove(), nf6);

    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq -"));
    EXPECT_EQ(bookMove(), nf6);
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQq -"));
    EXPECT_EQ(bookMove(), 0u);
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b Qkq -"));
    EXPECT_EQ(bookMove(), 0u);

    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq -"));
    BookEntry entry = bookEntryFor(nf6);
    EXPECT_TRUE(bookEntryMatches(entry));
    flipSides();
    EXPECT_FALSE(bookEntryMatches(entry));
    flipSides();
    entry.castling = 14;
    EXPECT_FALSE(bookEntryMatches(entry));
    clearBook();
    newGame();
}

TEST(Book, NoHeadsNoMove) {
    clearBook();
    newGame();
    EXPECT_EQ(bookMove(), 0u);
    EXPECT_FALSE(addBookEntry(bookEntryFor(findMove("e2e4"))));
}

TEST(Book, EnPassantEntryOnlyOfferedWhereTheCaptureIsOpen) {
    emptyBook();
    ASSERT_TRUE(setPosition("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6"));
    const Move ep = findMove("e5f6");
    ASSERT_NE(ep, 0u);
    ASSERT_TRUE(addBookEntry(bookEntryFor(ep)));
    EXPECT_EQ(bookMove(), ep);
    ASSERT_TRUE(setPosition("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq -"));
    EXPECT_EQ(bookMove(), 0u);
    clearBook();
    newGame();
}

// Loading needs the move reader.
struct LoadedBook {
    bool ok;
    std::string errors;
};

LoadedBook loadBookText(const ScratchDir& dir, const std::string& text) {
    dir.write("book.dat", text);
    clearBook();
    testing::internal::CaptureStderr();
    const bool ok = loadBook(dir.file("book.dat").c_str());
    return {ok, testing::internal::GetCapturedStderr()};
}

TEST(BookLoad, LinesCommentsErrorsAndDuplicates) {
    ScratchDir dir;
    const LoadedBook loaded = loadBookText(dir,
                                           "# a comment line\n"
                                           "\n"
                                           "e2-e4! e7e5 Ng1-f3\n"
                                           "e2e4 e7e5 g1f3 b8c6 f1b5\n"
                                           "d2d4 zz e2e4\n"
                                           "   # indented comment\n"
                                           "e2e4 c7c5 O-O g1f3\n");
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.errors, "#error in line 5: ZZ\n#error in line 7: O-O\n");
    // e2e4, e7e5, g1f3, b8c6, f1b5, d2d4, c7c5.
    EXPECT_EQ(bookEntryCount(), 7);
    // Back at the initial position with an empty game record.
    EXPECT_EQ(gameRecord.count, 0);
    EXPECT_EQ(gameRecord.recorded, 0);
    EXPECT_EQ(board.sideToMove, WHITE);
    EXPECT_EQ(castlingSignature(), 15);
    EXPECT_EQ(board.pieceBits[PAWN], 0x00FF00000000FF00ull);

    EXPECT_EQ(offeredMoves(64), (std::set<Move>{findMove("e2e4"), findMove("d2d4")}));
    ASSERT_TRUE(playMoves("e2e4"));
    EXPECT_EQ(offeredMoves(64), (std::set<Move>{findMove("e7e5"), findMove("c7c5")}));
    ASSERT_TRUE(playMoves("e7e5"));
    EXPECT_EQ(offeredMoves(16), std::set<Move>{findMove("g1f3")});
    ASSERT_TRUE(playMoves("g1f3 b8c6"));
    EXPECT_EQ(offeredMoves(16), std::set<Move>{findMove("f1b5")});
    ASSERT_TRUE(playMoves("f1b5"));
    EXPECT_EQ(offeredMoves(16), std::set<Move>{});
    clearBook();
    newGame();
}

TEST(BookLoad, CastlingCapturesAndPromotionInLines) {
    ScratchDir dir;
    const LoadedBook loaded = loadBookText(dir,
                                           "e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 O-O\n"
                                           "e2e4 d7d5 e4xd5 c7c6 d5xc6 g8f6 c6xb7 e7e6 b7a8n\n"
                                           "e2e4 d7d5 e4d5 c7c6 d5c6 g8f6 c6b7 e7e6 b7a8\n");
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.errors, "");
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3 b8c6 f1c4 g8f6"));
    EXPECT_EQ(offeredMoves(8), std::set<Move>{findMove("e1g1")});
    EXPECT_TRUE(bookMove() & CASTLE_SHORT);
    newGame();
    ASSERT_TRUE(playMoves("e2e4 d7d5 e4d5 c7c6 d5c6 g8f6 c6b7 e7e6"));
    EXPECT_EQ(offeredMoves(64), (std::set<Move>{findMove("b7a8n"), findMove("b7a8q")}));
    clearBook();
    newGame();
}

TEST(BookLoad, IllegalMovesAndLongLines) {
    ScratchDir dir;
    // After 3.Qh5+ the knight move leaves the black king in check.
    std::string text = "e2e4 f7f6 d1h5 g8h6 a2a3\n";
    // 1022 characters are one line; what follows them is the next.
    text += "d2d4" + std::string(1018, ' ') + "zz9 e2e4\n";
    text += "c2c4 e7e5\n";
    const LoadedBook loaded = loadBookText(dir, text);
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.errors, "#error in line 1: G8H6\n#error in line 3: ZZ9\n");
    // e2e4, f7f6, d1h5, d2d4, c2c4, e7e5.
    EXPECT_EQ(bookEntryCount(), 6);
    clearBook();
    newGame();
}

TEST(BookLoad, MissingFileFailsAndAnEmptyFileLoads) {
    ScratchDir dir;
    clearBook();
    EXPECT_FALSE(loadBook(dir.file("none.dat").c_str()));
    const LoadedBook loaded = loadBookText(dir, "");
    EXPECT_TRUE(loaded.ok);
    EXPECT_EQ(bookEntryCount(), 0);
    clearBook();
}

TEST(BookLoad, TheShippedBookLoadsWithoutAnError) {
    clearBook();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(loadBook(shippedBookPath().c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_GT(bookEntryCount(), 1000);
    newGame();
    const std::set<Move> first = offeredMoves(200);
    EXPECT_EQ(first.count(findMove("e2e4")), 1u);
    EXPECT_EQ(first.count(findMove("d2d4")), 1u);
    EXPECT_EQ(first.count(findMove("c2c4")), 1u);
    EXPECT_EQ(first.count(findMove("g1f3")), 1u);
    ASSERT_TRUE(playMoves("e2e4"));
    const std::set<Move> replies = offeredMoves(200);
    for (const char* reply : {"e7e5", "c7c5", "e7e6", "c7c6", "d7d6", "d7d5", "g8f6", "g7g6"})
        EXPECT_EQ(replies.count(findMove(reply)), 1u) << reply;
    clearBook();
    newGame();
}

}  // namespace
