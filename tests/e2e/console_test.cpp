// A person at the console: typed moves in every form, BACK and NEXT, and the
// POSITION report.
#include <gtest/gtest.h>

#include "support/process.h"

namespace {

// Standard error after the help text.
std::string remarks(const RunResult& r) {
    const std::string end = "# ENTER YOUR MOVE:\n";
    const size_t at = r.err.find(end);
    return at == std::string::npos ? r.err : r.err.substr(at + end.size());
}

std::string positionText(const std::string& white, const std::string& black, const std::string& side) {
    return "POSITION:\n WHITE:\n" + white + " BLACK:\n" + black + " SIDE: " + side + "\n";
}

const char* const castlingOff =
    "   CASTLING: OFF\n   KING_MOVED: OFF\n   LEFT_ROOK_MOVED: OFF\n   RIGHT_ROOK_MOVED: OFF\n";

TEST(Console, ShortGameAndPosition) {
    EngineDir dir;
    RunResult r = dir.run("e2e4\nE7E5\n  nf3  and more words\nNc6\nbf1-b5\ng8f6\nO-O\nposition\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(remarks(r), "");
    EXPECT_EQ(r.out, positionText("  PAWN: E4,A2,B2,C2,D2,F2,G2,H2,\n  KNIGHT: F3,B1,\n  BISHOP: B5,C1,\n"
                                  "  ROOK: A1,F1,\n  QUEEN: D1,\n  KING: G1,\n"
                                  "   CASTLING: ON\n   KING_MOVED: ON\n   LEFT_ROOK_MOVED: OFF\n"
                                  "   RIGHT_ROOK_MOVED: ON\n",
                                  "  PAWN: A7,B7,C7,D7,F7,G7,H7,E5,\n  KNIGHT: C6,F6,\n  BISHOP: C8,F8,\n"
                                  "  ROOK: A8,H8,\n  QUEEN: D8,\n  KING: E8,\n" + std::string(castlingOff),
                                  "BLACK"));
}

TEST(Console, PositionRightAfterStartUp) {
    EngineDir dir;
    RunResult r = dir.run("position\n");
    const std::string initialPawns = "  PAWN: A2,B2,C2,D2,E2,F2,G2,H2,\n";
    EXPECT_EQ(r.out, positionText(initialPawns + "  KNIGHT: B1,G1,\n  BISHOP: C1,F1,\n  ROOK: A1,H1,\n"
                                                 "  QUEEN: D1,\n  KING: E1,\n" + castlingOff,
                                  "  PAWN: A7,B7,C7,D7,E7,F7,G7,H7,\n  KNIGHT: B8,G8,\n  BISHOP: C8,F8,\n"
                                  "  ROOK: A8,H8,\n  QUEEN: D8,\n  KING: E8,\n" + std::string(castlingOff),
                                  "WHITE"));
    EXPECT_EQ(remarks(r), "");
}

TEST(Console, RefusedMoveTexts) {
    EngineDir dir;
    RunResult r = dir.run("e2e5\no-o\nn3\ne7e5\nnext\nxyz\n0-0\ne4\nexd5\ne2e4\nposition\n");
    EXPECT_EQ(remarks(r),
              "# error: E2E5\n# error: O-O\n# error: N3\n# error: E7E5\n# error: NEXT\n# error: XYZ\n"
              "# error: 0-0\n# error: EXD5\n# error: E2E4\n");
    // Only e4 was played; the texts after it are Black's turn.
    EXPECT_NE(r.out.find("  PAWN: E4,A2,B2,C2,D2,F2,G2,H2,\n"), std::string::npos);
    EXPECT_NE(r.out.find(" SIDE: BLACK\n"), std::string::npos);
}

TEST(Console, BackAndNext) {
    EngineDir dir;
    RunResult r = dir.run("e2e4\ne7e5\nback\nback\nback\nnext\nnext\nnext\nd2d4\nposition\n");
    // The third BACK and NEXT find nothing and are read as move texts.
    EXPECT_EQ(remarks(r), "# error: BACK\n# error: NEXT\n");
    EXPECT_NE(r.out.find("  PAWN: D4,E4,A2,B2,C2,F2,G2,H2,\n"), std::string::npos);
    EXPECT_NE(r.out.find("H7,E5,\n"), std::string::npos);
    r = dir.run("e2e4\ne7e5\nback\nback\nd2d4\nnext\nposition\n");
    EXPECT_EQ(remarks(r), "# error: NEXT\n");   // a new move drops the replayable ones
    EXPECT_NE(r.out.find("  PAWN: D4,A2,B2,C2,E2,F2,G2,H2,\n"), std::string::npos);
    EXPECT_NE(r.out.find("  PAWN: A7,B7,C7,D7,E7,F7,G7,H7,\n"), std::string::npos);
}

TEST(Console, BlankLinePlaysTheOnlyLegalMove) {
    EngineDir dir;
    // White king a1 boxed in by the black queen on b2: Kxb2 is the only move.
    dir.write("lastgame.dat",
              "position\n white\n  pawn\n  knight\n  bishop\n  rook\n  queen\n  king a1\n   castling off\n"
              "   king_moved on\n   left_rook_moved off\n   right_rook_moved off\n black\n  pawn\n  knight\n"
              "  bishop\n  rook\n  queen b2\n  king a8\n   castling off\n   king_moved on\n"
              "   left_rook_moved off\n   right_rook_moved off\n side white\n");
    RunResult r = dir.run("load\n\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_NE(r.out.find("  KING: B2,\n"), std::string::npos);
    EXPECT_NE(r.out.find("  QUEEN: \n"), std::string::npos);
    r = dir.run("\n");
    EXPECT_EQ(remarks(r), "# error: \n");
}

TEST(Console, CoordinateMoveMayExposeTheOwnKing) {
    EngineDir dir;
    // The white bishop on e2 is pinned by the rook on e4.
    dir.write("lastgame.dat",
              "position\n white\n  pawn\n  knight\n  bishop e2\n  rook\n  queen\n  king e1\n   castling off\n"
              "   king_moved on\n   left_rook_moved off\n   right_rook_moved off\n black\n  pawn\n  knight\n"
              "  bishop\n  rook e4\n  queen\n  king e8\n   castling off\n   king_moved on\n"
              "   left_rook_moved off\n   right_rook_moved off\n side white\n");
    RunResult r = dir.run("load\nbd3\ne2d3\nre1\ne4e1\nposition\n");
    // The pattern form refuses the pinned bishop; the coordinate form plays
    // it. Taking the king is refused in every form.
    EXPECT_EQ(remarks(r), "# error: BD3\n# error: RE1\n# error: E4E1\n");
    EXPECT_NE(r.out.find("  BISHOP: D3,\n"), std::string::npos);
    EXPECT_NE(r.out.find("  KING: E1,\n"), std::string::npos);
    EXPECT_NE(r.out.find(" SIDE: BLACK\n"), std::string::npos);
}

TEST(Console, PromotionsAndEnPassantTyped) {
    EngineDir dir;
    RunResult r = dir.run(
        "e2e4\nd7d5\ne4e5\nf7f5\ne5f6\ng7g6\nf6f7\ne8d7\nf7g8n\nh7h5\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_NE(r.out.find("  KNIGHT: G8,B1,G1,\n"), std::string::npos);
    EXPECT_NE(r.out.find("  PAWN: A7,B7,C7,E7,G6,D5,H5,\n"), std::string::npos);
    r = dir.run("e2e4\nd7d5\ne4e5\nf7f5\ne5f6\ng7g6\nf6f7\ne8d7\nf7g8\nposition\n");
    EXPECT_NE(r.out.find("  QUEEN: G8,D1,\n"), std::string::npos);
    r = dir.run("e2e4\nd7d5\ne4e5\nf7f5\ne5f6\ng7g6\nf6f7\ne8d7\nfg8r\nposition\n");
    EXPECT_NE(r.out.find("  ROOK: G8,A1,H1,\n"), std::string::npos);
}

}  // namespace
