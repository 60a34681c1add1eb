// The play search's transposition table (search/play.h has its public side).
//
// Four 16-byte entries to a 64-byte bucket. An entry holds its data word and
// the position key XOR the data word, so that an entry is read only when the
// two words belong together: an entry torn by two writers fails the check.
// The check word's low 16 bits hold the position's static score instead
// (the key is matched on its other 48 bits).
// Moves read from it are checked again before they are played.
#pragma once
#include <cstdint>

#include "board/board.h"

enum PlayTableBound : int { TABLE_NONE = 0, TABLE_UPPER = 1, TABLE_LOWER = 2, TABLE_EXACT = 3 };

struct PlayTableEntry {
    Move move;
    int score;        // relative to the node: mate scores count from here
    int depth;
    int bound;
    int staticEval;   // PLAY_TABLE_NO_EVAL: none, or one from another search (the tables differ)
};

constexpr int PLAY_TABLE_NO_EVAL = -32768;

// The key the table files a position under: the board's key with the side
// to move and the castling rights, which the board's key leaves out.
uint64_t playKey();

bool playTableProbe(uint64_t key, PlayTableEntry& entry);
void playTableStore(uint64_t key, Move move, int score, int depth, int bound, int staticEval);
void playTablePrefetch(uint64_t key);
// Before a search: allocates the table if needed, and starts a generation.
void playTableNewSearch();
int playTableHashfull();
