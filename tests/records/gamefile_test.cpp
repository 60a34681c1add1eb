#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "records/records.h"
#include "records/records_support.h"
#include "support/position.h"

namespace {

struct LoadResult {
    bool ok;
    std::string out, err;
};

LoadResult load(const std::string& path) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    LoadResult r;
    r.ok = loadGame(path.c_str());
    r.out = testing::internal::GetCapturedStdout();
    r.err = testing::internal::GetCapturedStderr();
    return r;
}

bool isNewGame() {
    HashKey initialKey = 0;
    for (int sq = 0; sq < 64; ++sq)
        if (initialPosition[sq]) initialKey ^= zobristKeys[sq < 32 ? BLACK : WHITE][initialPosition[sq]][sq];
    return board.hashKey == initialKey && gameRecord.count == 0 && gameRecord.recorded == 0 && board.sideToMove == WHITE;
}

const std::string exampleGame = std::string("# last game\n") + initialPositionText +
                                "   1. e2-e4       e7-e5       \n   2. Ng1-f3      \n";

TEST(GameFile, SavesTheExampleGame) {
    TempDir dir;
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3"));
    EXPECT_TRUE(saveGame(dir.file("lastgame.dat").c_str()));
    EXPECT_EQ(dir.read("lastgame.dat"), exampleGame);
    EXPECT_EQ(gameRecord.count, 3);
    // Nothing but the file itself is left in the directory.
    auto entries = std::distance(std::filesystem::directory_iterator(dir.path), std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1);
}

TEST(GameFile, SaveReplacesTheOldFileAndTellsItsCallerOfAFailure) {
    TempDir dir;
    dir.write("lastgame.dat", "old content that is longer than the new one would be, surely, yes indeed\n"
                              "more old content\n" + std::string(3000, 'x'));
    newGame();
    EXPECT_TRUE(saveGame(dir.file("lastgame.dat").c_str()));
    EXPECT_EQ(dir.read("lastgame.dat"), std::string("# last game\n") + initialPositionText);
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(saveGame(dir.file("missing/lastgame.dat").c_str()));   // the command reports it
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing")));
}

TEST(GameFile, SaveAndLoadRoundTrip) {
    TempDir dir;
    newGame();
    ASSERT_TRUE(playMoves("d2d4 g8f6 c2c4 e7e6 b1c3 f8b4 e2e3 e8g8 f1d3 d7d5"));
    ASSERT_TRUE(takeBackMove());
    ASSERT_TRUE(takeBackMove());
    const HashKey key = board.hashKey;
    saveGame(dir.file("lastgame.dat").c_str());
    newGame();
    LoadResult r = load(dir.file("lastgame.dat"));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "   1. D2-D4       NG8-F6       \n   2. C2-C4       E7-E6        \n"
              "   3. NB1-C3      BF8-B4       \n   4. E2-E3       O-O          \n");
    EXPECT_EQ(board.hashKey, key);
    EXPECT_EQ(gameRecord.count, 8);
    EXPECT_EQ(gameRecord.recorded, 8);   // the taken-back moves were not saved
    EXPECT_EQ(board.sideToMove, WHITE);
}

TEST(GameFile, GameFromALoadedPositionKeepsThatPosition) {
    TempDir dir;
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K3 b - -"));
    std::string block = writtenText([](FILE* f) { writePosition(f, true); });
    dir.write("lastgame.dat", "# made by hand\n" + block);
    ASSERT_TRUE(load(dir.file("lastgame.dat")).ok);
    ASSERT_TRUE(playMoves("e8d7 a1a7 d7c6"));
    saveGame(dir.file("lastgame.dat").c_str());
    EXPECT_EQ(dir.read("lastgame.dat"),
              "# last game\n" + block + "   1.       Ke8-d7      \n   2. Ra1-a7+     Kd7-c6      \n");
    const HashKey key = board.hashKey;
    ASSERT_TRUE(load(dir.file("lastgame.dat")).ok);
    EXPECT_EQ(board.hashKey, key);
    EXPECT_EQ(gameRecord.count, 3);
    EXPECT_EQ(board.sideToMove, WHITE);
}

TEST(GameFile, FilesWithoutAPositionBlock) {
    TempDir dir;
    dir.write("lastgame.dat", "");
    newGame();
    ASSERT_TRUE(playMoves("e2e4"));
    LoadResult r = load(dir.file("lastgame.dat"));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(isNewGame());
    dir.write("lastgame.dat", "# only comments\n\n   \n");
    EXPECT_TRUE(load(dir.file("lastgame.dat")).ok);
    EXPECT_TRUE(isNewGame());
    dir.write("lastgame.dat", "1. e2-e4 e7-e5\n");
    r = load(dir.file("lastgame.dat"));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.out, "1. E2-E4 E7-E5 \n");
    EXPECT_EQ(gameRecord.count, 2);
    // The first data line is read again as the listing's first line.
    dir.write("lastgame.dat", "positions: 1\n");
    r = load(dir.file("lastgame.dat"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.out, "POSITIONS: 1 \n");
    EXPECT_EQ(r.err, "# error game-list line - 1\n");
    EXPECT_TRUE(isNewGame());
}

