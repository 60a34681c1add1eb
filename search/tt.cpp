#include "search/tt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

TTSlot* ttSlots[2] = {nullptr, nullptr};
uint64_t ttIndexMask = TT_SIZE - 1;

namespace {

constexpr int DEPTH_SHIFT = 8, BOUND_SHIFT = 16;
static_assert(BOUND_SHIFT + 2 <= TT_BITS, "the state fields lie below the stored key bits");
constexpr int LAST_GENERATION = 255;

size_t tableBytes() { return sizeof(TTSlot) * (ttIndexMask + 1); }

// The generation of the entries written since the last clear; the zeroed
// tables hold generation 0 only.
int generation = 0;

TTSlot& slotOf(int colour) { return ttSlots[colour][board.hashKey & ttIndexMask]; }

// The slot's entry; an entry of an older generation is empty.
TTEntry entryOf(const TTSlot& slot) {
    const uint64_t state = slot.keyAndState;
    if (int(state & 0xFF) != generation) return TTEntry{0, 0, 0, BOUND_NONE, 0};
    return TTEntry{(state & ~ttIndexMask) | (board.hashKey & ttIndexMask), Move(slot.moveAndScore),
                   int32_t(slot.moveAndScore >> 32), uint8_t(state >> BOUND_SHIFT & 3),
                   int8_t(uint8_t(state >> DEPTH_SHIFT))};
}

}  // namespace

void ttClear() {
    if (!ttSlots[0]) {
        for (TTSlot*& table : ttSlots) {
            table = static_cast<TTSlot*>(std::aligned_alloc(64, tableBytes()));
            if (!table) {
                std::fputs("error init hash\n", stderr);
                std::abort();
            }
        }
        generation = LAST_GENERATION;
    }
    if (generation == LAST_GENERATION) {
        for (TTSlot* table : ttSlots) std::memset(static_cast<void*>(table), 0, tableBytes());
        generation = 0;
    }
    ++generation;
}

bool ttResize(int bits) {
    if (bits < TT_BITS || bits > TT_MAX_BITS) return false;
    const size_t bytes = sizeof(TTSlot) << bits;
    TTSlot* fresh[2] = {static_cast<TTSlot*>(std::aligned_alloc(64, bytes)),
                        static_cast<TTSlot*>(std::aligned_alloc(64, bytes))};
    if (!fresh[0] || !fresh[1]) {
        std::free(fresh[0]);
        std::free(fresh[1]);
        return false;
    }
    for (int c = 0; c < 2; ++c) {
        std::free(ttSlots[c]);
        ttSlots[c] = fresh[c];
    }
    ttIndexMask = (uint64_t(1) << bits) - 1;
    generation = LAST_GENERATION;   // the next clear zeroes the new tables
    ttClear();
    return true;
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
    slot.keyAndState = (board.hashKey & ~ttIndexMask) | uint64_t(bound & 3) << BOUND_SHIFT |
                       uint64_t(uint8_t(depth)) << DEPTH_SHIFT | uint64_t(generation);
    slot.moveAndScore = uint64_t(move) | uint64_t(uint32_t(score)) << 32;
}
