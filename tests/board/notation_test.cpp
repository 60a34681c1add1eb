#include <gtest/gtest.h>

#include <string>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "support/position.h"

namespace {

constexpr int sq(const char* text) { return squareOfText(text); }

// The move the reader gives for a text, as coordinate text; "-" when refused.
std::string read(const char* text) {
    Move m = 0;
    if (!parseMove(text, m)) return "-";
    return coordinateText(m);
}

Move readMove(const char* text) {
    Move m = 0;
    return parseMove(text, m) ? m : 0;
}

int legalMoveCount() {
    generateLegalMoves();
    return plyEnd[board.ply] - plyEnd[board.ply - 1];
}

// Boxed-in white king on a1, white pawn on e7 free to promote: the four
// promotions are the only legal moves.
const char* const promotionOnly = "k7/4P3/8/8/8/1r6/2q5/K7 w - -";

TEST(Notation, CastlingWordsFollowTheSideToMove) {
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq"));
    Move m = readMove("O-O");
    EXPECT_EQ(m, encodeMove(60, 62, 0, 0, CASTLE_SHORT));
    EXPECT_EQ(readMove("O-O-O"), encodeMove(60, 58, 0, 0, CASTLE_LONG));
    EXPECT_EQ(readMove("E1G1"), m);          // found by its squares
    EXPECT_EQ(readMove("E1C1"), encodeMove(60, 58, 0, 0, CASTLE_LONG));
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R b KQkq"));
    EXPECT_EQ(readMove("O-O"), encodeMove(4, 6, 0, 0, CASTLE_SHORT));
    EXPECT_EQ(readMove("O-O-O"), encodeMove(4, 2, 0, 0, CASTLE_LONG));
}

TEST(Notation, UnavailableCastlingIsRefusedWithoutThePatternForm) {
    newGame();
    EXPECT_EQ(read("O-O"), "-");
    EXPECT_EQ(read("O-O-O"), "-");
    // Exactly one legal move (Kxb2): text cut to nothing would match it, but
    // the castling word never falls through to the pattern form.
    ASSERT_TRUE(setPosition("k7/8/8/8/8/8/1q6/K7 w - -"));
    ASSERT_EQ(legalMoveCount(), 1);
    EXPECT_EQ(read("O-O"), "-");
    EXPECT_EQ(read("O-O-O"), "-");
    EXPECT_EQ(read("A1A3"), "-");            // coordinate form: no such move, no fall-through
}

TEST(Notation, CoordinatePromotions) {
    ASSERT_TRUE(setPosition(promotionOnly));
    EXPECT_EQ(readMove("E7E8"), encodeMove(12, 4, QUEEN, 0, PROMOTION));
    EXPECT_EQ(readMove("E7E8Q"), encodeMove(12, 4, QUEEN, 0, PROMOTION));
    EXPECT_EQ(readMove("E7E8N"), encodeMove(12, 4, KNIGHT, 0, PROMOTION));
    EXPECT_EQ(readMove("E7E8R"), encodeMove(12, 4, ROOK, 0, PROMOTION));
    EXPECT_EQ(readMove("E7E8B"), encodeMove(12, 4, BISHOP, 0, PROMOTION));
    EXPECT_EQ(read("E7E8K"), "-");
    EXPECT_EQ(read("E7E8QQ"), "-");
    EXPECT_EQ(read("E7E8+"), "-");
    EXPECT_EQ(read("E7E7"), "-");
}

TEST(Notation, CharactersAfterANonPromotingCoordinateMoveAreIgnored) {
    newGame();
    EXPECT_EQ(readMove("E2E4"), encodeMove(52, 36, 1, 0, QUIET));
    EXPECT_EQ(readMove("E2E4Q"), encodeMove(52, 36, 1, 0, QUIET));
    EXPECT_EQ(read("E2E4XYZ"), "e2e4");
    EXPECT_EQ(read("E2E5"), "-");
    EXPECT_EQ(read("E7E5"), "-");            // not the side to move
}

TEST(Notation, PatternFormInTheInitialPosition) {
    newGame();
    EXPECT_EQ(read("E4"), "e2e4");
    EXPECT_EQ(read("PE4"), "e2e4");
    EXPECT_EQ(read("E2-E4"), "e2e4");
    EXPECT_EQ(read("NF3"), "g1f3");
    EXPECT_EQ(read("NG1-F3"), "g1f3");
    EXPECT_EQ(read("N3"), "-");              // four knight moves reach rank 3
    EXPECT_EQ(read("NC"), "b1c3");
    EXPECT_EQ(read("E5"), "-");
    EXPECT_EQ(read("EXD5"), "-");
    EXPECT_EQ(read(""), "-");                // twenty legal moves
    EXPECT_EQ(read("Z"), "-");
}

TEST(Notation, FromSquareResolvesTwoKnights) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/5N2/8/1N2K3 w - -"));
    EXPECT_EQ(read("ND2"), "-");
    EXPECT_EQ(read("NBD2"), "b1d2");
    EXPECT_EQ(read("NFD2"), "f3d2");
    EXPECT_EQ(read("N1D2"), "b1d2");
    EXPECT_EQ(read("N3-D2"), "f3d2");
}

