#include "search/playtt.h"

#include <atomic>
#include <cstdlib>

#include "search/play.h"

using namespace threaded;

namespace {

constexpr int DEFAULT_MEGABYTES = 8;   // the UCI Hash option's default
constexpr int BUCKET_ENTRIES = 4;
constexpr int GENERATION_BITS = 6;
constexpr int GENERATIONS = 1 << GENERATION_BITS;
constexpr int AGE_WEIGHT = 4;   // a generation of age weighs as much as this many plies of depth
constexpr int SCORE_BITS = 20;
constexpr int SCORE_OFFSET = 1 << (SCORE_BITS - 1);
static_assert(MATE_SCORE < SCORE_OFFSET, "scores fit their field");
constexpr int HASHFULL_SAMPLE = 1000;

constexpr uint64_t EVAL_MASK = 0xFFFF;   // the check word's bits for the static score
constexpr int EVAL_OFFSET = 1 << 15;     // a stored score is offset by this; 0 stands for none

struct PlaySlot {
    uint64_t check;   // key ^ data, with the static score in the low bits
    uint64_t data;    // move 0-23, score 24-43, depth 44-51, bound 52-53, generation 54-59
};
struct alignas(64) PlayBucket {
    PlaySlot slots[BUCKET_ENTRIES];
};
static_assert(sizeof(PlayBucket) == 64, "a bucket to a cache line");

PlayBucket* buckets = nullptr;
void* allocation = nullptr;
uint64_t bucketCount = 0;
int megabytesWanted = DEFAULT_MEGABYTES;
int generation = 0;

HashKey sideKey, castleKeys[16];

// The move word's bits 0-17 and 26-31 (the others are always 0).
uint64_t packMove(Move m) { return (m & 0x3FFFFu) | uint64_t(m >> 26) << 18; }
Move unpackMove(uint64_t d) { return Move(d & 0x3FFFF) | Move(d >> 18 & 0x3F) << 26; }

uint64_t pack(Move move, int score, int depth, int bound) {
    const int d = depth < 0 ? 0 : depth > 255 ? 255 : depth;
    return packMove(move) | uint64_t(score + SCORE_OFFSET) << 24 | uint64_t(d) << 44 | uint64_t(bound) << 52 |
           uint64_t(generation) << 54;
}
int generationOf(uint64_t data) { return int(data >> 54 & (GENERATIONS - 1)); }
int depthOf(uint64_t data) { return int(data >> 44 & 0xFF); }

bool matches(uint64_t check, uint64_t data, HashKey key) { return ((check ^ data ^ key) & ~EVAL_MASK) == 0 && data != 0; }
uint64_t evalBits(int staticEval) {
    return staticEval > PLAY_TABLE_NO_EVAL && staticEval < EVAL_OFFSET ? uint64_t(staticEval + EVAL_OFFSET) : 0;
}

// The search threads read and write entries without a lock: each word is one
// atomic access, and an entry whose two words come from different writers
// fails the key check.
uint64_t load(uint64_t& word) { return std::atomic_ref<uint64_t>(word).load(std::memory_order_relaxed); }
void store(uint64_t& word, uint64_t value) { std::atomic_ref<uint64_t>(word).store(value, std::memory_order_relaxed); }

PlayBucket& bucketOf(HashKey key) {
    return buckets[uint64_t((unsigned __int128)key * bucketCount >> 64)];
}

bool allocate(int megabytes) {
    const uint64_t count = (uint64_t(megabytes) << 20) / sizeof(PlayBucket);
    // calloc hands out zeroed pages as they are touched: a large table is
    // ready at once. The extra bucket's room aligns the start.
    void* fresh = std::calloc(count + 1, sizeof(PlayBucket));
    if (!fresh) return false;
    std::free(allocation);
    allocation = fresh;
    const uintptr_t address = (reinterpret_cast<uintptr_t>(fresh) + 63) & ~uintptr_t(63);
    buckets = reinterpret_cast<PlayBucket*>(address);
    bucketCount = count;
    generation = 0;
    return true;
}

void drawKeys() {
    if (sideKey) return;
    // A fixed sequence of its own (splitmix64): the board's keys are not disturbed.
    uint64_t state = 0x5DEECE66Dull;
    auto next = [&state] {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    };
    sideKey = next();
    for (HashKey& k : castleKeys) k = next();
}

}  // namespace

