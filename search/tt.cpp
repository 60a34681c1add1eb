#include "search/tt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

TTSlot* ttSlots[2] = {nullptr, nullptr};

namespace {

constexpr uint64_t INDEX_BITS = TT_SIZE - 1;
constexpr uint64_t KEY_BITS = ~INDEX_BITS;   // the part of the key a slot stores
constexpr int DEPTH_SHIFT = 8, BOUND_SHIFT = 16;
constexpr int LAST_GENERATION = 255;
constexpr size_t TABLE_BYTES = sizeof(TTSlot) * TT_SIZE;

// The generation of the entries written since the last clear; the zeroed
// tables hold generation 0 only.
int generation = 0;

TTSlot& slotOf(int colour) { return ttSlots[colour][board.hashKey & INDEX_BITS]; }

// The slot's entry; an entry of an older generation is empty.
TTEntry entryOf(const TTSlot& slot) {
    const uint64_t state = slot.keyAndState;
    if (int(state & 0xFF) != generation) return TTEntry{0, 0, 0, BOUND_NONE, 0};
    return TTEntry{(state & KEY_BITS) | (board.hashKey & INDEX_BITS), Move(slot.moveAndScore),
                   int32_t(slot.moveAndScore >> 32), uint8_t(state >> BOUND_SHIFT & 3),
                   int8_t(uint8_t(state >> DEPTH_SHIFT))};
}

}  // namespace

void ttClear() {
    if (!ttSlots[0]) {
        for (TTSlot*& table : ttSlots) {
            table = static_cast<TTSlot*>(std::aligned_alloc(64, TABLE_BYTES));
            if (!table) {
                std::fputs("error init hash\n", stderr);
                std::abort();
            }
        }
        generation = LAST_GENERATION;
    }
    if (generation == LAST_GENERATION) {
        for (TTSlot* table : ttSlots) std::memset(static_cast<void*>(table), 0, TABLE_BYTES);
        generation = 0;
    }
    ++generation;
}

std::optional<TTEntry> ttProbe(int colour) {
    const TTEntry entry = entryOf(slotOf(colour));
    if (entry.key != board.hashKey) return std::nullopt;
    return entry;
}

void ttStore(Move move, int score, int depth, int colour, int bound) {
    TTSlot& slot = slotOf(colour);
    const TTEntry old = entryOf(slot);
    if (depth < old.depth) return;
    if (old.move != 0 && move == 0) return;
    slot.keyAndState = (board.hashKey & KEY_BITS) | uint64_t(bound & 3) << BOUND_SHIFT |
                       uint64_t(uint8_t(depth)) << DEPTH_SHIFT | uint64_t(generation);
    slot.moveAndScore = uint64_t(move) | uint64_t(uint32_t(score)) << 32;
}
