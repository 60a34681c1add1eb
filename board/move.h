// The Move word: one unsigned 32-bit value that carries everything needed to
// make and unmake a move. Moves are compared as whole words (hash move,
// killers, book and teach entries), so every bit is part of the identity.
//
//   bits  0-5   to        destination square
//   bits  6-11  from      origin square
//   bits 12-14  promoted  piece promoted to; 1 on every quiet pawn push
//   bits 15-17  captured  piece taken (PAWN for en passant, KING for a king capture)
//   bits 18-25  always 0
//   bit  26     QUIET         produced by the quiet-move generator (not castling)
//   bit  27     CAPTURE
//   bit  28     EN_PASSANT    always with CAPTURE and captured = PAWN
//   bit  29     PROMOTION
//   bit  30     CASTLE_LONG
//   bit  31     CASTLE_SHORT
#pragma once
#include <cstdint>

using Move = uint32_t;

constexpr Move QUIET = 0x04000000u;
constexpr Move CAPTURE = 0x08000000u;
constexpr Move EN_PASSANT = 0x10000000u;
constexpr Move PROMOTION = 0x20000000u;
constexpr Move CASTLE_LONG = 0x40000000u;
constexpr Move CASTLE_SHORT = 0x80000000u;

constexpr Move CAPTURE_OR_PROMOTION = CAPTURE | PROMOTION;
constexpr Move CASTLING = CASTLE_LONG | CASTLE_SHORT;

constexpr int moveTo(Move m) { return int(m & 0x3F); }
constexpr int moveFrom(Move m) { return int((m >> 6) & 0x3F); }
constexpr int movePromoted(Move m) { return int((m >> 12) & 7); }
constexpr int moveCaptured(Move m) { return int((m >> 15) & 7); }

constexpr Move encodeMove(int from, int to, int promoted, int captured, Move flags) {
    return Move(to) | Move(from) << 6 | Move(promoted) << 12 | Move(captured) << 15 | flags;
}

// The promoted field of a quiet pawn push holds the pawn's own type (PAWN is
// 1): the repetition test reads it to find the pawn moves, which no later
// position can undo.
constexpr int PAWN_PUSH_MARK = 1;
constexpr bool isPawnPush(Move m) { return movePromoted(m) == PAWN_PUSH_MARK; }

// The same word with another promotion piece (the reader's rook and bishop copies).
constexpr Move withPromoted(Move m, int piece) { return (m & ~0x7000u) | Move(piece) << 12; }

static_assert(encodeMove(63, 63, 7, 7, 0) == 0x3FFFF, "fields occupy bits 0-17");
