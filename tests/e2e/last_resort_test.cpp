// What the engine answers where a search cannot help: a board so crowded
// that no iteration finishes, and a game record that is full.
#include <gtest/gtest.h>

#include <string>

#include "e2e/records_files.h"
#include "support/process.h"

namespace {

using namespace records_files;

TEST(LastResort, AMoveWhenNoIterationFinishesAndADrawClaimWhenTheRecordIsFull) {
    EngineDir dir;
    // Twelve queens a side: the first iteration does not finish in the time.
    dir.write("lastgame.dat",
              positionBlock(pieceLines("", "", "", "", "A2,B2,C2,D2,E2,F2,G2,H2,A3,B3,C3,D3", "E1"),
                            pieceLines("", "", "", "", "A7,B7,C7,D7,E7,F7,G7,H7,A6,B6,C6,D6", "E8"), "WHITE"));
    RunResult r = dir.run("load\nxboard\ntime 100\nwhite\ngo\nposition\n");
    EXPECT_EQ(remarks(r).find("not moves found"), std::string::npos) << r.err;
    const size_t at = r.out.find("\nmove ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" SIDE: BLACK\n"), std::string::npos);   // the move was played

    // 298 knight moves, then the interface's 299th fills the game record.
    std::string listing;
    const char* const shuffle[4] = {"Ng1-f3", "Ng8-f6", "Nf3-g1", "Nf6-g8"};
    for (int move = 0, line = 1; move < 298; move += 2, ++line)
        listing += std::to_string(line) + ". " + shuffle[move % 4] + " " + shuffle[(move + 1) % 4] + "\n";
    dir.write("lastgame.dat", listing);
    r = dir.run("load\nxboard\nf3g1\n");
    EXPECT_NE(r.out.find("\n1/2-1/2 {game record full}\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("# error: not moves found \n"), std::string::npos);
    // At the console the full record stays a remark on standard error.
    r = dir.run("load\nf3g1\ngo\n");
    EXPECT_EQ(r.out.find("1/2-1/2"), std::string::npos);
    EXPECT_NE(r.err.find("# error: not moves found \n"), std::string::npos);
}

}  // namespace
