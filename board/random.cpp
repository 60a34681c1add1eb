#include "board/random.h"

namespace {
uint32_t randomSeed = 1;
}

int nextRandom() {
    randomSeed = randomSeed * 22695477u + 1u;
    return int((randomSeed >> 16) & 0x7FFF);
}

void seedRandom(uint32_t seed) { randomSeed = seed; }
