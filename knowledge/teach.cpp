// The teach table: 88-byte records of searched positions with the move,
// score and depth found, in 2^17 chains (newest first) by the low 17 bits of
// the position key. teach.dat is the records back to back, byte for byte as
// they lie in memory; the link field there carries no meaning.
#include <bit>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/movegen.h"
#include "knowledge/knowledge.h"
#include "knowledge/safefile.h"

static_assert(std::endian::native == std::endian::little, "teach.dat records are little-endian, as in memory");

namespace {

// Chains hold entry index + 1; 0 ends a chain.
uint32_t* teachHeads = nullptr;
TeachEntry* entries = nullptr;
uint32_t entryCount = 0;
uint32_t entryCapacity = 0;

constexpr uint32_t MAX_ENTRIES = UINT32_MAX / 2;

uint32_t& chainOf(HashKey key) { return teachHeads[key & (TEACH_CHAINS - 1)]; }

bool reserveEntries(uint64_t needed) {
    if (needed <= entryCapacity) return true;
    if (needed > MAX_ENTRIES) return false;
    uint64_t capacity = uint64_t(entryCapacity) * 2;
    if (capacity < needed) capacity = needed;
    if (capacity > MAX_ENTRIES) capacity = MAX_ENTRIES;
    void* grown = std::realloc(entries, size_t(capacity) * sizeof(TeachEntry));
    if (!grown) return false;
    entries = static_cast<TeachEntry*>(grown);
    entryCapacity = uint32_t(capacity);
    return true;
}

void linkAtHead(uint32_t index) {
    uint32_t& head = chainOf(entries[index].key);
    entries[index].link = head;
    head = index + 1;
}

TeachEntry* findEntry() {
    if (!teachHeads) return nullptr;
    for (uint32_t i = chainOf(board.hashKey); i; i = entries[i - 1].link)
        if (teachEntryMatches(entries[i - 1])) return &entries[i - 1];
    return nullptr;
}

void fillEntry(TeachEntry& e, Move move, int score, int depth) {
    fillSnapshot(e);
    e.score = score;
    e.depth = depth;
    e.move = move;
}

int clampInt(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

int teachEntryCount() { return int(entryCount); }

void clearTeachTable() {
    std::free(teachHeads);
    std::free(entries);
    teachHeads = nullptr;
    entries = nullptr;
    entryCount = entryCapacity = 0;
}

bool loadTeachTable(const char* path) {
    if (!teachHeads) {
        teachHeads = static_cast<uint32_t*>(std::calloc(TEACH_CHAINS, sizeof(uint32_t)));
        if (!teachHeads) return false;
    }
    long long length = 0;
    FILE* file = openDataFile(path, "rb", length);   // a regular file only
    if (!file) return false;
    const uint64_t records = uint64_t(length) / sizeof(TeachEntry);   // a trailing partial record is ignored
    if (!reserveEntries(entryCount + records)) {
        std::fclose(file);
        return false;
    }
    const size_t bytes = size_t(records) * sizeof(TeachEntry);
    const bool read = std::fread(entries + entryCount, 1, bytes, file) == bytes;
    std::fclose(file);
    if (!read) return true;
    for (uint32_t i = 0; i < records; ++i) linkAtHead(entryCount + i);
    entryCount += uint32_t(records);
    return true;
}

// Written through a temporary file renamed over the old one, so that a crash
// or a full disk never leaves a damaged teach.dat behind.
bool saveTeachTable(const char* path) {
    if (!teachHeads) return false;
    SafeFile out;
    if (!beginSafeWrite(out, path)) return false;
    for (uint32_t chain = 0; chain < uint32_t(TEACH_CHAINS); ++chain) {
        for (uint32_t i = teachHeads[chain]; i; i = entries[i - 1].link) {
            TeachEntry record = entries[i - 1];
            record.link = 0;
            std::fwrite(&record, sizeof(record), 1, out.file);
        }
    }
    return commitSafeWrite(out);
}

bool teachLookup(TeachHit& hit) {
    const TeachEntry* e = findEntry();
    if (!e) return false;
    // Records may come from a damaged or hand-made file: the move is only
    // handed out when it is one the generators make here, and the score and
    // depth are kept within what a search can produce. A stored move may
    // also be unplayable only because the position came up without the en
    // passant right it was learned with (the snapshot does not hold it).
    hit.move = isPlayableMove(e->move) ? e->move : 0;
    hit.movePresent = e->move != 0;
    hit.score = clampInt(e->score, -MATE_SCORE, MATE_SCORE);
    hit.depth = clampInt(e->depth, 0, TEACH_MAX_DEPTH);
    return true;
}

bool teachRecord(Move move, int score, int depth) {
    if (!teachHeads) return false;
    if (TeachEntry* e = findEntry()) {
        fillEntry(*e, move, score, depth);   // the newest result replaces the older one in place
        return true;
    }
    if (!reserveEntries(uint64_t(entryCount) + 1)) return false;
    fillEntry(entries[entryCount], move, score, depth);
    linkAtHead(entryCount);
    ++entryCount;
    return true;
}
