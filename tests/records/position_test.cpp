#include <gtest/gtest.h>

#include <string>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "records/records.h"
#include "records/records_support.h"
#include "support/position.h"

namespace {

// Reads a position block (the text after the POSITION line); returns the
// result and what was printed on standard error.
bool readBlock(const std::string& text, std::string* errors = nullptr) {
    FILE* in = streamOf(text);
    testing::internal::CaptureStderr();
    const bool ok = readPosition(in);
    const std::string err = testing::internal::GetCapturedStderr();
    if (errors) *errors = err;
    std::fclose(in);
    return ok;
}

// The block of the initial position with one line replaced (0-based, the
// POSITION line excluded) or removed when the replacement is empty.
std::string blockWithLine(int index, const std::string& replacement) {
    std::string block = std::string(initialPositionText).substr(std::string("POSITION:\n").size());
    size_t begin = 0;
    for (int i = 0; i < index; ++i) begin = block.find('\n', begin) + 1;
    const size_t end = block.find('\n', begin) + 1;
    return block.substr(0, begin) + replacement + block.substr(end);
}

const char* const emptyCastling =
    "   CASTLING: OFF\n   KING_MOVED: OFF\n   LEFT_ROOK_MOVED: OFF\n   RIGHT_ROOK_MOVED: OFF\n";

// A block from piece lines per colour (six lines each).
std::string block(const std::string& white, const std::string& black, const std::string& side = "WHITE") {
    return " WHITE:\n" + white + emptyCastling + " BLACK:\n" + black + emptyCastling + " SIDE: " + side + "\n";
}

std::string pieces(const std::string& pawn, const std::string& knight, const std::string& bishop,
                   const std::string& rook, const std::string& queen, const std::string& king) {
    return "  PAWN: " + pawn + "\n  KNIGHT: " + knight + "\n  BISHOP: " + bishop + "\n  ROOK: " + rook +
           "\n  QUEEN: " + queen + "\n  KING: " + king + "\n";
}

TEST(PositionText, SquareNames) {
    EXPECT_EQ(squareName(52), "E2");
    EXPECT_EQ(squareName(0), "A8");
    EXPECT_EQ(squareName(63), "H1");
    EXPECT_EQ(parseSquareName("E2"), 52);
    EXPECT_EQ(parseSquareName("A8"), 0);
    EXPECT_EQ(parseSquareName("H1"), 63);
    for (const char* bad : {"", "E", "E22", "I1", "A9", "A0", "e2", "2E", "E2,"}) EXPECT_EQ(parseSquareName(bad), -1) << bad;
    for (int sq = 0; sq < 64; ++sq) EXPECT_EQ(parseSquareName(squareName(sq)), sq);
}

TEST(PositionText, InitialPosition) {
    newGame();
    EXPECT_EQ(writtenText([](FILE* f) { writePosition(f, true); }), initialPositionText);
    EXPECT_EQ(writtenText([](FILE* f) { writePosition(f, false); }), initialPositionText);
}

TEST(PositionText, CurrentPositionAndStartOfTheRecord) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1"));
    const HashKey key = board.hashKey;
    const std::string current = writtenText([](FILE* f) { writePosition(f, true); });
    EXPECT_NE(current.find("  PAWN: A7,B7,C7,D7,F7,G7,H7,E5,\n"), std::string::npos);
    EXPECT_NE(current.find("  KNIGHT: C6,F6,\n"), std::string::npos);
    EXPECT_NE(current.find("  KING: G1,\n   CASTLING: ON\n   KING_MOVED: ON\n   LEFT_ROOK_MOVED: OFF\n"
                           "   RIGHT_ROOK_MOVED: ON\n"),
              std::string::npos);
    EXPECT_NE(current.find(" SIDE: BLACK\n"), std::string::npos);
    EXPECT_EQ(writtenText([](FILE* f) { writePosition(f, false); }), initialPositionText);
    EXPECT_EQ(board.hashKey, key);
    EXPECT_EQ(board.sideToMove, BLACK);
    EXPECT_EQ(gameRecord.count, 7);
    EXPECT_EQ(board.castled[WHITE], 1);
}