TEST(Notation, CaptureMarks) {
    ASSERT_TRUE(setPosition("4k3/8/8/3p4/4P3/8/8/4K3 w - -"));
    EXPECT_EQ(readMove("EXD5"), encodeMove(36, 27, 0, PAWN, CAPTURE));
    EXPECT_EQ(read("E:D5"), "e4d5");
    EXPECT_EQ(read("E4:D5"), "e4d5");
    EXPECT_EQ(read("ED5"), "e4d5");
    EXPECT_EQ(read("E4-D5"), "-");           // "-" asks for a non-capture
    EXPECT_EQ(read("E-E5"), "e4e5");
    EXPECT_EQ(read("EXE5"), "-");
}

TEST(Notation, PromotionPatternsAndTheRookAndBishopCopies) {
    ASSERT_TRUE(setPosition(promotionOnly));
    EXPECT_EQ(read("E8"), "-");              // four promotions match
    EXPECT_EQ(read(""), "-");
    EXPECT_EQ(read("E8Q"), "e7e8q");
    EXPECT_EQ(read("E8N"), "e7e8n");
    EXPECT_EQ(read("E8R"), "e7e8r");
    EXPECT_EQ(read("E7-E8B"), "e7e8b");
    EXPECT_EQ(read("PE7-E8B"), "e7e8b");
    EXPECT_EQ(read("E8K"), "-");
    // The copies follow the generated moves: Q, N, then R and B appended.
    Move m = 0;
    ASSERT_TRUE(parsePatternMove("E8R", m));
    const int first = plyEnd[board.ply - 1];
    ASSERT_EQ(plyEnd[board.ply] - first, 4);
    EXPECT_EQ(movePromoted(moveStack[first]), QUEEN);
    EXPECT_EQ(movePromoted(moveStack[first + 1]), KNIGHT);
    EXPECT_EQ(movePromoted(moveStack[first + 2]), ROOK);
    EXPECT_EQ(movePromoted(moveStack[first + 3]), BISHOP);
}

TEST(Notation, TextIsCutAtSevenCharactersAndAtTheFirstForeignCharacter) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5"));
    EXPECT_EQ(read("QH5"), "d1h5");
    EXPECT_EQ(read("QH5+"), "d1h5");
    EXPECT_EQ(read("QD1-H5!!"), "d1h5");
    EXPECT_EQ(read("PE2-E4E"), "-");         // seven characters, then nothing fits
    EXPECT_EQ(read("NG1-F3ABC"), "-");       // cut to NG1-F3A: the A has no field left
    ASSERT_TRUE(setPosition(promotionOnly));
    EXPECT_EQ(read("PE7-E8QZ"), "e7e8q");
    EXPECT_EQ(read("PE7-E8QQ"), "e7e8q");    // the eighth character is cut away
}

TEST(Notation, EmptyTextPlaysTheOnlyLegalMove) {
    ASSERT_TRUE(setPosition("k7/8/8/8/8/8/1q6/K7 w - -"));
    ASSERT_EQ(legalMoveCount(), 1);
    EXPECT_EQ(read(""), "a1b2");
    EXPECT_EQ(read("0-0"), "a1b2");
    EXPECT_EQ(read("O-O+"), "a1b2");
    EXPECT_EQ(read("NEXT"), "-");            // NEX: a knight capture from the e-file
    EXPECT_EQ(read("KX"), "a1b2");
}