HashKey playKey() {
    int rights = 0;
    for (int c = WHITE; c <= BLACK; ++c) {
        if (board.castled[c] || board.kingMoved[c]) continue;
        rights |= (board.leftRookMoved[c] ? 0 : 1) << (2 * c);
        rights |= (board.rightRookMoved[c] ? 0 : 2) << (2 * c);
    }
    return board.hashKey ^ (board.sideToMove ? sideKey : 0) ^ castleKeys[rights];
}

bool playTableResize(int megabytes) {
    if (megabytes < 1) return false;
    if (buckets && !allocate(megabytes)) return false;
    megabytesWanted = megabytes;
    return true;
}

void playTableClear() {
    if (buckets) allocate(megabytesWanted);
}

void playTableRelease() {
    std::free(allocation);
    allocation = nullptr;
    buckets = nullptr;
    bucketCount = 0;
}

int playTableMegabytes() { return megabytesWanted; }

void playTableNewSearch() {
    drawKeys();
    if (!buckets && !allocate(megabytesWanted)) {
        megabytesWanted = DEFAULT_MEGABYTES;   // what was asked cannot be had
        if (!allocate(megabytesWanted)) std::abort();
    }
    generation = (generation + 1) & (GENERATIONS - 1);
}

void playTablePrefetch(HashKey key) { __builtin_prefetch(&bucketOf(key)); }

bool playTableProbe(HashKey key, PlayTableEntry& entry) {
    for (PlaySlot& slot : bucketOf(key).slots) {
        const uint64_t data = load(slot.data);
        const uint64_t check = load(slot.check);
        if (!matches(check, data, key)) continue;
        const uint64_t eval = check & EVAL_MASK;
        entry.staticEval = eval && generationOf(data) == generation ? int(eval) - EVAL_OFFSET : PLAY_TABLE_NO_EVAL;
        entry.move = unpackMove(data);
        entry.score = int(data >> 24 & ((1u << SCORE_BITS) - 1)) - SCORE_OFFSET;
        entry.depth = depthOf(data);
        entry.bound = int(data >> 52 & 3);
        return true;
    }
    return false;
}

void playTableStore(HashKey key, Move move, int score, int depth, int bound, int staticEval) {
    PlaySlot* slots = bucketOf(key).slots;
    PlaySlot* target = nullptr;
    int worst = 0;
    for (int i = 0; i < BUCKET_ENTRIES; ++i) {
        PlaySlot& slot = slots[i];
        const uint64_t data = load(slot.data);
        const uint64_t check = load(slot.check);
        if (matches(check, data, key)) {
            // The same position: a shallower result of an older search or a
            // bound no better than the stored one gives way only to depth.
            if (move == 0) move = unpackMove(data);
            if (staticEval == PLAY_TABLE_NO_EVAL && generationOf(data) == generation && (check & EVAL_MASK))
                staticEval = int(check & EVAL_MASK) - EVAL_OFFSET;
            if (bound != TABLE_EXACT && generationOf(data) == generation && depth + 2 < depthOf(data)) return;
            target = &slot;
            break;
        }
        const int age = (generation - generationOf(data)) & (GENERATIONS - 1);
        const int value = data == 0 ? -1000 : depthOf(data) - AGE_WEIGHT * age;
        if (!target || value < worst) {
            target = &slot;
            worst = value;
        }
    }
    const uint64_t data = pack(move, score, depth, bound);
    store(target->data, data);
    store(target->check, ((key ^ data) & ~EVAL_MASK) | evalBits(staticEval));
}

int playTableHashfull() {
    if (!buckets) return 0;
    int used = 0, seen = 0;
    for (uint64_t b = 0; b < bucketCount && seen < HASHFULL_SAMPLE; ++b)
        for (PlaySlot& slot : buckets[b].slots) {
            ++seen;
            const uint64_t data = load(slot.data);
            used += data != 0 && generationOf(data) == generation;
        }
    return seen ? used * 1000 / seen : 0;
}
