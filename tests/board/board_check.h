// Helpers for the board tests: the whole Board state as a value that compares
// bit for bit, and a recount of every running part from the mailbox.
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
    state.lines[0] = rankLines.occupied;
    state.lines[1] = fileLines.occupied;
    state.lines[2] = diagA1H8Lines.occupied;
    state.lines[3] = diagA8H1Lines.occupied;
    return state;
}

inline bool operator==(const BoardState& a, const BoardState& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The colour's piece-square sum recounted from the mailbox.
inline int pstRecount(int colour) {
    int sum = 0;
    for (int sq = 0; sq < 64; ++sq)
        if (board.squares[sq] && isOccupiedBy(sq, colour)) sum += pieceSquareTable[colour][board.squares[sq] * 64 + sq];
    return sum;
}

// Whether every redundant part of the Board agrees with the mailbox and the
// colour sets: piece sets, rotated occupancies, key, material. (pstSum keeps
// whatever it held before a set-up; see pstRecount.)
inline bool boardIsConsistent() {
    Bitboard pieces[7] = {}, lines[4] = {};
    HashKey key = 0;
    int material[2] = {};
    if (board.colourBits[WHITE] & board.colourBits[BLACK]) return false;
    for (int sq = 0; sq < 64; ++sq) {
        const int piece = board.squares[sq];
        const bool white = isOccupiedBy(sq, WHITE), black = isOccupiedBy(sq, BLACK);
        if (piece == NOPIECE) {
            if (white || black) return false;
            continue;
        }
        if (piece < PAWN || piece > KING || white == black) return false;
        const int colour = white ? WHITE : BLACK;
        pieces[piece] |= squareBit(sq);
        lines[0] |= squareBit(rankIndex(sq));
        lines[1] |= squareBit(fileIndex(sq));
        lines[2] |= squareBit(diagA1H8Index(sq));
        lines[3] |= squareBit(diagA8H1Index(sq));
        key ^= zobristKeys[colour][piece][sq];
        material[colour] += pieceValue[piece];
    }
    for (int p = 0; p < 7; ++p)
        if (pieces[p] != board.pieceBits[p]) return false;
    return lines[0] == rankLines.occupied && lines[1] == fileLines.occupied && lines[2] == diagA1H8Lines.occupied &&
           lines[3] == diagA8H1Lines.occupied && key == board.hashKey && material[WHITE] == board.material[WHITE] &&
           material[BLACK] == board.material[BLACK] && board.opponent == 1 - board.sideToMove;
}
