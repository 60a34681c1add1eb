// The engine's one pseudo-random sequence: seed = seed * 22695477 + 1 (mod 2^32),
// output (seed >> 16) & 0x7FFF, starting from seed 1. The position keys are
// drawn from it before it is reseeded from the clock, so they never change;
// the opening book and the book-skip draw from it afterwards.
#pragma once
#include <cstdint>
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

int nextRandom();                 // 0..32767
void seedRandom(uint32_t seed);

ROTOR_BOARD_NAMESPACE_END
