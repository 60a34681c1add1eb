#include "board/fen.h"

#include <sstream>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

namespace {

int pieceOfLetter(char c) {
    switch (c) {
    case 'p': case 'P': return PAWN;
    case 'n': case 'N': return KNIGHT;
    case 'b': case 'B': return BISHOP;
    case 'r': case 'R': return ROOK;
    case 'q': case 'Q': return QUEEN;
    case 'k': case 'K': return KING;
    default: return NOPIECE;
    }
}

// Eight ranks from rank 8 down, each filling exactly eight squares; no pawn on
// the first or last rank.
bool placePieces(const std::string& placement) {
    int row = 0, col = 0;
    for (char c : placement) {
        if (c == '/') {
            if (col != 8 || row == 7) return false;
            ++row;
            col = 0;
        } else if (c >= '1' && c <= '8') {
            col += c - '0';
            if (col > 8) return false;
        } else {
            const int piece = pieceOfLetter(c);
            if (!piece || col > 7 || (piece == PAWN && (row == 0 || row == 7))) return false;
            placePiece(row * 8 + col, piece, c >= 'a' ? BLACK : WHITE);
            ++col;
        }
    }
    return row == 7 && col == 8;
}

bool setCastlingRights(const std::string& castling) {
    if (castling != "-") {
        if (castling.empty()) return false;
        for (char c : castling)
            if (c != 'K' && c != 'Q' && c != 'k' && c != 'q') return false;
    }
    const char longRight[2] = {'Q', 'q'}, shortRight[2] = {'K', 'k'};
    for (int c = 0; c < 2; ++c) {
        const bool canLong = castling.find(longRight[c]) != std::string::npos;
        const bool canShort = castling.find(shortRight[c]) != std::string::npos;
        if (!canLong && !canShort) board.kingMoved[c] = 1;
        else if (!canLong) board.leftRookMoved[c] = 1;
        else if (!canShort) board.rightRookMoved[c] = 1;
    }
    return true;
}

// The side not to move has just made a double step over the target square:
// take it back and play it again, so that the game record ends with it.
bool replayDoubleStep(const std::string& enPassant) {
    if (enPassant == "-") return true;
    const int target = squareOfText(enPassant);
    const int mover = board.opponent;
    if (target < 0 || rowOf(target) != (mover == WHITE ? 5 : 2)) return false;
    const int pawnSquare = target + pawnStep[mover];
    const int origin = target - pawnStep[mover];
    if (board.squares[pawnSquare] != PAWN || !isOccupiedBy(pawnSquare, mover)) return false;
    if (board.squares[target] != NOPIECE || board.squares[origin] != NOPIECE) return false;
    removePiece(pawnSquare, PAWN, mover);
    placePiece(origin, PAWN, mover);
    flipSides();
    return playMove(encodeMove(origin, pawnSquare, PAWN_PUSH_MARK, 0, QUIET));
}

}  // namespace

bool setPosition(const std::string& fen) {
    std::istringstream in(fen);
    std::string placement, side = "w", castling = "-", enPassant = "-";
    in >> placement >> side >> castling >> enPassant;
    clearBoard();
    if (!placePieces(placement) || (side != "w" && side != "b")) return false;
    board.sideToMove = side == "b" ? BLACK : WHITE;
    board.opponent = board.sideToMove ^ 1;
    return setCastlingRights(castling) && replayDoubleStep(enPassant);
}

ROTOR_BOARD_NAMESPACE_END
