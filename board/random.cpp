#include "board/random.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

namespace {
uint32_t randomSeed = 1;
}

int nextRandom() {
    randomSeed = randomSeed * 22695477u + 1u;
    return int((randomSeed >> 16) & 0x7FFF);
}

void seedRandom(uint32_t seed) { randomSeed = seed; }

ROTOR_BOARD_NAMESPACE_END
