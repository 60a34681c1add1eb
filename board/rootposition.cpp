#include "board/rootposition.h"

#include <cstring>

#include "board/board.h"
#include "board/makemove.h"

ROTOR_BOARD_NAMESPACE_BEGIN

static_assert(ROOT_RECORD_SIZE == RECORD_SIZE, "a root position holds the whole record");
static_assert(sizeof(RootPosition::zobristKeys) == sizeof(zobristKeys), "the same position keys");

void takeRootPosition(RootPosition& root) {
    std::memcpy(root.squares, board.squares, sizeof(root.squares));
    root.colourBits[WHITE] = board.colourBits[WHITE];
    root.colourBits[BLACK] = board.colourBits[BLACK];
    root.sideToMove = board.sideToMove;
    for (int c = 0; c < 2; ++c) {
        root.castled[c] = board.castled[c];
        root.kingMoved[c] = board.kingMoved[c];
        root.leftRookMoved[c] = board.leftRookMoved[c];
        root.rightRookMoved[c] = board.rightRookMoved[c];
    }
    root.recordCount = gameRecord.count;
    root.pliesBefore = gameRecord.pliesBefore;
    root.reversibleBefore = gameRecord.reversibleBefore;
    std::memcpy(root.moves, gameRecord.moves, sizeof(Move) * size_t(gameRecord.count));
    std::memcpy(root.keys, gameRecord.keys, sizeof(HashKey) * size_t(gameRecord.count));
    std::memcpy(root.zobristKeys, zobristKeys, sizeof(zobristKeys));
}

void setUpRootPosition(const RootPosition& root) {
    if (std::memcmp(zobristKeys, root.zobristKeys, sizeof(zobristKeys)) != 0)
        std::memcpy(zobristKeys, root.zobristKeys, sizeof(zobristKeys));
    clearBoard();
    for (int sq = 0; sq < 64; ++sq)
        if (root.squares[sq] != NOPIECE)
            placePiece(sq, root.squares[sq], (root.colourBits[WHITE] >> sq & 1) ? WHITE : BLACK);
    board.sideToMove = root.sideToMove;
    board.opponent = root.sideToMove ^ 1;
    board.ply = 0;
    for (int c = 0; c < 2; ++c) {
        board.castled[c] = root.castled[c];
        board.kingMoved[c] = root.kingMoved[c];
        board.leftRookMoved[c] = root.leftRookMoved[c];
        board.rightRookMoved[c] = root.rightRookMoved[c];
    }
    gameRecord.count = gameRecord.recorded = root.recordCount;
    gameRecord.pliesBefore = root.pliesBefore;
    gameRecord.reversibleBefore = root.reversibleBefore;
    std::memcpy(gameRecord.moves, root.moves, sizeof(Move) * size_t(root.recordCount));
    std::memcpy(gameRecord.keys, root.keys, sizeof(HashKey) * size_t(root.recordCount));
}

ROTOR_BOARD_NAMESPACE_END
