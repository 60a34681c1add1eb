// The transposition table: the replacement rule, one table per side to move,
// clearing, and the position keys it draws.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/paths.h"
#include "board/board.h"
#include "board/random.h"
#include "search/tt.h"
#include "support/position.h"

namespace {

// The table is indexed by board.hashKey; the tests set keys directly. Entry
// fields are read as values (unary +).
class TranspositionTable : public ::testing::Test {
protected:
    void SetUp() override {
        newGame();
        ttClear();
    }
    void TearDown() override { newGame(); }
    static void at(HashKey key) { board.hashKey = key; }
};

constexpr HashKey KEY = 0x0123456789ABCDEFull;
constexpr HashKey SAME_SLOT = KEY ^ 0x7700000000000000ull;   // same low 18 bits
constexpr HashKey OTHER_SLOT = KEY ^ 0x1ull;

TEST_F(TranspositionTable, EntryLayout) {
    EXPECT_EQ(TT_SIZE, 262144);
    for (const TTSlot* table : ttSlots) EXPECT_EQ(reinterpret_cast<uintptr_t>(table) % 64, 0u) << "no slot crosses a line";
    // The empty board's key is 0, the key of an empty entry.
    at(0);
    const std::optional<TTEntry> empty = ttProbe(BLACK);
    ASSERT_TRUE(empty);
    EXPECT_EQ(+empty->move, 0u);
    EXPECT_EQ(+empty->depth, 0);
    EXPECT_EQ(+empty->bound, BOUND_NONE);
}

TEST_F(TranspositionTable, StoreThenProbe) {
    at(KEY);
    EXPECT_FALSE(ttProbe(WHITE));
    ttStore(0x1234, -250, 5, WHITE, BOUND_LOWER);
    const std::optional<TTEntry> e = ttProbe(WHITE);
    ASSERT_TRUE(e);
    EXPECT_EQ(+e->key, KEY);
    EXPECT_EQ(+e->move, 0x1234u);
    EXPECT_EQ(+e->score, -250);
    EXPECT_EQ(+e->depth, 5);
    EXPECT_EQ(+e->bound, BOUND_LOWER);
    at(OTHER_SLOT);
    EXPECT_FALSE(ttProbe(WHITE));
    at(SAME_SLOT);
    EXPECT_FALSE(ttProbe(WHITE));  // the slot holds another key
}

TEST_F(TranspositionTable, SmallerDepthNeverReplaces) {
    at(KEY);
    ttStore(0x1111, 10, 6, WHITE, BOUND_EXACT);
    ttStore(0x2222, 20, 5, WHITE, BOUND_LOWER);          // same key, smaller depth
    at(SAME_SLOT);
    ttStore(0x3333, 30, 5, WHITE, BOUND_LOWER);          // other key, smaller depth
    EXPECT_FALSE(ttProbe(WHITE));
    at(KEY);
    ASSERT_TRUE(ttProbe(WHITE));
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x1111u);
    EXPECT_EQ(+ttProbe(WHITE)->score, 10);
}

TEST_F(TranspositionTable, EqualOrGreaterDepthReplacesWhateverTheKey) {
    at(KEY);
    ttStore(0x1111, 10, 6, WHITE, BOUND_EXACT);
    ttStore(0x2222, 20, 6, WHITE, BOUND_UPPER);          // equal depth
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x2222u);
    EXPECT_EQ(+ttProbe(WHITE)->bound, BOUND_UPPER);
    at(SAME_SLOT);                                        // another position in the slot
    ttStore(0x3333, 30, 7, WHITE, BOUND_LOWER);
    ASSERT_TRUE(ttProbe(WHITE));
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x3333u);
    at(KEY);
    EXPECT_FALSE(ttProbe(WHITE));                   // evicted
}

TEST_F(TranspositionTable, AMoveIsNeverReplacedByNoMove) {
    at(KEY);
    ttStore(0x1111, 10, 3, WHITE, BOUND_EXACT);
    ttStore(0, -5, 9, WHITE, BOUND_UPPER);
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x1111u);
    EXPECT_EQ(+ttProbe(WHITE)->depth, 3);
    at(SAME_SLOT);
    ttStore(0, -5, 9, WHITE, BOUND_UPPER);
    EXPECT_FALSE(ttProbe(WHITE));
    // No move over no move is a normal replacement.
    at(OTHER_SLOT);
    ttStore(0, 1, 2, WHITE, BOUND_UPPER);
    ttStore(0, 2, 2, WHITE, BOUND_UPPER);
    EXPECT_EQ(+ttProbe(WHITE)->score, 2);
    ttStore(0x4444, 3, 2, WHITE, BOUND_EXACT);
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x4444u);
}

TEST_F(TranspositionTable, OneTablePerSideToMove) {
    at(KEY);
    ttStore(0x1111, 10, 4, WHITE, BOUND_EXACT);
    EXPECT_FALSE(ttProbe(BLACK));
    ttStore(0x2222, 20, 1, BLACK, BOUND_LOWER);          // lower depth, other table: stored
    ASSERT_TRUE(ttProbe(BLACK));
    EXPECT_EQ(+ttProbe(BLACK)->move, 0x2222u);
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x1111u);
}

