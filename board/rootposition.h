// A position with its game record as plain numbers: how the engine's one
// position reaches the play search's threads, each of which sets up a board
// of its own from it (the board layer is built twice, see board/variant.h;
// this record is the same type in both builds).
#pragma once
#include <cstdint>

#include "board/move.h"
#include "board/variant.h"

constexpr int ROOT_RECORD_SIZE = 400;   // the game record's slots

struct RootPosition {
    int squares[64];              // PieceType on each square
    uint64_t colourBits[2];
    int sideToMove;
    int castled[2], kingMoved[2], leftRookMoved[2], rightRookMoved[2];
    int recordCount;              // game moves that led here
    int pliesBefore, reversibleBefore;   // of a game set up from a FEN, before its record
    Move moves[ROOT_RECORD_SIZE];
    uint64_t keys[ROOT_RECORD_SIZE];
    uint64_t zobristKeys[2][8][64];   // the position keys the record's keys were made with
};

// The board and the game record up to the current game move.
void takeRootPosition(RootPosition& root);
// Sets up the board and the game record from a root position, adopting its
// position keys first when they differ.
void setUpRootPosition(const RootPosition& root);

#ifdef ROTOR_THREADED
// The same for this thread's board of the threaded build; the play search
// takes the engine's position with the two above.
namespace threaded {
void takeRootPosition(RootPosition& root);
void setUpRootPosition(const RootPosition& root);
}  // namespace threaded
#endif