TEST(Notation, CoordinateFormAcceptsAMoveThatExposesTheKing) {
    // The bishop on e2 is pinned by the rook on e4.
    ASSERT_TRUE(setPosition("4k3/8/8/8/4r3/8/4B3/4K3 w - -"));
    EXPECT_EQ(read("E2D3"), "e2d3");
    EXPECT_EQ(read("BD3"), "-");
    EXPECT_EQ(read("BE2-D3"), "-");
    EXPECT_EQ(read("KD1"), "e1d1");
    EXPECT_EQ(read("E1E2"), "-");            // occupied by its own bishop
}

TEST(Notation, NoReaderTakesAKing) {
    // White to move while Black's king stands attacked by the rook.
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/4RK2 w - -"));
    EXPECT_EQ(read("E1E8"), "-");
    EXPECT_EQ(read("RE8"), "-");
    EXPECT_EQ(read("RXE8"), "-");
    EXPECT_EQ(read("RE4"), "e1e4");
}

TEST(Notation, PawnAndBishopReadingsOfTheSameText) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/1P1B4/4K3 w - -"));
    EXPECT_EQ(read("B2-B4"), "-");           // pawn b2-b4 or bishop from rank 2 to b4
    EXPECT_EQ(read("B4"), "-");
    EXPECT_EQ(read("PB2-B4"), "b2b4");
    EXPECT_EQ(read("BD2-B4"), "d2b4");
    EXPECT_EQ(read("B3"), "-");              // b2-b3, or the bishop to c3 or e3
    EXPECT_EQ(read("PB3"), "b2b3");
    EXPECT_EQ(read("B2B4"), "b2b4");         // coordinate form
}

TEST(Notation, EnPassantInThePatternForm) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 a7a6 e4e5 d7d5"));
    const Move m = readMove("E5:D6");
    EXPECT_EQ(m, encodeMove(28, 19, 0, PAWN, CAPTURE | EN_PASSANT));
    EXPECT_EQ(readMove("EXD"), m);
    EXPECT_EQ(readMove("E5D6"), m);
}

TEST(Notation, LegalMovesKeepTheGenerationOrder) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/4r3/8/4B3/4K3 w - -"));
    generateAllMoves();
    std::string pseudo;
    for (int i = plyEnd[-1]; i < plyEnd[0]; ++i) pseudo += coordinateText(moveStack[i]) + " ";
    generateLegalMoves();
    std::string legal;
    for (int i = plyEnd[-1]; i < plyEnd[0]; ++i) legal += coordinateText(moveStack[i]) + " ";
    EXPECT_EQ(legal, "e1d2 e1f2 e1d1 e1f1 ");
    EXPECT_NE(pseudo, legal);
    EXPECT_EQ(board.sideToMove, WHITE);
}

TEST(Notation, ReadersLeaveThePositionAlone) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3"));
    const HashKey key = board.hashKey;
    const int count = gameRecord.count;
    for (const char* text : {"NC6", "N3", "O-O", "E7E8", "", "B8C6", "QH4", "XYZ"}) read(text);
    EXPECT_EQ(board.hashKey, key);
    EXPECT_EQ(gameRecord.count, count);
    EXPECT_EQ(board.sideToMove, BLACK);
}

