// Transposition table: one table per side to move (the key has no side term),
// 2^18 packed 18-byte entries each, indexed by the low 18 bits of the key.
// It lives for one search: cleared before every search and when a game starts.
#pragma once
#include "board/board.h"

enum Bound : uint8_t { BOUND_NONE = 0, BOUND_UPPER = 1, BOUND_EXACT = 2, BOUND_LOWER = 3 };

#pragma pack(push, 1)
struct TTEntry {
    HashKey key;
    Move move;
    int32_t score;
    uint8_t bound;
    int8_t depth;
};
#pragma pack(pop)
static_assert(sizeof(TTEntry) == 18, "packed entry");

constexpr int TT_BITS = 18;
constexpr int TT_SIZE = 1 << TT_BITS;

// First call: allocates both tables. Every call: zeroes them.
void ttClear();

// Entry of the current position for that side to move, or nullptr.
const TTEntry* ttProbe(int colour);

void ttStore(Move move, int score, int depth, int colour, int bound);
