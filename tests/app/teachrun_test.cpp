#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"
#include "app/teachrun.h"
#include "board/makemove.h"
#include "knowledge/knowledge.h"
#include "knowledge/scratch.h"
#include "support/position.h"

namespace {

struct TeachRun {
    bool ok;
    std::string out;
    std::string err;
};

TeachRun teach(const ScratchDir& dir, const std::string& games) {
    dir.write("games.txt", games);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool ok = teachFromFile(dir.file("games.txt").c_str(), dir.file("teach.dat").c_str());
    TeachRun run{ok, "", ""};
    run.out = testing::internal::GetCapturedStdout();
    run.err = testing::internal::GetCapturedStderr();
    return run;
}

// An empty table and book, no pause after a searched position.
class TeachFromFile : public testing::Test {
protected:
    void SetUp() override {
        teachPauseSeconds = 0;
        clearBook();
        clearTeachTable();
        ASSERT_FALSE(loadTeachTable(dir.file("teach.dat").c_str()));
        saved = settings;
    }
    void TearDown() override {
        settings = saved;
        clearTeachTable();
        newGame();
    }
    // Records the positions after each of the moves of the line.
    void learnLine(const std::string& moves, int count) {
        newGame();
        std::string played;
        size_t pos = 0;
        for (int i = 0; i < count; ++i) {
            const size_t end = moves.find(' ', pos);
            ASSERT_TRUE(playMoves(moves.substr(pos, end - pos)));
            ASSERT_TRUE(teachRecord(0, 11 * i, i));
            pos = end + 1;
        }
        newGame();
    }
    ScratchDir dir;
    Settings saved;
};

TEST_F(TeachFromFile, MissingGamesFileChangesNothing) {
    settings = Settings{.minTime = 7, .maxTime = 9, .minDepth = 11};
    EXPECT_FALSE(teachFromFile(dir.file("none.txt").c_str(), dir.file("teach.dat").c_str()));
    EXPECT_EQ(settings.minTime, 7);
    EXPECT_EQ(settings.maxTime, 9);
    EXPECT_EQ(settings.minDepth, 11);
    EXPECT_FALSE(dir.exists("teach.dat"));
}

TEST_F(TeachFromFile, KnownPositionsAreInLibAndAStopIsReported) {
    learnLine("f2f3 e7e5 g2g4", 3);
    settings = Settings{.minTime = 7, .maxTime = 9, .minDepth = 11, .useBook = false};
    ASSERT_TRUE(playMoves("e2e4"));
    const TeachRun run = teach(dir,
                               "# games\n"
                               "\n"
                               "f2-f3 e7e5 g2g4 Qd8-h4\n"
                               "f2f3 zz e2e4\n");
    EXPECT_TRUE(run.ok);
    // After the mate the search has no move: the line stops at that token.
    EXPECT_EQ(run.out,
              "#new line\n# f2f3 \n# in lib\n# e7e5 \n# in lib\n# g2g4 \n# in lib\n# d8h4 \n"
              "#new line\n# f2f3 \n# in lib\n");
    EXPECT_EQ(run.err, "#error in line 3: D8H4\n#error in line 4: ZZ\n");
    // Settings untouched, the initial position on the board, the table saved.
    EXPECT_EQ(settings.minTime, 7);
    EXPECT_EQ(settings.maxTime, 9);
    EXPECT_EQ(settings.minDepth, 11);
    EXPECT_FALSE(settings.useBook);
    EXPECT_EQ(gameRecord.count, 0);
    EXPECT_EQ(board.sideToMove, WHITE);
    EXPECT_EQ(board.pieceBits[PAWN], 0x00FF00000000FF00ull);
    EXPECT_EQ(dir.read("teach.dat").size(), 3u * 88);
}

TEST_F(TeachFromFile, ANewPositionIsSearchedRecordedAndScoredForTheMover) {
    // After 3.Qh5+ Black has one legal move: the search returns it at once
    // with the score -100000, printed negated.
    learnLine("e2e4 f7f6 d1h5 g7g6", 2);
    const TeachRun run = teach(dir, "e2e4 f7f6 d1h5\n");
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.out, "#new line\n# e2e4 \n# in lib\n# f7f6 \n# in lib\n# d1h5 \n100000\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(teachEntryCount(), 3);
    ASSERT_TRUE(playMoves("e2e4 f7f6 d1h5"));
    TeachHit hit;
    ASSERT_TRUE(teachLookup(hit));
    EXPECT_EQ(hit.move, findMove("g7g6"));
    EXPECT_EQ(hit.score, -100000);
    EXPECT_EQ(hit.depth, 0);
    newGame();
    // A second run finds it.
    const TeachRun again = teach(dir, "e2e4 f7f6 d1h5\n");
    EXPECT_EQ(again.out, "#new line\n# e2e4 \n# in lib\n# f7f6 \n# in lib\n# d1h5 \n# in lib\n");
    EXPECT_EQ(teachEntryCount(), 3);
}

TEST_F(TeachFromFile, IllegalMoveStopsTheLine) {
    learnLine("e2e4 f7f6 d1h5", 3);
    const TeachRun run = teach(dir, "e2e4 f7f6 d1h5 g8h6\n");
    EXPECT_EQ(run.out, "#new line\n# e2e4 \n# in lib\n# f7f6 \n# in lib\n# d1h5 \n# in lib\n");
    EXPECT_EQ(run.err, "#error in line 1: G8H6\n");
}

}  // namespace
