// Transposition table: one table per side to move (the key has no side term),
// 2^18 entries each unless resized, indexed by the low bits of the key. It
// lives for one search: cleared before every search and when a game starts.
//
// An entry is kept in 16 bytes, four to a cache line: the key's upper bits
// (the slot's index holds the lower ones, at least 18), the bound, the depth
// and the generation in one word, move and score in the other. A clear starts a new
// generation; entries of an older one read as empty, and only when the
// generation counter runs out are the tables really zeroed.
#pragma once
#include <optional>

#include "board/board.h"

enum Bound : uint8_t { BOUND_NONE = 0, BOUND_UPPER = 1, BOUND_EXACT = 2, BOUND_LOWER = 3 };

// An entry as the search reads it; an empty entry is all zeros.
struct TTEntry {
    HashKey key;
    Move move;
    int32_t score;
    uint8_t bound;
    int8_t depth;
};

struct alignas(16) TTSlot {
    uint64_t keyAndState;    // bits 0-7 generation, 8-15 depth, 16-17 bound, 18-63 key bits 18-63
    uint64_t moveAndScore;   // move in bits 0-31, score in bits 32-63
};
static_assert(sizeof(TTSlot) == 16, "four entries to a cache line");

// The default and smallest size: the index must hold the 18 key bits whose
// place in the entry the state fields take.
constexpr int TT_BITS = 18;
constexpr int TT_SIZE = 1 << TT_BITS;
// The largest: 4 GB for both tables. A table emptied before every search
// has no use for more.
constexpr int TT_MAX_BITS = 27;

extern TTSlot* ttSlots[2];
extern uint64_t ttIndexMask;   // entries per table - 1

// First call: allocates both tables. Every call: empties them.
void ttClear();

// Replaces both tables by empty ones of 2^bits entries each (bits within
// TT_BITS..TT_MAX_BITS); false, with the old tables kept, when the memory
// cannot be had.
bool ttResize(int bits);

// Entry of the current position for that side to move, if its key equals
// hashKey in all 64 bits.
std::optional<TTEntry> ttProbe(int colour);

// Permille of the sampled slots written since the last clear.
int ttHashfull();

void ttStore(Move move, int score, int depth, int colour, int bound);

// Starts loading the slot of the current position for that side to move.
inline void ttPrefetch(int colour) {
    __builtin_prefetch(&ttSlots[colour][board.hashKey & ttIndexMask]);
}
