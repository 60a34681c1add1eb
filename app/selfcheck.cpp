#include "app/selfcheck.h"

#include <cstddef>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "search/picker.h"

namespace {

unsigned boardChecksum() {
    unsigned sum = 0;
    auto add = [&sum](const void* data, size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) sum += bytes[i];
    };
    add(board.squares, sizeof(board.squares));
    add(board.pieceBits, sizeof(board.pieceBits));
    add(board.colourBits, sizeof(board.colourBits));
    add(&lineOccupancy.rank, sizeof(Bitboard));
    add(&lineOccupancy.file, sizeof(Bitboard));
    add(&lineOccupancy.diagA1H8, sizeof(Bitboard));
    add(&lineOccupancy.diagA8H1, sizeof(Bitboard));
    return sum;
}

}  // namespace

void verifyMoveGeneration() {
    generateAllMoves();
    const int generated = plyEnd[board.ply] - plyEnd[board.ply - 1];
    const unsigned checksum = boardChecksum();
    MovePicker picker;
    resetPicker(picker);
    int stepped = 0;
    Move move = 0;
    while (nextMove(picker, move, -100000, 100000)) {
        ++stepped;
        assertConsistent(isPseudoLegal(move));
        makeMove(move);
        unmakeMove(move);
        assertConsistent(boardChecksum() == checksum);
    }
    assertConsistent(stepped == generated);
}
