#include "search/tt.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

TTEntry* tables[2] = {nullptr, nullptr};

}  // namespace

void ttClear() {
    if (!tables[0]) {
        for (TTEntry*& table : tables) {
            table = static_cast<TTEntry*>(std::malloc(sizeof(TTEntry) * TT_SIZE));
            if (!table) {
                std::fputs("error init hash\n", stderr);
                std::abort();
            }
        }
    }
    for (TTEntry* table : tables) std::memset(static_cast<void*>(table), 0, sizeof(TTEntry) * TT_SIZE);
}

const TTEntry* ttProbe(int colour) {
    const TTEntry* entry = &tables[colour][board.hashKey & (TT_SIZE - 1)];
    return entry->key == board.hashKey ? entry : nullptr;
}

void ttStore(Move move, int score, int depth, int colour, int bound) {
    TTEntry* entry = &tables[colour][board.hashKey & (TT_SIZE - 1)];
    if (depth < entry->depth) return;
    if (entry->move != 0 && move == 0) return;
    entry->key = board.hashKey;
    entry->move = move;
    entry->score = score;
    entry->bound = uint8_t(bound);
    entry->depth = int8_t(depth);
}