TEST(GameFile, FailuresResetTheGame) {
    TempDir dir;
    newGame();
    ASSERT_TRUE(playMoves("e2e4"));
    LoadResult r = load(dir.file("lastgame.dat"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(isNewGame());

    ASSERT_TRUE(playMoves("e2e4"));
    dir.write("lastgame.dat", "POSITION:\n WHITE:\n");
    r = load(dir.file("lastgame.dat"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.err, "# error position\n");
    EXPECT_TRUE(isNewGame());

    dir.write("lastgame.dat", exampleGame + "   3. Ng1-f3\n");
    r = load(dir.file("lastgame.dat"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.err, "# error game-list line - 3\n");
    EXPECT_TRUE(isNewGame());

    // A directory in the file's place cannot be read.
    std::filesystem::create_directory(dir.file("folder"));
    ASSERT_TRUE(playMoves("e2e4"));
    r = load(dir.file("folder"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(isNewGame());
}

TEST(GameFile, CrLfLineEnds) {
    TempDir dir;
    std::string text = exampleGame;
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    dir.write("lastgame.dat", crlf);
    LoadResult r = load(dir.file("lastgame.dat"));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.out, "   1. E2-E4       E7-E5        \n   2. NG1-F3       \n");
    EXPECT_EQ(gameRecord.count, 3);
    // Old Mac line ends (CR alone) read the same.
    std::string cr = text;
    for (char& c : cr)
        if (c == '\n') c = '\r';
    dir.write("lastgame.dat", cr);
    EXPECT_TRUE(load(dir.file("lastgame.dat")).ok);
    EXPECT_EQ(gameRecord.count, 3);
}

}  // namespace

namespace {

// The Board agrees with itself: mailbox, bitboards, line occupancy, key and
// material, and every generated move makes and unmakes cleanly.
void expectConsistentBoard() {
    HashKey key = 0;
    int material[2] = {0, 0};
    Bitboard occupied = 0;
    for (int sq = 0; sq < 64; ++sq) {
        const int piece = board.squares[sq];
        if (!piece) continue;
        const int colour = isOccupiedBy(sq, WHITE) ? WHITE : BLACK;
        ASSERT_TRUE(isOccupiedBy(sq, colour) && !isOccupiedBy(sq, colour ^ 1));
        ASSERT_TRUE(board.pieceBits[piece] >> sq & 1);
        key ^= zobristKeys[colour][piece][sq];
        material[colour] += pieceValue[piece];
        occupied |= squareBit(sq);
    }
    EXPECT_EQ(board.hashKey, key);
    EXPECT_EQ(board.material[WHITE], material[WHITE]);
    EXPECT_EQ(board.material[BLACK], material[BLACK]);
    EXPECT_EQ(lineOccupancy.rank, occupied);
    EXPECT_EQ(board.colourBits[WHITE] | board.colourBits[BLACK], occupied);
    EXPECT_EQ(board.opponent, board.sideToMove ^ 1);
    EXPECT_EQ(popCount(board.pieceBits[KING] & board.colourBits[WHITE]), 1);
    EXPECT_EQ(popCount(board.pieceBits[KING] & board.colourBits[BLACK]), 1);
    generateAllMoves();
    for (int i = plyEnd[-1]; i < plyEnd[0]; ++i) {
        ASSERT_TRUE(isPseudoLegal(moveStack[i]));
        makeMove(moveStack[i]);
        unmakeMove(moveStack[i]);
        ASSERT_EQ(board.hashKey, key);
    }
}

TEST(GameFile, MutatedFilesLoadOrAreRefusedCleanly) {
    TempDir dir;
    newGame();
    ASSERT_TRUE(playMoves("e2e4 d7d5 e4d5 g8f6 f1b5 c7c6 d5c6 d8d2 b1d2 e7e5 c6b7 c8d7 b7a8q f8c5 g1f3 e8g8"));
    saveGame(dir.file("lastgame.dat").c_str());
    const std::string original = dir.read("lastgame.dat");
    const char replacements[] = " \n\r\0#:,.;-xX12345678ABCDEFGHKQRBNPO";
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    int loaded = 0;
    for (int round = 0; round < 300; ++round) {
        std::string text = original;
        for (int edits = 1 + int(next(3)); edits > 0; --edits) {
            const size_t at = next(uint32_t(text.size()));
            switch (next(3)) {
            case 0: text[at] = replacements[next(sizeof(replacements) - 1)]; break;
            case 1: text.erase(at, 1 + next(8)); break;
            default: text.insert(at, 1, replacements[next(sizeof(replacements) - 1)]); break;
            }
        }
        dir.write("lastgame.dat", text);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool ok = loadGame(dir.file("lastgame.dat").c_str());
        testing::internal::GetCapturedStdout();
        const std::string err = testing::internal::GetCapturedStderr();
        if (ok) {
            ++loaded;
            EXPECT_EQ(err, "");
        } else {
            EXPECT_TRUE(isNewGame()) << text;
            EXPECT_TRUE(err.rfind("# error position\n", 0) == 0 || err.rfind("# error game-list line - ", 0) == 0)
                << err;
        }
        expectConsistentBoard();
        if (testing::Test::HasFatalFailure()) return;
    }
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, 300);
}

}  // namespace
