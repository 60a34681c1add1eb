#include "search/tt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

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

// Tables come from the kernel as zero pages that are touched only when
// written, so a table of gigabytes is had (and emptied) at once: an all-zero
// slot is an empty entry of generation 0, older than every clear.
TTSlot* mapTable(size_t bytes) {
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? nullptr : static_cast<TTSlot*>(memory);
}

void unmapTable(TTSlot* table, size_t bytes) {
    if (table) munmap(table, bytes);
}

// Back to zero pages: the kernel drops the written ones.
void zeroTable(TTSlot* table, size_t bytes) {
    if (madvise(table, bytes, MADV_DONTNEED) != 0) std::memset(static_cast<void*>(table), 0, bytes);
}

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
            table = mapTable(tableBytes());
            if (!table) {
                std::fputs("error init hash\n", stderr);
                std::abort();
            }
        }
        generation = 0;
    }
    if (generation == LAST_GENERATION) {
        for (TTSlot* table : ttSlots) zeroTable(table, tableBytes());
        generation = 0;
    }
    ++generation;
}

bool ttResize(int bits) {
    if (bits < TT_BITS || bits > TT_MAX_BITS) return false;
    const size_t bytes = sizeof(TTSlot) << bits;
    TTSlot* fresh[2] = {mapTable(bytes), mapTable(bytes)};
    if (!fresh[0] || !fresh[1]) {
        unmapTable(fresh[0], bytes);
        unmapTable(fresh[1], bytes);
        return false;
    }
    for (int c = 0; c < 2; ++c) {
        unmapTable(ttSlots[c], tableBytes());
        ttSlots[c] = fresh[c];
    }
    ttIndexMask = (uint64_t(1) << bits) - 1;
    generation = 0;   // fresh zero pages: empty entries of generation 0
    ttClear();
    return true;
}

int ttHashfull() {
    constexpr int SAMPLED = 500;   // slots of each table
    int used = 0;
    for (const TTSlot* table : ttSlots)
        for (int i = 0; table && i < SAMPLED; ++i) used += int(table[i].keyAndState & 0xFF) == generation;
    return used * 1000 / (2 * SAMPLED);
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
