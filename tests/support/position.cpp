#include "support/position.h"

#include <cctype>
#include <sstream>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"

namespace {

int pieceOfLetter(char c) {
    switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'p': return PAWN;
    case 'n': return KNIGHT;
    case 'b': return BISHOP;
    case 'r': return ROOK;
    case 'q': return QUEEN;
    case 'k': return KING;
    default: return NOPIECE;
    }
}

void emptyBoard() {
    newGame();
    for (int sq = 0; sq < 64; ++sq)
        if (board.squares[sq]) removePiece(sq, board.squares[sq], isOccupiedBy(sq, WHITE) ? WHITE : BLACK);
}

int squareOfText(const std::string& text) {
    if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8') return -1;
    return ('8' - text[1]) * 8 + (text[0] - 'a');
}

}  // namespace

std::string coordinateText(Move m) {
    std::string text;
    text += char('a' + colOf(moveFrom(m)));
    text += char('8' - rowOf(moveFrom(m)));
    text += char('a' + colOf(moveTo(m)));
    text += char('8' - rowOf(moveTo(m)));
    if (m & PROMOTION) text += " pnbrqk"[movePromoted(m)];
    return text;
}

Move findMove(const std::string& text) {
    generateAllMoves();
    for (int i = plyEnd[board.ply - 1]; i < plyEnd[board.ply]; ++i) {
        Move m = moveStack[i];
        if (coordinateText(m) != text) continue;
        makeMove(m);
        bool illegal = inCheck();
        unmakeMove(m);
        if (!illegal) return m;
    }
    return 0;
}

bool playMoves(const std::string& moves) {
    std::istringstream in(moves);
    std::string text;
    while (in >> text) {
        Move m = findMove(text);
        if (!m || !playMove(m)) return false;
    }
    return true;
}

bool setPosition(const std::string& fen) {
    std::istringstream in(fen);
    std::string placement, side = "w", castling = "-", enPassant = "-";
    in >> placement >> side >> castling >> enPassant;
    emptyBoard();
    int row = 0, col = 0;
    for (char c : placement) {
        if (c == '/') {
            ++row;
            col = 0;
        } else if (c >= '1' && c <= '8') {
            col += c - '0';
        } else {
            int piece = pieceOfLetter(c);
            if (!piece || row > 7 || col > 7) return false;
            placePiece(row * 8 + col, piece, std::isupper(static_cast<unsigned char>(c)) ? WHITE : BLACK);
            ++col;
        }
    }
    board.sideToMove = side == "b" ? BLACK : WHITE;
    board.opponent = board.sideToMove ^ 1;
    const char longRight[2] = {'Q', 'q'}, shortRight[2] = {'K', 'k'};
    for (int c = 0; c < 2; ++c) {
        bool canLong = castling.find(longRight[c]) != std::string::npos;
        bool canShort = castling.find(shortRight[c]) != std::string::npos;
        if (!canLong && !canShort) board.kingMoved[c] = 1;
        else if (!canLong) board.leftRookMoved[c] = 1;
        else if (!canShort) board.rightRookMoved[c] = 1;
    }
    if (enPassant != "-") {
        int target = squareOfText(enPassant);
        if (target < 0) return false;
        // The pawn that just made the double step passed over the target square.
        const int mover = board.opponent;
        const int pawnSquare = target + pawnStep[mover];
        const int origin = target - pawnStep[mover];
        if (pawnSquare < 0 || pawnSquare > 63 || origin < 0 || origin > 63) return false;
        if (board.squares[pawnSquare] != PAWN || board.squares[origin] != NOPIECE) return false;
        removePiece(pawnSquare, PAWN, mover);
        placePiece(origin, PAWN, mover);
        flipSides();
        if (!playMove(encodeMove(origin, pawnSquare, 1, 0, QUIET))) return false;
    }
    return true;
}