TEST_F(TranspositionTable, DepthIsASignedByte) {
    at(KEY);
    ttStore(0x1111, 10, 100, WHITE, BOUND_EXACT);
    EXPECT_EQ(+ttProbe(WHITE)->depth, 100);
    at(OTHER_SLOT);
    ttStore(0x1111, 10, 0, WHITE, BOUND_EXACT);           // an empty entry takes depth 0
    ASSERT_TRUE(ttProbe(WHITE));
    ttStore(0x2222, 10, -1, WHITE, BOUND_EXACT);          // below 0: kept
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x1111u);
}

TEST_F(TranspositionTable, ClearForgetsEverything) {
    for (HashKey k : {KEY, HashKey(KEY ^ 0x20000), OTHER_SLOT}) {
        at(k);
        ttStore(0x1111, 10, 4, WHITE, BOUND_EXACT);
        ttStore(0x1111, 10, 4, BLACK, BOUND_EXACT);
    }
    ttClear();
    for (HashKey k : {KEY, HashKey(KEY ^ 0x20000), OTHER_SLOT}) {
        at(k);
        EXPECT_FALSE(ttProbe(WHITE));
        EXPECT_FALSE(ttProbe(BLACK));
    }
}

// Clears start new generations; once they run out the tables are zeroed, and
// an entry of that many clears ago must not come back either.
TEST_F(TranspositionTable, ManyClearsForgetEverything) {
    for (int round = 0; round < 600; ++round) {
        at(round % 2 ? KEY : SAME_SLOT);
        EXPECT_FALSE(ttProbe(WHITE)) << round;
        ttStore(0x1111, 10, round % 50, WHITE, BOUND_EXACT);
        EXPECT_TRUE(ttProbe(WHITE)) << round;
        ttClear();
    }
}

TEST_F(TranspositionTable, StartingAGameClearsItButSettingUpAPositionDoesNot) {
    for (const char* command : {"NEW", "LOAD"}) {
        at(KEY);
        ttStore(0x1111, 10, 4, WHITE, BOUND_EXACT);
        newGame();
        at(KEY);
        EXPECT_TRUE(ttProbe(WHITE)) << "the board alone knows nothing of the table";
        programDir = "/nonexistent/rotor/";   // LOAD finds no file and starts a new game
        testing::internal::CaptureStderr();
        executeCommandLine(command);
        testing::internal::GetCapturedStderr();
        programDir.clear();
        at(KEY);
        EXPECT_FALSE(ttProbe(WHITE)) << command;
    }
}

TEST_F(TranspositionTable, ProbeUsesTheBoardKeyOfTheRealPosition) {
    newGame();
    ttStore(0x0C12, 15, 2, WHITE, BOUND_EXACT);
    ASSERT_TRUE(setPosition("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -"));
    EXPECT_TRUE(ttProbe(WHITE)) << "the same pieces: the key has no side term";
    ttClear();
    ttStore(0x0C12, 15, 2, WHITE, BOUND_EXACT);
    EXPECT_FALSE(ttProbe(BLACK));
    ASSERT_TRUE(ttProbe(WHITE));
}

TEST_F(TranspositionTable, KeysAreTheFixedSequence) {
    // The keys were drawn from seed 1 by the first newGame of the process.
    HashKey expected[2][8][64] = {};
    seedRandom(1);
    for (int c = 0; c < 2; ++c)
        for (int p = 1; p <= 6; ++p)
            for (int s = 0; s < 64; ++s)
                for (int part = 0; part < 4; ++part) expected[c][p][s] = expected[c][p][s] << 16 | HashKey(nextRandom());
    for (int c = 0; c < 2; ++c)
        for (int p = 0; p < 8; ++p)
            for (int s = 0; s < 64; ++s) ASSERT_EQ(zobristKeys[c][p][s], expected[c][p][s]) << c << p << s;
    EXPECT_EQ(zobristKeys[WHITE][PAWN][0], 0x015A00822AE60442ull);
}

}  // namespace

// A larger table spreads keys over more slots: keys that share their low 18
// bits but not the 19th no longer meet. Sizes out of range are refused and
// keep the table.
TEST_F(TranspositionTable, ResizedTablesKeepWholeKeysApart) {
    constexpr HashKey BIT_18_APART = KEY ^ (HashKey(1) << 18);
    ASSERT_TRUE(ttResize(TT_BITS + 1));
    EXPECT_EQ(ttIndexMask, (uint64_t(1) << (TT_BITS + 1)) - 1);
    at(KEY);
    ttStore(0x1111, 10, 6, WHITE, BOUND_EXACT);
    at(BIT_18_APART);
    ttStore(0x2222, 20, 1, WHITE, BOUND_EXACT);   // a smaller depth: only another slot takes it
    ASSERT_TRUE(ttProbe(WHITE));
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x2222u);
    at(KEY);
    ASSERT_TRUE(ttProbe(WHITE));
    EXPECT_EQ(+ttProbe(WHITE)->key, KEY);
    EXPECT_EQ(+ttProbe(WHITE)->move, 0x1111u);
    for (int bits : {TT_BITS - 1, TT_MAX_BITS + 1}) EXPECT_FALSE(ttResize(bits)) << bits;
    EXPECT_EQ(ttIndexMask, (uint64_t(1) << (TT_BITS + 1)) - 1);
    ASSERT_TRUE(ttResize(TT_BITS));
    EXPECT_FALSE(ttProbe(WHITE)) << "a new table is empty";
    EXPECT_EQ(ttIndexMask, uint64_t(TT_SIZE - 1));
}
