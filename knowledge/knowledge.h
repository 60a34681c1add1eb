// Opening knowledge: the opening book (book.dat, text lines of moves from the
// initial position) and the teach table (teach.dat, 88-byte records of
// positions with the move, score and depth a search found for them).
// Both identify a position exactly by its snapshot: key, side to move, the
// piece and colour bitboards and the castling signature.
#pragma once
#include <cstdint>

#include "board/board.h"

// Castling rights still open, as bits: 1 white long, 2 white short, 4 black long, 8 black short.
int castlingSignature();
bool canStillCastleLong(int colour);
bool canStillCastleShort(int colour);

// The exact identity of a position. The kings follow from the other sets;
// en passant rights are not part of it.
struct PositionSnapshot {
    HashKey key;
    int side;
    Bitboard pieces[5];   // PAWN..QUEEN
    Bitboard white;
    Bitboard black;
    int castling;
};

// Writes the current position's snapshot into a snapshot, a book entry or a
// teach entry (all hold its fields under the same names).
template <typename Entry>
void fillSnapshot(Entry& e) {
    e.key = board.hashKey;
    e.side = board.sideToMove;
    for (int piece = PAWN; piece <= QUEEN; ++piece) e.pieces[piece - PAWN] = board.pieceBits[piece];
    e.white = board.colourBits[WHITE];
    e.black = board.colourBits[BLACK];
    e.castling = castlingSignature();
}

PositionSnapshot currentSnapshot();
bool snapshotsMatch(const PositionSnapshot& a, const PositionSnapshot& b);

// Text of book and teaching lines. cleanLine drops the piece letters,
// separators, annotations and the line end (keeping '-' before 'O' or 'o')
// and upper-cases the rest; nextMoveText returns the next blank-separated
// move of the cleaned text (cutting it in place), or nullptr at the end.
constexpr int LINE_PIECE_SIZE = 1023;   // a line is read at most 1022 characters at a time
void cleanLine(char* line);
char* nextMoveText(char*& cursor);

// Opening book.
struct BookEntry {
    HashKey key;
    int side;
    Move move;
    Bitboard pieces[5];   // PAWN..QUEEN
    Bitboard white;
    Bitboard black;
    int castling;
    BookEntry* next;
};

bool loadBook(const char* path);
bool addBookEntry(const BookEntry& entry);
Move bookMove();

// Entry for the current position and a move (next is left empty).
BookEntry bookEntryFor(Move move);
bool bookEntryMatches(const BookEntry& entry);   // the current position's snapshot
int bookEntryCount();
// Frees every entry and the chain heads, as before the first load. Used by
// tests; no command calls it.
void clearBook();

// Teach table.
#pragma pack(push, 4)
struct TeachEntry {
    uint64_t key;
    int32_t side;
    int32_t score;
    int32_t castling;
    int32_t depth;
    uint64_t pieces[5];    // PAWN..QUEEN
    uint64_t white;
    uint64_t black;
    uint32_t move;
    uint32_t link;         // chain link in memory (an index); meaningless in the file
};
#pragma pack(pop)
static_assert(sizeof(TeachEntry) == 88, "teach record is 88 bytes");

constexpr int TEACH_CHAINS = 1 << 17;
// Depths handed out are clamped to the deepest iteration a search can reach.
constexpr int TEACH_MAX_DEPTH = 50;

bool loadTeachTable(const char* path);
// The whole table, written over the file by the crash-safe writer. Saving to
// the file the table was loaded from first takes in what other engines saved
// there meanwhile (see teach.cpp); a file that exists but could not be
// loaded is left as it is (said once on standard error) and counts as saved.
bool saveTeachTable(const char* path);
// The records learned since the last save, appended to the file and synced:
// nothing is written when nothing was learned.
bool saveTeachChanges(const char* path);
// What the teach table holds for the current position.
struct TeachHit {
    Move move;         // the stored move when it is playable here, else 0
    bool movePresent;  // a move is stored, playable here or not
    int score;         // within -100000..100000
    int depth;         // within 0..TEACH_MAX_DEPTH
};
bool teachLookup(TeachHit& hit);
bool teachRecord(Move move, int score, int depth);

bool teachEntryMatches(const TeachEntry& entry);   // the current position's snapshot
bool teachEntriesMatch(const TeachEntry& a, const TeachEntry& b);   // the same position
int teachEntryCount();
// Frees every entry and the chain heads, as before the first load. Used by
// tests; no command calls it.
void clearTeachTable();
