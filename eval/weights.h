// The evaluation's weights, in one place (a pawn is 100). Every weight is
// added to the colour's score as it stands: penalties are negative.
#pragma once
#include <cstdint>
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

// ---------------------------------------------------------------- tables

// Pawn square values from White's view (Black reads square 63 - q).
inline constexpr int8_t PAWN_SQUARE_VALUE[64] = {
    42, 42, 42, 42, 42, 42, 42, 42,
    22, 36, 36, 36, 36, 36, 36, 22,
    14, 26, 30, 30, 30, 30, 26, 14,
     9, 18, 22, 24, 24, 22, 18,  9,
     5, 12, 16, 18, 18, 16, 12,  5,
     2,  7, 10, 12, 12, 10,  7,  2,
    -1,  3,  5,  0,  0,  5,  3, -1,
    -3, -2, -1,  0,  0, -1, -2, -3,
};

// A passed pawn by its row: [colour][row].
inline constexpr int PASSED_RANK_BONUS[2][8] = {
    {0, 64, 32, 16, 8, 4, 2, 0},
    {0, 2, 4, 8, 16, 32, 64, 0},
};

// The largest value of each piece's king-relative table, by PieceType; the
// same in every phase class.
inline constexpr int PIECE_TABLE_WEIGHT[7] = {0, 11, 33, 33, 33, 33, 33};

// ---------------------------------------------------------------- pawn structure

inline constexpr int PASSED_PAWN = 14;                  // on top of its row's bonus
inline constexpr int ISOLATED_PAWN[8] = {-8, -10, -12, -14, -14, -12, -10, -8};   // by file
inline constexpr int DOUBLED_PAWN = -8;
inline constexpr int PAWN_GROUP_END = -1;               // per end of a horizontal group of pawns
inline constexpr int ANY_PASSED_PAWN = 4;               // once for a colour with a passed pawn
inline constexpr int SUPPORTED_PASSED_PAWN = 6;         // per passed pawn with a neighbour or defender
inline constexpr int ADVANCED_SUPPORTED_PASSED = 4;     // once, a supported passed pawn in the enemy half

// ---------------------------------------------------------------- pieces

inline constexpr int LOOSE_PAWN_ATTACK = 2;       // per enemy loose pawn a piece attacks
inline constexpr int MUTUAL_DEFENCE = 2;          // a knight or rook defending one still to visit

inline constexpr int KNIGHT_OUTPOST = 3;

inline constexpr int BISHOP_PAIR = 8;             // per bishop beyond the first
inline constexpr int BISHOP_TRAPPED = -3;         // no empty square attacked
inline constexpr int BISHOP_PAWN_DEFENDED = 1;
inline constexpr int BISHOP_OUTPOST = 2;

inline constexpr int ROOK_NO_OWN_PAWN_AHEAD = 4;
inline constexpr int ROOK_OPEN_FILE = 4;          // on top of the above: no pawn on the file at all
inline constexpr int ROOK_ON_KEY_RANK = 2;        // the seventh rank or the own back rank
inline constexpr int ROOK_TRAPPED = -2;

inline constexpr int QUEEN_TRAPPED = -2;
inline constexpr int QUEEN_ROOK_DEFENDED = 2;
inline constexpr int QUEEN_BISHOP_DEFENDED = 1;

inline constexpr int KING_WITHOUT_PAWNS = -16;    // added to the table value with no pawn on the board or a lone king
inline constexpr int CASTLING_LOST = -4;          // not castled and no longer able to
inline constexpr int KING_FILE_WITHOUT_PAWN = -8;
inline constexpr int SHIELD_NONE = -12;           // castled king, no own pawn in front
inline constexpr int SHIELD_ONE = -8;             // castled king, one own pawn in front
inline constexpr int CASTLED_KING = 6;
inline constexpr int KING_WITHOUT_INNER_PAWN = -4;   // no own pawn beside it off the a- and h-files
inline constexpr int KING_WITHOUT_PAWN = -4;         // enemy queen gone: no own pawn beside it

inline constexpr int KING_PRESSURE = 1;           // per square next to the enemy king attacked; doubled with a queen
inline constexpr int BLOCKED_PASSER = -4;         // an enemy piece right in front of an own passed pawn

// ---------------------------------------------------------------- threats and passed pawns

inline constexpr int THREATENED_PIECE = -8;       // per piece attacked and undefended or attacked by a cheaper one; once more for two or more

// Passed pawns in pawn endings, and a rook behind an own passed pawn.
inline constexpr int KING_ESCORTS_PASSER = 6;        // own king touches the pawn's path
inline constexpr int ADVANCED_ESCORTED_PASSER = 16;  // ... and the pawn is in the enemy half
inline constexpr int ENEMY_KING_BLOCKS_PASSER = -6;  // enemy king on the pawn's path
inline constexpr int ROOK_BEHIND_PASSER = 4;         // an own rook ahead of the pawn on its file

ROTOR_BOARD_NAMESPACE_END
