// Helper for the board tests: the whole Board state as a value that compares
// bit for bit. The recount of every running part is the board's own
// (boardIsConsistent, pstRecount).
#pragma once
#include <cstring>

#include "board/attacks.h"
#include "board/board.h"

struct BoardState {
    Board board;
    Bitboard lines[4];
};

inline BoardState boardState() {
    BoardState state;
    std::memset(&state, 0, sizeof state);
    std::memcpy(&state.board, &board, sizeof(Board));
    state.lines[0] = lineOccupancy.rank;
    state.lines[1] = lineOccupancy.file;
    state.lines[2] = lineOccupancy.diagA1H8;
    state.lines[3] = lineOccupancy.diagA8H1;
    return state;
}

inline bool operator==(const BoardState& a, const BoardState& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
