// The teach table: 88-byte records of searched positions with the move,
// score and depth found, in 2^17 chains (newest first) by the low 17 bits of
// the position key. teach.dat is the records back to back, byte for byte as
// they lie in memory; the link field there carries no meaning.
//
// Several engines may share one teach.dat. A save takes the folder's lock,
// reads what is on disk and takes in the records the others saved: a
// position this run searched keeps this run's result, any other takes the
// file's record. Between full saves, learned records are appended; the
// loader reads a later record of a position in front of an earlier one, so
// the newest result is the one found.
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/movegen.h"
#include "knowledge/knowledge.h"
#include "platform/platform.h"

static_assert(std::endian::native == std::endian::little, "teach.dat records are little-endian, as in memory");

namespace {

// Chains hold entry index + 1; 0 ends a chain.
uint32_t* teachHeads = nullptr;
TeachEntry* entries = nullptr;
uint32_t entryCount = 0;
uint32_t entryCapacity = 0;

// Per entry, beside it: what this run did with it.
enum EntryMark : uint8_t {
    SEARCHED = 1,   // this run's own result
    UNSAVED = 2,    // not on disk yet
};
uint8_t* marks = nullptr;

// What loading found of the teach file. The table is written over it only
// when it loaded or did not exist.
enum class FileState { NOT_LOADED, MISSING, LOADED, UNREADABLE };
FileState fileState = FileState::NOT_LOADED;
std::string loadedPath;
bool unreadableReported = false;

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
    void* grownMarks = std::realloc(marks, size_t(capacity));
    if (!grownMarks) return false;
    marks = static_cast<uint8_t*>(grownMarks);
    entryCapacity = uint32_t(capacity);
    return true;
}

void linkAtHead(uint32_t index) {
    uint32_t& head = chainOf(entries[index].key);
    entries[index].link = head;
    head = index + 1;
}

// Appends a record to the table (room reserved), with the given marks.
void addEntry(const TeachEntry& record, uint8_t mark) {
    entries[entryCount] = record;
    marks[entryCount] = mark;
    linkAtHead(entryCount);
    ++entryCount;
}

TeachEntry* findRecord(const TeachEntry& record) {
    for (uint32_t i = chainOf(record.key); i; i = entries[i - 1].link)
        if (teachEntriesMatch(entries[i - 1], record)) return &entries[i - 1];
    return nullptr;
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

// A file that exists but could not be loaded is the user's to mend: it is
// never written over, and the user hears of it once.
bool leftAlone(const char* path) {
    if (fileState != FileState::UNREADABLE || loadedPath != path) return false;
    if (!unreadableReported)
        std::fprintf(stderr, "# %s could not be read at start-up: it is left as it is, and what was learned is not saved\n",
                     path);
    unreadableReported = true;
    return true;
}

bool savesOverLoadedFile(const char* path) {
    return loadedPath == path && (fileState == FileState::LOADED || fileState == FileState::MISSING);
}

// Takes in the records on disk (see the top of the file); false, with
// nothing written, when the file is there and cannot be read.
bool mergeFromDisk(const char* path) {
    long long length = 0;
    FILE* file = openDataFile(path, "rb", length);
    if (!file) return errno == ENOENT;
    TeachEntry record;
    bool ok = true;
    for (long long left = length / static_cast<long long>(sizeof(TeachEntry)); ok && left > 0; --left) {
        ok = std::fread(&record, sizeof(record), 1, file) == 1;
        if (!ok) break;
        if (TeachEntry* e = findRecord(record)) {
            if (marks[e - entries] & SEARCHED) continue;
            const uint32_t link = e->link;
            *e = record;
            e->link = link;
        } else {
            ok = reserveEntries(uint64_t(entryCount) + 1);
            if (ok) addEntry(record, 0);
        }
    }
    const int error = ok ? 0 : errno ? errno : EIO;
    std::fclose(file);
    errno = error;
    return ok;
}

// After a save to the loaded file: every record is on disk, and the file is ours.
void savedAll() {
    for (uint32_t i = 0; i < entryCount; ++i) marks[i] &= uint8_t(~UNSAVED);
    fileState = FileState::LOADED;
}

TeachEntry recordForFile(uint32_t index) {
    TeachEntry record = entries[index];
    record.link = 0;
    return record;
}

}  // namespace