TEST(Notation, FormatMove) {
    char text[6];
    EXPECT_TRUE(formatMove(encodeMove(52, 36, 1, 0, QUIET), text));
    EXPECT_STREQ(text, "e2e4");
    EXPECT_TRUE(formatMove(encodeMove(12, 4, QUEEN, 0, PROMOTION), text));
    EXPECT_STREQ(text, "e7e8q");
    EXPECT_TRUE(formatMove(encodeMove(12, 3, KNIGHT, ROOK, PROMOTION | CAPTURE), text));
    EXPECT_STREQ(text, "e7d8n");
    EXPECT_TRUE(formatMove(encodeMove(51, 59, ROOK, 0, PROMOTION), text));
    EXPECT_STREQ(text, "d2d1r");
    EXPECT_TRUE(formatMove(encodeMove(51, 59, BISHOP, 0, PROMOTION), text));
    EXPECT_STREQ(text, "d2d1b");
    EXPECT_TRUE(formatMove(encodeMove(60, 62, 0, 0, CASTLE_SHORT), text));
    EXPECT_STREQ(text, "o-o");
    EXPECT_TRUE(formatMove(encodeMove(4, 2, 0, 0, CASTLE_LONG), text));
    EXPECT_STREQ(text, "o-o-o");
    EXPECT_TRUE(formatMove(encodeMove(0, 63, 0, 0, QUIET), text));
    EXPECT_STREQ(text, "a8h1");
    EXPECT_FALSE(formatMove(0, text));
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(formatMove(encodeMove(12, 4, KING, 0, PROMOTION), text));
    EXPECT_STREQ(text, "e7e8");
    EXPECT_FALSE(formatMove(encodeMove(12, 4, 0, 0, PROMOTION), text));
    EXPECT_STREQ(text, "e7e8");
}

TEST(Notation, ReadMovesRoundTripThroughTheirText) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 d7d5 e4d5 g8f6"));
    generateLegalMoves();
    const int first = plyEnd[-1], last = plyEnd[0];
    std::vector<Move> moves(moveStack + first, moveStack + last);
    for (Move m : moves) {
        char text[6];
        ASSERT_TRUE(formatMove(m, text));
        std::string upper = text;
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(readMove(upper.c_str()), m) << text;
    }
}

TEST(Notation, PlayingAfterTakingBackDropsTheReplayableMoves) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3"));
    ASSERT_TRUE(takeBackMove());
    ASSERT_TRUE(takeBackMove());
    EXPECT_EQ(gameRecord.count, 1);
    EXPECT_EQ(gameRecord.recorded, 3);
    Move m = 0;
    ASSERT_TRUE(parseMove("C5", m));
    ASSERT_TRUE(playMove(m));
    EXPECT_EQ(gameRecord.count, 2);
    EXPECT_EQ(gameRecord.recorded, 2);
    EXPECT_FALSE(replayMove());
}

TEST(Notation, CoordinateTextAndFindMove) {
    newGame();
    EXPECT_EQ(coordinateText(findMove("e2e4")), "e2e4");
    EXPECT_EQ(findMove("e2e5"), 0u);
    EXPECT_EQ(findMove("e7e5"), 0u);  // not White's move
    ASSERT_TRUE(setPosition("4k3/1P6/8/8/8/8/8/R3K2R w KQ -"));
    EXPECT_EQ(coordinateText(findMove("b7b8q")), "b7b8q");
    EXPECT_EQ(coordinateText(findMove("b7b8n")), "b7b8n");
    // The generators make queen and knight only: the rook and bishop words are the queen's, changed.
    EXPECT_EQ(findMove("b7b8r"), withPromoted(findMove("b7b8q"), ROOK));
    EXPECT_EQ(findMove("b7b8b"), withPromoted(findMove("b7b8q"), BISHOP));
    EXPECT_EQ(findMove("b7b8k"), 0u);
    EXPECT_EQ(findMove("e1e2r"), 0u);
    EXPECT_EQ(findMove("b7b8"), 0u);
    EXPECT_EQ(findMove("e1g1"), encodeMove(sq("e1"), sq("g1"), 0, 0, CASTLE_SHORT));
    EXPECT_EQ(findMove("e1c1"), encodeMove(sq("e1"), sq("c1"), 0, 0, CASTLE_LONG));
    // A move that leaves the own king attacked is not found.
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/4r3/4K3 w - -"));
    EXPECT_EQ(findMove("e1d2"), 0u);
    EXPECT_NE(findMove("e1e2"), 0u);
}

TEST(Notation, PlayMovesStopsAtTheFirstIllegalMove) {
    newGame();
    EXPECT_FALSE(playMoves("e2e4 e7e5 e1e3 g8f6"));
    EXPECT_EQ(gameRecord.count, 2);
    newGame();
    EXPECT_TRUE(playMoves("  e2e4   e7e5 "));
    EXPECT_EQ(gameRecord.count, 2);
}

}  // namespace
