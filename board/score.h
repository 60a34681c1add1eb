// Score units shared by every layer: a pawn is 100, scores are from the side
// to move's view, and a king capture at ply p scores MATE_SCORE - p.
#pragma once

constexpr int MATE_SCORE = 100000;     // the full window is -MATE_SCORE..MATE_SCORE
constexpr int MATE_FOUND = 99900;      // a score above this is a mate found

// Material values by piece type; the king's counts in `material` as well.
constexpr int PAWN_VALUE = 100;
constexpr int KNIGHT_VALUE = 350;
constexpr int BISHOP_VALUE = 360;
constexpr int ROOK_VALUE = 540;
constexpr int QUEEN_VALUE = 1120;
constexpr int KING_VALUE = 5000;
