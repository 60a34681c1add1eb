#include "board/notation.h"

#include <cstring>
#include <sstream>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/variant.h"

ROTOR_BOARD_NAMESPACE_BEGIN

namespace {

int listBegin() { return plyEnd[board.ply - 1]; }
int listEnd() { return plyEnd[board.ply]; }

bool isFileLetter(char c) { return c >= 'A' && c <= 'H'; }
bool isRankDigit(char c) { return c >= '1' && c <= '8'; }

// A move that takes a king ends the game on the spot and would leave the
// Board without one; no reader hands it out.
bool takesKing(Move m) { return (m & CAPTURE) && moveCaptured(m) == KING; }

// The piece of a promotion letter, in the case of the text's file letters
// ('A' or 'a'); NOPIECE for any other character.
int promotionPiece(char c, char fileA = 'A') {
    switch (c - fileA + 'A') {
    case 'B': return BISHOP;
    case 'N': return KNIGHT;
    case 'Q': return QUEEN;
    case 'R': return ROOK;
    default: return NOPIECE;
    }
}

// The first generated move between the two squares (with `legal`, the first
// legal one), a promotion carrying the piece promoted to; 0 when there is
// none, or when it promotes and promoted is NOPIECE.
Move moveBetween(int from, int to, int promoted, bool legal) {
    generateAllMoves();
    const KingShield shield = legal ? kingShield() : KingShield{};
    for (int i = listBegin(); i < listEnd(); ++i) {
        const Move m = moveStack[i];
        if (moveFrom(m) != from || moveTo(m) != to || (legal && !isLegalWith(m, shield))) continue;
        if (!(m & PROMOTION)) return m;
        return promoted == NOPIECE ? 0 : withPromoted(m, promoted);
    }
    return 0;
}

// The castling words and the console's coordinate form: the promotion piece
// is the fifth letter, a queen when there are four.
bool parseSquaresMove(int from, int to, const char* text, Move& move) {
    const size_t length = std::strlen(text);
    const int promoted = length == 5 ? promotionPiece(text[4]) : length == 4 ? QUEEN : NOPIECE;
    const Move m = moveBetween(from, to, promoted, false);
    if (m == 0 || takesKing(m)) return false;
    move = m;
    return true;
}

// The squares and the promotion letter of a move; room for 6.
void writeCoordinates(Move m, char* text) {
    const int from = moveFrom(m), to = moveTo(m);
    text[0] = char('a' + colOf(from));
    text[1] = char('8' - rowOf(from));
    text[2] = char('a' + colOf(to));
    text[3] = char('8' - rowOf(to));
    text[4] = 0;
    if (m & PROMOTION) {
        text[4] = " pnbrqk?"[movePromoted(m)];
        text[5] = 0;
    }
}

// The pattern form: one field per kind of character, read in this order.
enum PatternField { PIECE, FROM_FILE, FROM_RANK, CAPTURE_MARK, TO_FILE, TO_RANK, PROMOTED, FIELD_COUNT };

constexpr int MAX_PATTERN_TEXT = 7;

struct MovePattern {
    int field[FIELD_COUNT];
    Move found;
    bool ambiguous;
};

// Value of a character in a field, -1 when the field has no such character.
int fieldValue(int field, char c) {
    switch (field) {
    case PIECE: {
        const char* letters = "PNBRQK";
        const char* p = c ? std::strchr(letters, c) : nullptr;
        return p ? int(p - letters) + PAWN : -1;
    }
    case FROM_FILE:
    case TO_FILE: return isFileLetter(c) ? c - 'A' : -1;
    case FROM_RANK:
    case TO_RANK: return isRankDigit(c) ? '8' - c : -1;
    case CAPTURE_MARK: return c == 'X' || c == ':' ? 1 : c == '-' ? 0 : -1;
    case PROMOTED: {
        const int piece = promotionPiece(c);
        return piece == NOPIECE ? -1 : piece;
    }
    default: return -1;
    }
}

bool inPatternAlphabet(char c) {
    for (int field = 0; field < FIELD_COUNT; ++field)
        if (fieldValue(field, c) >= 0) return true;
    return false;
}

bool agrees(int wanted, int actual) { return wanted < 0 || wanted == actual; }

bool matchesPattern(const MovePattern& p, Move m) {
    const int from = moveFrom(m), to = moveTo(m);
    return agrees(p.field[PIECE], board.squares[from]) && agrees(p.field[FROM_FILE], colOf(from)) &&
           agrees(p.field[FROM_RANK], rowOf(from)) && agrees(p.field[CAPTURE_MARK], (m & CAPTURE) ? 1 : 0) &&
           agrees(p.field[TO_FILE], colOf(to)) && agrees(p.field[TO_RANK], rowOf(to)) &&
           agrees(p.field[PROMOTED], movePromoted(m));
}

void matchReading(MovePattern& p) {
    for (int i = listBegin(); i < listEnd(); ++i) {
        const Move m = moveStack[i];
        if (!matchesPattern(p, m)) continue;
        if (p.found == 0 || p.found == m)
            p.found = m;
        else
            p.ambiguous = true;
    }
}

// Every reading of the text, depth-first: at each field first take the next
// character when the field has it, then leave the field unset.
void tryReadings(MovePattern& p, const char* text, int field) {
    if (field == FIELD_COUNT) {
        if (*text == 0) matchReading(p);
        return;
    }
    const int value = fieldValue(field, *text);
    if (value >= 0) {
        p.field[field] = value;
        tryReadings(p, text + 1, field + 1);
        p.field[field] = -1;
    }
    tryReadings(p, text, field + 1);
}

// The under-promotions are not generated; the reader adds a rook and a
// bishop copy of every queen promotion at the end of the list.
void appendUnderPromotions() {
    int& end = plyEnd[board.ply];
    const int last = end;
    for (int i = listBegin(); i < last; ++i) {
        const Move m = moveStack[i];
        if (!(m & PROMOTION) || movePromoted(m) != QUEEN) continue;
        if (end + 2 > MOVE_STACK_CAPACITY) break;
        moveStack[end++] = withPromoted(m, ROOK);
        moveStack[end++] = withPromoted(m, BISHOP);
    }
}

}  // namespace

