// LOAD of files that are wrong in every way the reader can meet: each is
// refused with its remark (or loads), the game is then a new game, and the
// engine goes on.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sys/stat.h>

#include "e2e/records_files.h"
#include "support/process.h"

namespace {

using namespace records_files;

// The example file with its n-th line (0-based) replaced; "" removes it.
std::string exampleWithLine(int index, const std::string& replacement) {
    size_t begin = 0;
    for (int i = 0; i < index; ++i) begin = exampleFile.find('\n', begin) + 1;
    const size_t end = exampleFile.find('\n', begin) + 1;
    return exampleFile.substr(0, begin) + replacement + exampleFile.substr(end);
}

// Loads the file, then plays e2e4 and prints the position: after a refusal
// the game must be a new game that goes on normally.
void expectRefused(const EngineDir& dir, const std::string& file, const std::string& remark) {
    static const std::string afterE4 = [] {
        std::string text = initialBlock;
        text.replace(text.find("PAWN: A2,B2,C2,D2,E2,"), 21, "PAWN: E4,A2,B2,C2,D2,");
        text.replace(text.find("SIDE: WHITE"), 11, "SIDE: BLACK");
        return text;
    }();
    dir.write("lastgame.dat", file);
    RunResult r = dir.run("e2e4\nd7d5\nload\ne2e4\nposition\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), remark + " # error: <load>\n") << file;
    ASSERT_GE(r.out.size(), afterE4.size());
    EXPECT_EQ(r.out.substr(r.out.size() - afterE4.size()), afterE4) << file;
}

TEST(RecordsRefused, MissingFile) {
    EngineDir dir;
    RunResult r = dir.run("e2e4\nload\nposition\n");
    EXPECT_EQ(remarks(r), " # error: <load>\n");
    EXPECT_EQ(r.out, initialBlock);
}

TEST(RecordsRefused, NoRegularFile) {
    EngineDir dir;
    std::filesystem::create_directory(dir.file("lastgame.dat"));
    RunResult r = dir.run("e2e4\nload\nposition\n", 20);
    EXPECT_EQ(remarks(r), " # error: <load>\n");
    EXPECT_EQ(r.out, initialBlock);
    std::filesystem::remove(dir.file("lastgame.dat"));
    std::filesystem::create_symlink("/dev/zero", dir.file("lastgame.dat"));
    r = dir.run("load\n", 20);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(remarks(r), " # error: <load>\n");
    std::filesystem::remove(dir.file("lastgame.dat"));
    ASSERT_EQ(mkfifo(dir.file("lastgame.dat").c_str(), 0600), 0);
    r = dir.run("load\n", 20);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(remarks(r), " # error: <load>\n");
}

TEST(RecordsRefused, PositionBlocks) {
    EngineDir dir;
    const std::string remark = "# error position\n";
    // Line numbers of the example file: 1 POSITION, 2 WHITE, 3-8 pieces,
    // 9-12 castling, 13 BLACK, 14-19, 20-23, 24 SIDE.
    const struct {
        int line;
        const char* text;
    } cases[] = {
        {2, " BLACK:\n"},                              // colours out of order
        {13, " WHITE:\n"},
        {3, "  KNIGHT: A2,B2,C2,D2,E2,F2,G2,H2,\n"},  // piece lines out of order
        {4, "  KNIGHTS: B1,G1,\n"},                    // not the expected keyword
        {4, "  KNIGHT: B1,J1,\n"},                     // bad square names
        {4, "  KNIGHT: B1,G11,\n"},
        {4, "  KNIGHT: B1,G0\n"},
        {4, "  KNIGHT: B1,B1,\n"},                     // a square twice
        {4, "  KNIGHT: B1,E2,\n"},                     // a square of another line
        {14, "  PAWN: A7,B7,C7,D7,E7,F7,G7,E2,\n"},    // taken by the other colour
        {9, "   CASTLING: YES\n"},                     // value other than ON/OFF
        {10, "   KING_MOVED:\n"},
        {11, "   RIGHT_ROOK_MOVED: OFF\n"},            // castling lines out of order
        {24, " SIDE: RED\n"},
        {24, " SIDE:\n"},
        {24, " SIDES: WHITE\n"},
        {8, "  KING: E1,E3,\n"},                       // two white kings
        {8, "  KING:\n"},                              // none
        {19, "  KING: E8,A6\n"},
        {24, ""},                                      // the file ends early
        {12, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        expectRefused(dir, exampleWithLine(c.line, c.text), remark);
    }
    expectRefused(dir, "POSITION:\n", remark);
    expectRefused(dir, "position: with words\n white\n", remark);
}

TEST(RecordsRefused, PositionsNoGameCanReach) {
    EngineDir dir;
    const std::string remark = "# error position\n";
    const std::string blackKing = pieceLines("", "", "", "", "", "E8");
    // Pawns on the first or last rank.
    expectRefused(dir, positionBlock(pieceLines("A8", "", "", "", "", "E1"), blackKing, "WHITE"), remark);
    expectRefused(dir, positionBlock(pieceLines("A1", "", "", "", "", "E1"), blackKing, "WHITE"), remark);
    expectRefused(dir, positionBlock(pieceLines("", "", "", "", "", "E1"), pieceLines("H1", "", "", "", "", "E8"),
                                     "WHITE"), remark);
    // Seventeen pieces, nine pawns.
    expectRefused(dir, positionBlock(pieceLines("A2,B2,C2,D2,E2,F2,G2,H2", "B1,G1,C3", "C1,F1", "A1,H1", "D1", "E1"),
                                     blackKing, "WHITE"), remark);
    expectRefused(dir, positionBlock(pieceLines("A2,B2,C2,D2,E2,F2,G2,H2,A3", "", "", "", "", "E1"), blackKing,
                                     "WHITE"), remark);
    // A white king on e8 that may still castle.
    expectRefused(dir, positionBlock(pieceLines("", "", "", "A8", "", "E8"), pieceLines("", "", "", "", "D2", "E1"),
                                     "WHITE"), remark);
}

TEST(RecordsRefused, GameListings) {
    EngineDir dir;
    auto remark = [](int line) { return "# error game-list line - " + std::to_string(line) + "\n"; };
    expectRefused(dir, "2. e2-e4 e7-e5\n", remark(1));                     // numbered from 2
    expectRefused(dir, exampleFile + "   4. d2-d4\n", remark(3));          // a gap
    expectRefused(dir, exampleWithLine(25, "   1. e2-e4 e7-e5\n   1. Ng1-f3\n"), remark(2));
    expectRefused(dir, exampleWithLine(25, "  one. e2-e4\n"), remark(1));  // no digit
    expectRefused(dir, exampleWithLine(25, " ...\n"), remark(1));          // no number at all
    expectRefused(dir, exampleWithLine(25, "   1. e2-e5\n"), remark(1));   // illegal
    expectRefused(dir, exampleWithLine(25, "   1. e2-e4 e7:e5\n"), remark(1));
    expectRefused(dir, exampleWithLine(25, "   1. ?\n"), remark(1));       // matches every move
    expectRefused(dir, exampleWithLine(25, "   1. n3\n"), remark(1));      // ambiguous
    expectRefused(dir, exampleWithLine(26, "   2. Ng1-f3  Ke8-e7  \n   3. Ke1-e3\n"), remark(3));
    // A short b-pawn text that also reads as a move of a bishop on the second rank.
    expectRefused(dir, positionBlock(pieceLines("B2", "", "D2", "", "", "E1"), pieceLines("", "", "", "", "", "E8"),
                                     "WHITE") + "   1. b3\n", remark(1));
    // The 300th move does not fit the game record.
    std::string listing;
    const char* const shuffle[4] = {"Ng1-f3", "Ng8-f6", "Nf3-g1", "Nf6-g8"};
    for (int move = 0, line = 1; move < 300; move += 2, ++line)
        listing += std::to_string(line) + ". " + shuffle[move % 4] + " " + shuffle[(move + 1) % 4] + "\n";
    expectRefused(dir, listing, remark(150));
}

TEST(RecordsRefused, EchoStopsAtTheBadLine) {
    EngineDir dir;
    dir.write("lastgame.dat", exampleWithLine(26, "   2. Zg1-f3\n   3. e2-e4\n"));
    RunResult r = dir.run("load\n");
    EXPECT_EQ(r.out, "   1. E2-E4       E7-E5        \n   2. ZG1-F3 \n");
    EXPECT_EQ(remarks(r), "# error game-list line - 2\n # error: <load>\n");
}

// A fixed pseudo-random byte sequence.
std::string randomBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = char(seed >> 24);
    }
    return bytes;
}

TEST(RecordsGarbage, RandomBytesAreRefused) {
    EngineDir dir;
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        dir.write("lastgame.dat", randomBytes(100000, seed));
        RunResult r = dir.run("load\ne2e4\nposition\n");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.signal, 0);
        const std::string text = remarks(r);
        EXPECT_EQ(text.rfind("# error game-list line - ", 0), 0u) << text;
        EXPECT_EQ(text.substr(text.find('\n') + 1), " # error: <load>\n");
        EXPECT_NE(r.out.find(" SIDE: BLACK\n"), std::string::npos);
    }
    // Random bytes after a good position block.
    dir.write("lastgame.dat", initialBlock + "1" + randomBytes(5000, 9));
    RunResult r = dir.run("load\nposition\n");
    EXPECT_EQ(r.status, 0);
    const std::string text = remarks(r);
    EXPECT_EQ(text.rfind("# error game-list line - ", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.find('\n') + 1), " # error: <load>\n");
    EXPECT_EQ(r.out.substr(r.out.size() - initialBlock.size()), initialBlock);
}