TEST(PositionText, ReadsTheWrittenText) {
    ASSERT_TRUE(setPosition("r3k2r/pp3ppp/8/3Pp3/8/8/PPP2PPP/R3K2R b KQ -"));
    board.castled[BLACK] = 1;
    const std::string text = writtenText([](FILE* f) { writePosition(f, true); });
    const HashKey key = board.hashKey;
    newGame();
    ASSERT_TRUE(readBlock(text.substr(10)));
    EXPECT_EQ(board.hashKey, key);
    EXPECT_EQ(board.sideToMove, BLACK);
    EXPECT_EQ(board.opponent, WHITE);
    EXPECT_EQ(board.castled[BLACK], 1);
    EXPECT_EQ(board.kingMoved[BLACK], 1);
    EXPECT_EQ(board.castled[WHITE], 0);
    EXPECT_EQ(gameRecord.count, 0);
    EXPECT_EQ(writtenText([](FILE* f) { writePosition(f, true); }), text);
}

TEST(PositionText, ForgivingAboutCaseCommentsAndSeparators) {
    const std::string text =
        "# a position\n\n   white\n  pawn: a2;b2 c2.d2,e2,,f2 ;g2..h2\n#\n  knight:b1,g1,\n  bishop c1 f1\n"
        "  rook: a1,h1,\n  queen: d1\n  king: e1,\n   castling: off\n   king_moved: off   extra words\n"
        "   left_rook_moved: off\n   right_rook_moved: off\n black:\n  pawn: a7,b7,c7,d7,e7,f7,g7,h7,\n"
        "  knight: b8,g8,\n  bishop: c8,f8,\n  rook: a8,h8,\n  queen: d8,\n  king: e8,\n   castling: off\n"
        "   king_moved: off\n   left_rook_moved: off\n   right_rook_moved: off\n side: white\n";
    std::string errors;
    ASSERT_TRUE(readBlock(text, &errors));
    EXPECT_EQ(errors, "");
    EXPECT_EQ(writtenText([](FILE* f) { writePosition(f, true); }), initialPositionText);
}

TEST(PositionText, EveryOutOfOrderOrWrongLineIsRefused) {
    const std::string good = blockWithLine(0, " WHITE:\n");
    ASSERT_TRUE(readBlock(good));
    const struct {
        int line;
        const char* text;
    } cases[] = {
        {0, " BLACK:\n"},                       // colours in the wrong order
        {0, " WHITE\n  WHITE:\n"},             // the colour line twice
        {1, "  KNIGHT: B1,G1,\n"},             // piece lines out of order
        {1, "  PAWNS: A2,\n"},                 // keyword not exactly
        {1, "  PAWN: A2,B2,I2,\n"},            // bad square name
        {1, "  PAWN: A2,B2,B2\n"},             // a square twice
        {2, "  KNIGHT: B1,E1,\n"},             // a square named by two lines
        {1, "  PAWN: A22,\n"},
        {1, "  PAWN: A2 : B2\n"},              // ":" is no separator of squares
        {7, "   CASTLING: MAYBE\n"},
        {7, "   CASTLING:\n"},
        {7, "   CASTLING: ON,\n"},
        {7, "   CASTLING , OFF\n"},
        {8, "   CASTLING: OFF\n"},             // castling lines out of order
        {10, "   LEFT_ROOK_MOVED: OFF\n"},
        {11, ""},                               // a castling line missing
        {22, " SIDE: GREEN\n"},
        {22, " SIDE:\n"},
        {22, ""},                               // missing at end of file
    };
    for (const auto& c : cases) {
        std::string errors;
        const bool ok = readBlock(blockWithLine(c.line, c.text), &errors);
        EXPECT_FALSE(ok) << c.line << ": " << c.text;
        EXPECT_EQ(errors, "# error position\n") << c.text;
    }
    std::string errors;
    EXPECT_FALSE(readBlock("", &errors));
    EXPECT_EQ(errors, "# error position\n");
    // Only the token after SIDE counts; further words are ignored.
    EXPECT_TRUE(readBlock(blockWithLine(22, " SIDE BLACK WHITE\n")));
    EXPECT_EQ(board.sideToMove, BLACK);
}

