#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "board/makemove.h"
#include "knowledge/knowledge.h"
#include "scratch.h"
#include "support/position.h"

namespace {

// A fresh, empty table with its chain heads (a failed load allocates them).
void emptyTable() {
    clearTeachTable();
    ASSERT_FALSE(loadTeachTable("/nonexistent/rotor/teach.dat"));
    ASSERT_EQ(teachEntryCount(), 0);
}

uint64_t u64At(const std::string& bytes, size_t offset) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

uint32_t u32At(const std::string& bytes, size_t offset) { return uint32_t(u64At(bytes + std::string(4, '\0'), offset)); }

std::string recordBytes(const TeachEntry& e) { return std::string(reinterpret_cast<const char*>(&e), sizeof(e)); }

// A record for the current position.
TeachEntry recordHere(Move move, int score, int depth) {
    TeachEntry e;
    std::memset(&e, 0, sizeof(e));
    e.key = board.hashKey;
    e.side = board.sideToMove;
    e.score = score;
    e.castling = castlingSignature();
    e.depth = depth;
    for (int piece = PAWN; piece <= QUEEN; ++piece) e.pieces[piece - PAWN] = board.pieceBits[piece];
    e.white = board.colourBits[WHITE];
    e.black = board.colourBits[BLACK];
    e.move = move;
    e.link = 0xDEADBEEF;
    return e;
}

struct Found {
    bool found = false;
    Move move = 0;
    int score = 0;
    int depth = 0;
};

Found lookup() {
    Found f;
    TeachHit hit{};
    f.found = teachLookup(hit);
    if (f.found) f = Found{true, hit.move, hit.score, hit.depth};
    return f;
}

TEST(TeachRecord, LayoutByteForByte) {
    emptyTable();
    newGame();
    const Move e4 = findMove("e2e4");
    ASSERT_TRUE(teachRecord(e4, -37, 9));
    ScratchDir dir;
    ASSERT_TRUE(saveTeachTable(dir.file("teach.dat").c_str()));
    const std::string bytes = dir.read("teach.dat");
    ASSERT_EQ(bytes.size(), 88u);
    EXPECT_EQ(u64At(bytes, 0), board.hashKey);
    EXPECT_EQ(u32At(bytes, 8), 0u);                     // White to move
    EXPECT_EQ(u32At(bytes, 12), uint32_t(-37));
    EXPECT_EQ(u32At(bytes, 16), 15u);                   // all four castlings open
    EXPECT_EQ(u32At(bytes, 20), 9u);
    EXPECT_EQ(u64At(bytes, 24), 0x00FF00000000FF00ull);  // pawns
    EXPECT_EQ(u64At(bytes, 32), 0x4200000000000042ull);  // knights b8 g8 b1 g1
    EXPECT_EQ(u64At(bytes, 40), 0x2400000000000024ull);  // bishops
    EXPECT_EQ(u64At(bytes, 48), 0x8100000000000081ull);  // rooks
    EXPECT_EQ(u64At(bytes, 56), 0x0800000000000008ull);  // queens d8 d1
    EXPECT_EQ(u64At(bytes, 64), 0xFFFF000000000000ull);  // White
    EXPECT_EQ(u64At(bytes, 72), 0x000000000000FFFFull);  // Black
    EXPECT_EQ(u32At(bytes, 80), e4);
    EXPECT_EQ(e4, 52u << 6 | 36u | 0x04001000u);
    clearTeachTable();
}

TEST(TeachRecord, SamePositionTwiceKeepsOneEntryWithTheSecondResult) {
    emptyTable();
    newGame();
    ASSERT_TRUE(playMoves("e2e4 e7e5"));
    ASSERT_TRUE(teachRecord(findMove("g1f3"), 30, 8));
    ASSERT_TRUE(teachRecord(findMove("b1c3"), -12, 4));
    EXPECT_EQ(teachEntryCount(), 1);
    Found f = lookup();
    EXPECT_TRUE(f.found);
    EXPECT_EQ(f.move, findMove("b1c3"));
    EXPECT_EQ(f.score, -12);
    EXPECT_EQ(f.depth, 4);
    // The same position reached by another move order.
    newGame();
    ASSERT_TRUE(playMoves("g1f3 g8f6 e2e4 e7e5 f3g1 f6g8"));
    f = lookup();
    EXPECT_TRUE(f.found);
    EXPECT_EQ(f.move, findMove("b1c3"));
    clearTeachTable();
    newGame();
}

TEST(TeachRecord, OtherRightsOrSideToMoveAreOtherPositions) {
    emptyTable();
    const Move e4 = encodeMove(52, 36, 1, 0, QUIET);
    newGame();
    ASSERT_TRUE(teachRecord(e4, 10, 5));
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kkq -"));
    EXPECT_FALSE(lookup().found);
    ASSERT_TRUE(teachRecord(e4, 20, 6));
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -"));
    EXPECT_FALSE(lookup().found);
    ASSERT_TRUE(teachRecord(findMove("e7e5"), 30, 7));
    EXPECT_EQ(teachEntryCount(), 3);
    newGame();
    EXPECT_EQ(lookup().score, 10);
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kkq -"));
    EXPECT_EQ(lookup().score, 20);
    clearTeachTable();
    newGame();
}

TEST(TeachTable, WithoutHeadsNothingIsFoundRecordedOrSaved) {
    clearTeachTable();
    newGame();
    EXPECT_FALSE(lookup().found);
    EXPECT_FALSE(teachRecord(findMove("e2e4"), 1, 1));
    ScratchDir dir;
    EXPECT_FALSE(saveTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_FALSE(dir.exists("teach.dat"));
    // A missing file still leaves a usable, empty table.
    EXPECT_FALSE(loadTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_TRUE(teachRecord(findMove("e2e4"), 1, 1));
    EXPECT_TRUE(saveTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_EQ(dir.read("teach.dat").size(), 88u);
    clearTeachTable();
}

// Records with chosen keys; chains 5 and 9 of the 2^17.
std::vector<TeachEntry> craftedRecords() {
    std::vector<TeachEntry> records;
    const uint64_t keys[] = {5, 9 | (1ull << 17), 5 | (7ull << 40), 9, 5 | (1ull << 20)};
    for (int i = 0; i < 5; ++i) {
        TeachEntry e;
        std::memset(&e, 0x11 * (i + 1), sizeof(e));
        e.key = keys[i];
        e.score = 100 * i;
        e.link = 0xFFFFFFFF;   // meaningless in the file
        records.push_back(e);
    }
    return records;
}

TEST(TeachFile, PartialTrailingRecordIsIgnored) {
    ScratchDir dir;
    const std::vector<TeachEntry> records = craftedRecords();
    for (int extra : {0, 1, 50, 87}) {
        std::string content;
        for (const TeachEntry& e : records) content += recordBytes(e);
        content += std::string(extra, '\x7F');
        dir.write("teach.dat", content);
        clearTeachTable();
        EXPECT_TRUE(loadTeachTable(dir.file("teach.dat").c_str()));
        EXPECT_EQ(teachEntryCount(), 5) << extra;
    }
    dir.write("teach.dat", std::string(87, 'x'));
    clearTeachTable();
    EXPECT_TRUE(loadTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_EQ(teachEntryCount(), 0);
    dir.write("teach.dat", "");
    EXPECT_TRUE(loadTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_EQ(teachEntryCount(), 0);
    clearTeachTable();
}

TEST(TeachFile, LoadThenSaveGivesEachChainInReverseFileOrder) {
    ScratchDir dir;
    const std::vector<TeachEntry> r = craftedRecords();
    std::string content;
    for (const TeachEntry& e : r) content += recordBytes(e);
    dir.write("in.dat", content);
    clearTeachTable();
    ASSERT_TRUE(loadTeachTable(dir.file("in.dat").c_str()));
    ASSERT_TRUE(saveTeachTable(dir.file("out.dat").c_str()));
    // Chain 5: records 4, 2, 0; chain 9: records 3, 1. Link bytes are written as 0.
    std::string expected;
    for (int i : {4, 2, 0, 3, 1}) {
        TeachEntry e = r[i];
        e.link = 0;
        expected += recordBytes(e);
    }
    EXPECT_EQ(dir.read("out.dat"), expected);
    // Loading the saved file again and saving gives the original chain order back.
    clearTeachTable();
    ASSERT_TRUE(loadTeachTable(dir.file("out.dat").c_str()));
    ASSERT_TRUE(saveTeachTable(dir.file("again.dat").c_str()));
    std::string original;
    for (int i : {0, 2, 4, 1, 3}) {
        TeachEntry e = r[i];
        e.link = 0;
        original += recordBytes(e);
    }
    EXPECT_EQ(dir.read("again.dat"), original);
    clearTeachTable();
}

TEST(TeachFile, LoadedRecordsGoInFrontOfEarlierOnesAndNewestFirst) {
    ScratchDir dir;
    emptyTable();
    newGame();
    ASSERT_TRUE(teachRecord(findMove("e2e4"), 1, 1));
    const TeachEntry first = recordHere(findMove("d2d4"), 2, 2);
    dir.write("teach.dat", recordBytes(first));
    ASSERT_TRUE(loadTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_EQ(teachEntryCount(), 2);
    // No duplicate check on loading: the loaded record now heads the chain.
    Found f = lookup();
    EXPECT_EQ(f.move, findMove("d2d4"));
    EXPECT_EQ(f.score, 2);
    // Recording overwrites the first match only.
    ASSERT_TRUE(teachRecord(findMove("c2c4"), 3, 3));
    EXPECT_EQ(teachEntryCount(), 2);
    EXPECT_EQ(lookup().move, findMove("c2c4"));
    clearTeachTable();
}

TEST(TeachFile, SaveReplacesTheOldFileWhole) {
    ScratchDir dir;
    dir.write("teach.dat", std::string(1000, 'z'));
    emptyTable();
    newGame();
    ASSERT_TRUE(teachRecord(findMove("e2e4"), 5, 5));
    ASSERT_TRUE(saveTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_EQ(dir.read("teach.dat").size(), 88u);
    // A save that cannot be completed leaves the old file as it was.
    EXPECT_FALSE(saveTeachTable(dir.file("missing/teach.dat").c_str()));
    std::filesystem::create_directory(dir.file("taken"));
    dir.write("taken/inside", "kept");
    EXPECT_FALSE(saveTeachTable(dir.file("taken").c_str()));
    EXPECT_EQ(dir.read("taken/inside"), "kept");
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("")))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    clearTeachTable();
}

TEST(TeachRobustness, ImpossibleMovesAreNoMovesAndValuesAreClamped) {
    ScratchDir dir;
    newGame();
    const Move e4 = findMove("e2e4");
    const std::vector<Move> bad = {
        e4 | CAPTURE,                                    // a capture of nothing
        encodeMove(52, 36, 0, 0, QUIET),                 // pawn push without its mark
        encodeMove(52, 44, 1, 0, QUIET | CASTLE_LONG),   // a pawn that castles
        encodeMove(60, 62, 0, 0, CASTLE_SHORT),          // castling through pieces
        encodeMove(62, 45, 6, 0, QUIET | PROMOTION),     // a knight that promotes to a king
        encodeMove(62, 45, 0, 0, QUIET) | (1u << 20),    // stray bit
        encodeMove(12, 28, 1, 0, QUIET),                 // Black's pawn
        encodeMove(36, 28, 1, 0, QUIET),                 // empty square
        encodeMove(51, 43, 1, 0, QUIET | EN_PASSANT),
        0xFFFFFFFFu,
        0,
    };
    const int scores[] = {INT_MAX, INT_MIN, 100001, -100001, 7};
    const int depths[] = {INT_MAX, INT_MIN, 51, -1, 7};
    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        dir.write("teach.dat", recordBytes(recordHere(bad[i], scores[i % 5], depths[i % 5])));
        clearTeachTable();
        ASSERT_TRUE(loadTeachTable(dir.file("teach.dat").c_str()));
        const Found f = lookup();
        EXPECT_TRUE(f.found);
        EXPECT_EQ(f.move, 0u);
        EXPECT_EQ(f.score, i % 5 == 0 ? 100000 : i % 5 == 1 ? -100000 : i % 5 == 2 ? 100000 : i % 5 == 3 ? -100000 : 7);
        EXPECT_EQ(f.depth, i % 5 == 0 ? 50 : i % 5 == 1 ? 0 : i % 5 == 2 ? 50 : i % 5 == 3 ? 0 : 7);
    }
    // A good move is handed out as stored.
    dir.write("teach.dat", recordBytes(recordHere(e4, 15, 3)));
    clearTeachTable();
    ASSERT_TRUE(loadTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_EQ(lookup().move, e4);
    clearTeachTable();
}

TEST(TeachRobustness, RandomBytesLoadAndLookupsStaySafe) {
    ScratchDir dir;
    std::mt19937 random(99);
    std::string content;
    for (int i = 0; i < 88 * 300 + 17; ++i) content += char(random());
    dir.write("teach.dat", content);
    clearTeachTable();
    ASSERT_TRUE(loadTeachTable(dir.file("teach.dat").c_str()));
    EXPECT_EQ(teachEntryCount(), 300);
    newGame();
    EXPECT_FALSE(lookup().found);
    ASSERT_TRUE(playMoves("e2e4 e7e5 g1f3"));
    EXPECT_FALSE(lookup().found);
    ASSERT_TRUE(saveTeachTable(dir.file("again.dat").c_str()));
    EXPECT_EQ(dir.read("again.dat").size(), 88u * 300);
    clearTeachTable();
    newGame();
}

// Scores of the records of a teach file, sorted.
std::vector<int32_t> recordScores(const std::string& bytes) {
    std::vector<int32_t> scores;
    for (size_t at = 0; at + sizeof(TeachEntry) <= bytes.size(); at += sizeof(TeachEntry))
        scores.push_back(int32_t(u32At(bytes, at + 12)));
    std::sort(scores.begin(), scores.end());
    return scores;
}

// Engines sharing teach.dat: a save takes in what the others saved since
// loading (a position this run searched keeps this run's result, any other
// takes the file's record); appends add only what was learned since.
TEST(TeachFile, SavesTakeInWhatOtherEnginesSavedAndAppendOnlyWhatIsNew) {
    ScratchDir dir;
    const std::string path = dir.file("teach.dat");
    newGame();
    const TeachEntry start = recordHere(findMove("e2e4"), 1, 1);
    ASSERT_TRUE(playMoves("e2e4"));
    const TeachEntry afterE4 = recordHere(findMove("e7e5"), 2, 2);
    ASSERT_TRUE(playMoves("e7e5"));
    const TeachEntry afterE5 = recordHere(findMove("g1f3"), 3, 3);
    dir.write("teach.dat", recordBytes(start) + recordBytes(afterE4));
    clearTeachTable();
    ASSERT_TRUE(loadTeachTable(path.c_str()));
    newGame();
    ASSERT_TRUE(teachRecord(findMove("d2d4"), 10, 10));   // this run searches the start position
    TeachEntry theirStart = start, theirE4 = afterE4;
    theirStart.score = 91;
    theirE4.score = 92;
    dir.write("teach.dat", recordBytes(theirStart) + recordBytes(theirE4) + recordBytes(afterE5));
    ASSERT_TRUE(saveTeachTable(path.c_str()));
    EXPECT_EQ(recordScores(dir.read("teach.dat")), (std::vector<int32_t>{3, 10, 92}));
    EXPECT_EQ(teachEntryCount(), 3);

    const std::string saved = dir.read("teach.dat");
    ASSERT_TRUE(saveTeachChanges(path.c_str()));   // nothing learned since: nothing written
    EXPECT_EQ(dir.read("teach.dat"), saved);
    dir.write("teach.dat", saved + std::string(40, 'x'));   // a piece of an interrupted append
    ASSERT_TRUE(playMoves("e2e4 e7e5"));
    ASSERT_TRUE(teachRecord(findMove("b1c3"), 33, 4));
    ASSERT_TRUE(saveTeachChanges(path.c_str()));
    const std::string appended = dir.read("teach.dat");
    ASSERT_EQ(appended.size(), saved.size() + sizeof(TeachEntry));
    EXPECT_EQ(appended.substr(0, saved.size()), saved);
    EXPECT_EQ(recordScores(appended.substr(saved.size())), (std::vector<int32_t>{33}));
    clearTeachTable();
    newGame();
}

}  // namespace
