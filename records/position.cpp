// The position text: written by POSITION and as the block of the game file,
// read back as the block of the game file.
#include <cstdio>

#include "board/board.h"
#include "board/makemove.h"
#include "board/positioncheck.h"
#include "records/records.h"

namespace {

const char* const colourNames[2] = {"WHITE", "BLACK"};
const char* const pieceNames[7] = {"NOPIECE", "PAWN", "KNIGHT", "BISHOP", "ROOK", "QUEEN", "KING"};
const char* const castlingKeys[4] = {"CASTLING", "KING_MOVED", "LEFT_ROOK_MOVED", "RIGHT_ROOK_MOVED"};

int* castlingCounters(int index) {
    switch (index) {
    case 0: return board.castled;
    case 1: return board.kingMoved;
    case 2: return board.leftRookMoved;
    default: return board.rightRookMoved;
    }
}

const char* const FIRST_TOKEN = " :";
const char* const SQUARE_LIST = " ,;.";
const char* const VALUE = " ";

// Reads the next data line and checks its first token; pos is left after it.
bool expectLine(FILE* in, const char* keyword, std::string& line, size_t& pos) {
    if (!readDataLine(in, line)) return false;
    pos = 0;
    return nextField(line, pos, FIRST_TOKEN) == keyword;
}

bool readPieceLine(FILE* in, int colour, int piece) {
    std::string line;
    size_t pos;
    if (!expectLine(in, pieceNames[piece], line, pos)) return false;
    for (std::string token; !(token = nextField(line, pos, SQUARE_LIST)).empty();) {
        const int square = parseSquareName(token);
        if (square < 0 || board.squares[square] != NOPIECE) return false;
        placePiece(square, piece, colour);
    }
    return true;
}

bool readCastlingLine(FILE* in, int colour, int index) {
    std::string line;
    size_t pos;
    if (!expectLine(in, castlingKeys[index], line, pos)) return false;
    const std::string value = nextField(line, pos, VALUE);
    if (value == "ON")
        castlingCounters(index)[colour] = 1;
    else if (value != "OFF")
        return false;
    return true;
}

bool readSideLine(FILE* in) {
    std::string line;
    size_t pos;
    if (!expectLine(in, "SIDE", line, pos)) return false;
    const std::string value = nextField(line, pos, VALUE);
    if (value != "WHITE" && value != "BLACK") return false;
    board.sideToMove = value == "WHITE" ? WHITE : BLACK;
    board.opponent = board.sideToMove ^ 1;
    return true;
}

// Every fault of the position validator refuses a position block except
// one: a side not to move that stands in check is accepted (the search
// declines to play in such a position and the move readers never take a king).
constexpr unsigned REFUSED_FAULTS = EVERY_FAULT & ~OPPONENT_IN_CHECK;

bool readPositionBlock(FILE* in) {
    clearBoard();
    for (int colour = WHITE; colour <= BLACK; ++colour) {
        std::string line;
        size_t pos;
        if (!expectLine(in, colourNames[colour], line, pos)) return false;
        for (int piece = PAWN; piece <= KING; ++piece)
            if (!readPieceLine(in, colour, piece)) return false;
        for (int index = 0; index < 4; ++index)
            if (!readCastlingLine(in, colour, index)) return false;
    }
    return readSideLine(in) && positionFault(REFUSED_FAULTS) == NO_FAULT;
}

}  // namespace

std::string squareName(int square) {
    std::string name = "A1";
    name[0] = char('A' + colOf(square));
    name[1] = char('8' - rowOf(square));
    return name;
}

int parseSquareName(const std::string& text) {
    return squareOfText(text, 'A');
}

void writePosition(FILE* out, bool currentOnly) {
    const int played = gameRecord.count;
    if (!currentOnly) rewindGame();
    std::fputs("POSITION:\n", out);
    for (int colour = WHITE; colour <= BLACK; ++colour) {
        std::fprintf(out, " %s:\n", colourNames[colour]);
        for (int piece = PAWN; piece <= KING; ++piece) {
            std::fprintf(out, "  %s: ", pieceNames[piece]);
            for (Bitboard b = board.pieceBits[piece] & board.colourBits[colour]; b; b &= b - 1)
                std::fprintf(out, "%s,", squareName(lowestSquare(b)).c_str());
            std::fputs("\n", out);
        }
        for (int index = 0; index < 4; ++index)
            std::fprintf(out, "   %s: %s\n", castlingKeys[index], castlingCounters(index)[colour] ? "ON" : "OFF");
    }
    std::fprintf(out, " SIDE: %s\n", colourNames[board.sideToMove == WHITE ? WHITE : BLACK]);
    while (gameRecord.count < played) replayMove();
}

bool readPosition(FILE* in) {
    if (readPositionBlock(in)) return true;
    std::fputs("# error position\n", stderr);
    return false;
}
