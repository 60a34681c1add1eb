// The self-check run before every typed move: every generated move is
// stepped through the picker, made and taken back, and the board must come
// back unchanged.
#pragma once

void verifyMoveGeneration();
