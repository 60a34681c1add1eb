// Test positions: the FEN reader and the coordinate-move helpers live in the
// engine library (board/fen.h, board/notation.h) so that the developer tools
// share them.
//   setPosition(fen), findMove("e2e4"), playMoves("e2e4 e7e5"), coordinateText(m)
#pragma once
#include "board/fen.h"
#include "board/notation.h"