int teachEntryCount() { return int(entryCount); }

void clearTeachTable() {
    std::free(teachHeads);
    std::free(entries);
    std::free(marks);
    teachHeads = nullptr;
    entries = nullptr;
    marks = nullptr;
    entryCount = entryCapacity = 0;
    fileState = FileState::NOT_LOADED;
    loadedPath.clear();
    unreadableReported = false;
}

bool loadTeachTable(const char* path) {
    if (!teachHeads) {
        teachHeads = static_cast<uint32_t*>(std::calloc(TEACH_CHAINS, sizeof(uint32_t)));
        if (!teachHeads) return false;
    }
    loadedPath = path;
    fileState = FileState::UNREADABLE;
    long long length = 0;
    FILE* file = openDataFile(path, "rb", length);   // a regular file only
    if (!file) {
        if (errno == ENOENT) fileState = FileState::MISSING;
        return false;
    }
    const uint64_t records = uint64_t(length) / sizeof(TeachEntry);   // a trailing partial record is ignored
    if (!reserveEntries(entryCount + records)) {
        std::fclose(file);
        return false;
    }
    const size_t bytes = size_t(records) * sizeof(TeachEntry);
    const bool read = std::fread(entries + entryCount, 1, bytes, file) == bytes;
    std::fclose(file);
    if (!read) return false;
    for (uint32_t i = 0; i < records; ++i) {
        marks[entryCount + i] = 0;
        linkAtHead(entryCount + i);
    }
    entryCount += uint32_t(records);
    fileState = FileState::LOADED;
    return true;
}

// Written through a temporary file renamed over the old one, so that a crash
// or a full disk never leaves a damaged teach.dat behind.
bool saveTeachTable(const char* path) {
    if (!teachHeads) return false;
    if (leftAlone(path)) return true;
    const bool own = savesOverLoadedFile(path);
    const int lock = lockDataFolder(path);
    bool saved = !own || mergeFromDisk(path);
    SafeFile out;
    if (saved) saved = beginSafeWrite(out, path);
    if (saved) {
        for (uint32_t chain = 0; chain < uint32_t(TEACH_CHAINS); ++chain) {
            for (uint32_t i = teachHeads[chain]; i; i = entries[i - 1].link) {
                const TeachEntry record = recordForFile(i - 1);
                std::fwrite(&record, sizeof(record), 1, out.file);
            }
        }
        saved = commitSafeWrite(out);
    }
    const int error = errno;
    unlockDataFolder(lock);
    if (saved && own) savedAll();
    errno = error;
    return saved;
}

bool saveTeachChanges(const char* path) {
    if (!teachHeads) return false;
    if (leftAlone(path)) return true;
    uint32_t unsaved = 0;
    for (uint32_t i = 0; i < entryCount; ++i) unsaved += (marks[i] & UNSAVED) ? 1 : 0;
    if (unsaved == 0) return true;
    TeachEntry* records = static_cast<TeachEntry*>(std::malloc(size_t(unsaved) * sizeof(TeachEntry)));
    if (!records) return false;
    for (uint32_t i = 0, n = 0; i < entryCount; ++i)
        if (marks[i] & UNSAVED) records[n++] = recordForFile(i);
    const int lock = lockDataFolder(path);
    const bool saved = appendRecords(path, records, size_t(unsaved) * sizeof(TeachEntry), sizeof(TeachEntry));
    const int error = errno;
    unlockDataFolder(lock);
    std::free(records);
    if (saved && savesOverLoadedFile(path)) savedAll();
    errno = error;
    return saved;
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
        marks[e - entries] = SEARCHED | UNSAVED;
        return true;
    }
    if (!reserveEntries(uint64_t(entryCount) + 1)) return false;
    TeachEntry record;
    fillEntry(record, move, score, depth);
    addEntry(record, SEARCHED | UNSAVED);
    return true;
}
