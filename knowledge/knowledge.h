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

bool loadTeachTable(const char* path);
bool saveTeachTable(const char* path);
bool teachLookup(Move& move, int& score, int& depth);
bool teachRecord(Move move, int score, int depth);
bool teachFromFile(const char* gamesPath, const char* teachPath);
void waitSeconds(int n);
