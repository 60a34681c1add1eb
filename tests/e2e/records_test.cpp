// SAVE, LOAD and the game listing through the real binary.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/records_files.h"
#include "support/process.h"

namespace {

using namespace records_files;

TEST(RecordsSave, WritesTheExampleFile) {
    EngineDir dir;
    RunResult r = dir.run("e2e4\ne7e5\ng1f3\nsave\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(dir.read("lastgame.dat"), exampleFile);
    // Only the file is left: the temporary file was renamed over it.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.path().filename().string().rfind("lastgame.dat", 0) == 0 ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(RecordsSave, ReplacesAnOldFileAndSavesOnlyUpToTheCurrentMove) {
    EngineDir dir;
    dir.write("lastgame.dat", std::string(50000, 'x'));
    RunResult r = dir.run("e2e4\ne7e5\ng1f3\nb8c6\nback\nback\nsave\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(dir.read("lastgame.dat"), "# last game\n" + initialBlock + "   1. e2-e4       e7-e5       \n");
    r = dir.run("load\nnext\nposition\n");
    EXPECT_EQ(remarks(r), "# error: NEXT\n");   // the two moves taken back were not saved
    EXPECT_EQ(r.out.rfind("   1. E2-E4       E7-E5        \nPOSITION:\n", 0), 0u);
    EXPECT_NE(r.out.find(" SIDE: WHITE\n"), std::string::npos);
}

TEST(RecordsSave, ACreationFailureIsReportedAndKeepsWhatIsThere) {
    EngineDir dir;
    std::filesystem::create_directory(dir.file("lastgame.dat"));
    dir.write("lastgame.dat/keep", "kept");
    RunResult r = dir.run("e2e4\nsave\nposition\nload\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "# error: " + dir.file("lastgame.dat") + " not saved: Is a directory\n # error: <load>\n");
    EXPECT_EQ(dir.read("lastgame.dat/keep"), "kept");
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST(RecordsLoad, EchoesTheListingAndRestoresTheGame) {
    EngineDir dir;
    dir.write("lastgame.dat", exampleFile);
    RunResult typed = dir.run("e2e4\ne7e5\ng1f3\nposition\n");
    RunResult r = dir.run("e2e4\nload\nposition\nback\nback\nback\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out, exampleEcho + typed.out + initialBlock);
}

TEST(RecordsLoad, SaveAndLoadKeepTheGame) {
    EngineDir dir;
    const std::string moves = "d2d4\ng8f6\nc2c4\ne7e6\nb1c3\nf8b4\ne2e3\ne8g8\nf1d3\nd7d5\ng1f3\nc7c5\ne1g1\n";
    RunResult typed = dir.run(moves + "position\n");
    RunResult r = dir.run(moves + "save\nnew\nload\nposition\n");
    EXPECT_EQ(remarks(r), "");
    const std::string file = dir.read("lastgame.dat");
    EXPECT_NE(file.find("   4. e2-e3       o-o         \n"), std::string::npos);
    EXPECT_NE(file.find("   7. o-o         \n"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.find("POSITION:")), typed.out);
}

TEST(RecordsLoad, AGameFromALoadedPositionKeepsItsBlock) {
    EngineDir dir;
    const std::string block = positionBlock(pieceLines("", "", "", "A1,", "", "E1,"),
                                            pieceLines("", "", "", "", "", "E8,"), "BLACK",
                                            "   CASTLING: OFF\n   KING_MOVED: ON\n   LEFT_ROOK_MOVED: OFF\n"
                                            "   RIGHT_ROOK_MOVED: OFF\n");
    dir.write("lastgame.dat", block);
    RunResult r = dir.run("load\nke8-d7\nRa7\nkc6\nsave\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(dir.read("lastgame.dat"),
              "# last game\n" + block + "   1.       Ke8-d7      \n   2. Ra1-a7+     Kd7-c6      \n");
    r = dir.run("load\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out.rfind("   1.       KE8-D7       \n   2. RA1-A7+     KD7-C6       \nPOSITION:\n", 0), 0u);
}

TEST(RecordsListing, MateStalemateCastlingWithCheckAndEnPassant) {
    EngineDir dir;
    dir.run("e2e4\ne7e5\nf1c4\nb8c6\nd1h5\ng8f6\nh5f7\nsave\n");
    EXPECT_EQ(dir.read("lastgame.dat").substr(initialBlock.size() + 12),
              "   1. e2-e4       e7-e5       \n   2. Bf1-c4      Nb8-c6      \n"
              "   3. Qd1-h5      Ng8-f6      \n   4. Qh5:f7#     \n");
    dir.run("e2e4\nd7d6\nf1b5\nsave\n");
    EXPECT_NE(dir.read("lastgame.dat").find("   2. Bf1-b5+     \n"), std::string::npos);
    dir.run("e2e4\na7a6\ne4e5\nd7d5\ne5d6\nsave\n");
    EXPECT_NE(dir.read("lastgame.dat").find("   3. e5:d6       \n"), std::string::npos);

    // Stalemate: no mark.
    dir.write("lastgame.dat", positionBlock(pieceLines("", "", "", "", "C5", "H1"),
                                            pieceLines("", "", "", "", "", "A8"), "WHITE"));
    RunResult r = dir.run("load\nqb6\nsave\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_NE(dir.read("lastgame.dat").find(" SIDE: WHITE\n   1. Qc5-b6      \n"), std::string::npos);

    // Short castling that gives check is listed without a mark, and read back.
    dir.write("lastgame.dat", positionBlock(pieceLines("", "", "", "H1", "", "E1"),
                                            pieceLines("", "", "", "", "", "F8"), "WHITE"));
    r = dir.run("load\no-o\nsave\nload\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_NE(dir.read("lastgame.dat").find(" SIDE: WHITE\n   1. o-o         \n"), std::string::npos);
    EXPECT_NE(r.out.find("   1. O-O          \n"), std::string::npos);
    EXPECT_NE(r.out.find("  ROOK: F1,\n"), std::string::npos);
}

TEST(RecordsListing, BlackToMoveFirst) {
    EngineDir dir;
    dir.write("lastgame.dat", positionBlock(pieceLines("E2", "", "", "", "", "E1"),
                                            pieceLines("E7", "", "", "", "", "E8"), "BLACK") +
                                  "   1.       e7-e5\n   2. e2-e4\n");
    RunResult r = dir.run("load\nsave\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out, "   1.       E7-E5 \n   2. E2-E4 \n");
    const std::string file = dir.read("lastgame.dat");
    EXPECT_EQ(file.substr(file.find(" SIDE:")), " SIDE: BLACK\n   1.       e7-e5       \n   2. e2-e4       \n");
}

TEST(RecordsListing, ForgivingFiles) {
    EngineDir dir;
    RunResult typed = dir.run("e2e4\ne7e5\ng1f3\nposition\n");
    // Lower case, comments and blank lines anywhere, other square separators.
    dir.write("lastgame.dat",
              "# last game\n\nposition:\n# white comes first\n white:\n\n  pawn: a2;b2 c2.d2,e2;f2..g2 h2\n"
              "  knight: b1 g1\n  bishop: c1;f1;\n     # a comment\n  rook: a1.h1.\n  queen: d1\n  king: e1,\n"
              "   castling: off\n   king_moved: off\n   left_rook_moved: off\n   right_rook_moved: off\n"
              " black:\n  pawn: a7,b7,c7,d7,e7,f7,g7,h7,\n  knight: b8,g8,\n  bishop: c8,f8,\n  rook: a8,h8,\n"
              "  queen: d8,\n  king: e8,\n   castling: off\n   king_moved: off\n   left_rook_moved: off\n"
              "   right_rook_moved: off\n side: white\n\n# the moves\n1. e2-e4;e7-e5 extra words\n\n   2.ng1-f3\n");
    RunResult r = dir.run("load\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out, "1. E2-E4;E7-E5 EXTRA WORDS \n   2.NG1-F3 \n" + typed.out);

    // A listing alone, in coordinates, with comma separators.
    dir.write("lastgame.dat", "1. e2e4, e7e5\n2. g1f3\n");
    r = dir.run("load\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out, "1. E2E4, E7E5 \n2. G1F3 \n" + typed.out);

    // An empty file is a new game.
    dir.write("lastgame.dat", "");
    r = dir.run("e2e4\nload\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out, initialBlock);
}

TEST(RecordsListing, CrLfAndCrLineEnds) {
    EngineDir dir;
    RunResult typed = dir.run("e2e4\ne7e5\ng1f3\nposition\n");
    std::string crlf, cr;
    for (char c : exampleFile) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    for (const std::string& text : {crlf, cr}) {
        dir.write("lastgame.dat", text);
        RunResult r = dir.run("load\nposition\n");
        EXPECT_EQ(remarks(r), "");
        EXPECT_EQ(r.out, exampleEcho + typed.out);
    }
}

}  // namespace