TEST(PositionText, EachSideHasExactlyOneKing) {
    EXPECT_FALSE(readBlock(blockWithLine(6, "  KING: E1,A3,\n")));
    EXPECT_FALSE(readBlock(blockWithLine(6, "  KING: \n")));
    EXPECT_FALSE(readBlock(blockWithLine(17, "  KING:\n")));
    EXPECT_TRUE(readBlock(blockWithLine(6, "  KING: A3\n")));
    std::string errors;
    EXPECT_FALSE(readBlock(blockWithLine(17, "  KING: E8,E6\n"), &errors));
    EXPECT_EQ(errors, "# error position\n");
}

TEST(PositionText, PositionsNoGameReachesAreRefused) {
    // Nine queens a side load: promotions can make them.
    EXPECT_TRUE(readBlock(block(pieces("", "", "", "", "A1,B1,C1,D1,F1,G1,H1,A2,B2", "E1"),
                                pieces("", "", "", "", "A8,B8,C8,D8,F8,G8,H8,A7,B7", "E8"))));
    // Pawns on the first or last rank.
    EXPECT_FALSE(readBlock(block(pieces("A8", "", "", "", "", "E1"), pieces("", "", "", "", "", "E8"))));
    EXPECT_FALSE(readBlock(block(pieces("A1", "", "", "", "", "E1"), pieces("", "", "", "", "", "E8"))));
    EXPECT_FALSE(readBlock(block(pieces("", "", "", "", "", "E1"), pieces("H1", "", "", "", "", "E8"))));
    EXPECT_FALSE(readBlock(block(pieces("", "", "", "", "", "E1"), pieces("H8", "", "", "", "", "E8"))));
    EXPECT_TRUE(readBlock(block(pieces("A2,H7", "", "", "", "", "E1"), pieces("A7,H2", "", "", "", "", "E8"))));
    // More than eight pawns or sixteen pieces a side.
    EXPECT_FALSE(readBlock(block(pieces("A2,B2,C2,D2,E2,F2,G2,H2,A3", "", "", "", "", "E1"),
                                 pieces("", "", "", "", "", "E8"))));
    EXPECT_FALSE(readBlock(block(pieces("A2,B2,C2,D2,E2,F2,G2,H2", "B1,G1,A3", "C1,F1", "A1,H1", "D1", "E1"),
                                 pieces("", "", "", "", "", "E8"))));
    // The side not to move in check loads; the search refuses to play there.
    EXPECT_TRUE(readBlock(block(pieces("", "", "", "E4", "", "E1"), pieces("", "", "", "", "", "E8"))));
    EXPECT_TRUE(readBlock(block(pieces("", "", "", "E4", "", "E1"), pieces("", "", "", "", "", "E8"), "BLACK")));
    EXPECT_TRUE(readBlock(block(pieces("", "", "", "", "", "E1"), pieces("", "", "", "", "", "E2"))));
    // A king on the other colour's home square while castling is still open.
    EXPECT_FALSE(readBlock(block(pieces("", "", "", "A8", "", "E8"), pieces("", "", "", "", "", "E1"), "BLACK")));
    std::string kingMoved = block(pieces("", "", "", "A8", "", "E8"), pieces("", "", "", "", "", "E1"), "BLACK");
    kingMoved.replace(kingMoved.find("KING_MOVED: OFF"), 15, "KING_MOVED: ON");
    kingMoved.replace(kingMoved.rfind("KING_MOVED: OFF"), 15, "KING_MOVED: ON");
    EXPECT_TRUE(readBlock(kingMoved));
}