bool parseMove(const char* text, Move& move) {
    const bool white = board.sideToMove == WHITE;
    if (std::strcmp(text, "O-O") == 0) return parseSquaresMove(white ? 60 : 4, white ? 62 : 6, text, move);
    if (std::strcmp(text, "O-O-O") == 0) return parseSquaresMove(white ? 60 : 4, white ? 58 : 2, text, move);
    if (std::strlen(text) >= 4 && isFileLetter(text[0]) && isRankDigit(text[1]) && isFileLetter(text[2]) &&
        isRankDigit(text[3]))
        return parseSquaresMove(squareOfText(text[0], text[1], 'A'), squareOfText(text[2], text[3], 'A'), text, move);
    return parsePatternMove(text, move);
}

bool parsePatternMove(const char* text, Move& move) {
    char cut[MAX_PATTERN_TEXT + 1];
    int length = 0;
    while (length < MAX_PATTERN_TEXT && text[length] && inPatternAlphabet(text[length])) {
        cut[length] = text[length];
        ++length;
    }
    cut[length] = 0;

    generateLegalMoves();
    appendUnderPromotions();

    MovePattern pattern;
    for (int& f : pattern.field) f = -1;
    pattern.found = 0;
    pattern.ambiguous = false;
    tryReadings(pattern, cut, 0);

    if (pattern.found == 0 || pattern.ambiguous || takesKing(pattern.found)) return false;
    move = pattern.found;
    return true;
}

const char* castlingText(Move move) {
    if (move & CASTLE_LONG) return "o-o-o";
    if (move & CASTLE_SHORT) return "o-o";
    return nullptr;
}

bool formatMove(Move move, char* text) {
    text[0] = 0;
    if (move == 0) return false;
    if (const char* castling = castlingText(move)) {
        std::strcpy(text, castling);
        return true;
    }
    writeCoordinates(move, text);
    if (move & PROMOTION) {
        const int piece = movePromoted(move);
        if (piece < KNIGHT || piece > QUEEN) {
            text[4] = 0;
            return false;
        }
    }
    return true;
}

std::string coordinateText(Move m) {
    char text[6];
    writeCoordinates(m, text);
    return text;
}

Move findMove(const std::string& text) {
    if (text.size() != 4 && text.size() != 5) return 0;
    const int from = squareOfText(text[0], text[1]), to = squareOfText(text[2], text[3]);
    const int promoted = text.size() == 5 ? promotionPiece(text[4], 'a') : NOPIECE;
    if (from < 0 || to < 0 || (text.size() == 5 && promoted == NOPIECE)) return 0;
    const Move m = moveBetween(from, to, promoted, true);
    return (m & PROMOTION) || text.size() == 4 ? m : 0;
}

bool playMoves(const std::string& moves) {
    std::istringstream in(moves);
    std::string text;
    while (in >> text) {
        const Move m = findMove(text);
        if (!m || !playMove(m)) return false;
    }
    return true;
}

ROTOR_BOARD_NAMESPACE_END