TEST(RecordsGarbage, TenMegabyteLines) {
    EngineDir dir;
    // A long comment stays a comment; a long line keeps its first 1022 characters.
    const std::string huge(10 * 1024 * 1024, ' ');
    dir.write("lastgame.dat", "#" + huge + "x\n1. e2-e4 e7-e5" + huge + "x\n2. g1-f3\n");
    RunResult r = dir.run("load\nposition\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out.substr(0, 1034), "1. E2-E4 E7-E5" + std::string(1022 - 14, ' ') + " \n2. G1-F3 \n");
    EXPECT_NE(r.out.find(" SIDE: BLACK\n"), std::string::npos);
    dir.write("lastgame.dat", "1. e2-e4 " + std::string(10 * 1024 * 1024, 'e') + "\n");
    r = dir.run("load\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "# error game-list line - 1\n # error: <load>\n");
    EXPECT_EQ(r.out.size(), 1024u);
}

TEST(RecordsGarbage, NulBytes) {
    EngineDir dir;
    // A line ends for the reader at a NUL byte.
    std::string text = "1. e2-e4 e7-e5";
    text += '\0';
    text += "garbage\n2. g1-f3\n";
    dir.write("lastgame.dat", text);
    RunResult r = dir.run("load\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out, "1. E2-E4 E7-E5 \n2. G1-F3 \n");
    text = exampleFile;
    text[text.find("KNIGHT: B1")] = '\0';
    dir.write("lastgame.dat", text);
    r = dir.run("load\n");
    EXPECT_EQ(remarks(r), "# error position\n # error: <load>\n");
    dir.write("lastgame.dat", std::string(1000, '\0'));
    r = dir.run("e2e4\nload\nposition\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out, initialBlock);
}

TEST(RecordsGarbage, NineQueensASideLoadAndPlay) {
    EngineDir dir;
    const std::string block =
        positionBlock(pieceLines("", "", "", "", "A2,B2,A1,B1,C1,D1,F1,G1,H1,", "E1,"),
                      pieceLines("", "", "", "", "A8,B8,C8,D8,F8,G8,H8,A7,B7,", "E8,"), "WHITE");
    dir.write("lastgame.dat", block);
    RunResult r = dir.run("load\nposition\nqb2-b6\nqa7:a2\nqb6:b7\nsave\nload\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out.substr(0, block.size()), block);
    EXPECT_EQ(r.out.substr(block.size()), "   1. QB2-B6      QA7:A2       \n   2. QB6:B7       \n");
}

}  // namespace

namespace {

TEST(RecordsLoaded, SideNotToMoveInCheckLoadsButItsKingIsNeverTaken) {
    EngineDir dir;
    // White to move with a rook attacking the black king on e8.
    dir.write("lastgame.dat", positionBlock(pieceLines("", "", "", "E2", "", "E1"),
                                            pieceLines("", "", "", "", "", "E8"), "WHITE"));
    RunResult r = dir.run("load\ne2e8\nre8\ngo\ne2d2\nposition\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "# error: E2E8\n# error: RE8\n# error: not moves found \n");
    EXPECT_NE(r.out.find("  ROOK: D2,\n"), std::string::npos);
    EXPECT_NE(r.out.find(" SIDE: BLACK\n"), std::string::npos);
}

}  // namespace