TEST(PositionText, AFailedReadLeavesAConsistentBoard) {
    EXPECT_FALSE(readBlock(blockWithLine(2, "  KNIGHT: B1,G1,H1\n")));
    HashKey key = 0;
    for (int sq = 0; sq < 64; ++sq)
        if (board.squares[sq]) key ^= zobristKeys[isOccupiedBy(sq, WHITE) ? WHITE : BLACK][board.squares[sq]][sq];
    EXPECT_EQ(board.hashKey, key);
    // Placed before H1 was found taken: pawns, three knights, bishops, rook a1.
    EXPECT_EQ(popCount(board.colourBits[WHITE]), 14);
    EXPECT_EQ(lineOccupancy.rank, board.colourBits[WHITE] | board.colourBits[BLACK]);
}

TEST(PositionText, ClearBoard) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4"));
    clearBoard();
    EXPECT_EQ(board.colourBits[WHITE] | board.colourBits[BLACK], 0u);
    EXPECT_EQ(board.hashKey, 0u);
    EXPECT_EQ(board.material[WHITE], 0);
    EXPECT_EQ(board.material[BLACK], 0);
    EXPECT_EQ(board.sideToMove, WHITE);
    EXPECT_EQ(gameRecord.count, 0);
    EXPECT_EQ(gameRecord.recorded, 0);
    EXPECT_EQ(lineOccupancy.rank | lineOccupancy.file | lineOccupancy.diagA1H8 | lineOccupancy.diagA8H1, 0u);
}

TEST(DataLines, CommentsBlanksCaseAndLineEnds) {
    FILE* in = streamOf(
        "# comment\n\n   \n   # indented comment\n  e2-e4 x\r\n\r\n\tTab\nlast line");
    std::string line;
    ASSERT_TRUE(readDataLine(in, line));
    EXPECT_EQ(line, "  E2-E4 X");
    ASSERT_TRUE(readDataLine(in, line));
    EXPECT_EQ(line, "\tTAB");            // only blanks count as leading space
    ASSERT_TRUE(readDataLine(in, line));
    EXPECT_EQ(line, "LAST LINE");
    EXPECT_FALSE(readDataLine(in, line));
    std::fclose(in);
}

TEST(DataLines, LongLinesAndNulBytes) {
    std::string longLine(5000, 'a');
    std::string text = longLine + "\n#" + longLine + "\nnext\nab";
    text += '\0';
    text += "cd\n# " + std::string(3000, 'x') + "\n";
    FILE* in = streamOf(text);
    std::string line;
    ASSERT_TRUE(readDataLine(in, line));
    EXPECT_EQ(line, std::string(1022, 'A'));   // the rest of the line is passed over
    ASSERT_TRUE(readDataLine(in, line));
    EXPECT_EQ(line, "NEXT");                   // the long comment stays a comment
    ASSERT_TRUE(readDataLine(in, line));
    EXPECT_EQ(line, "AB");                     // the text ends at a NUL byte
    EXPECT_FALSE(readDataLine(in, line));
    std::fclose(in);
}

TEST(DataLines, Tokens) {
    const std::string line = "  PAWN: A2,B2;;C2 .D2";
    size_t pos = 0;
    EXPECT_EQ(nextField(line, pos, " :"), "PAWN");
    EXPECT_EQ(nextField(line, pos, " ,;."), "A2");
    EXPECT_EQ(nextField(line, pos, " ,;."), "B2");
    EXPECT_EQ(nextField(line, pos, " ,;."), "C2");
    EXPECT_EQ(nextField(line, pos, " ,;."), "D2");
    EXPECT_EQ(nextField(line, pos, " ,;."), "");
    EXPECT_EQ(nextField(line, pos, " ,;."), "");
    // The delimiter that ends a token is consumed with it.
    const std::string packed = "CASTLING:ON";
    pos = 0;
    EXPECT_EQ(nextField(packed, pos, " :"), "CASTLING");
    EXPECT_EQ(nextField(packed, pos, " "), "ON");
    const std::string doubled = "CASTLING::ON";
    pos = 0;
    EXPECT_EQ(nextField(doubled, pos, " :"), "CASTLING");
    EXPECT_EQ(nextField(doubled, pos, " "), ":ON");
}

}  // namespace
