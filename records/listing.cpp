// The game listing: the recorded moves as numbered lines of long algebraic
// text with capture, check and mate marks, and the reader that replays them.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "records/records.h"

namespace {

const char* const pieceLetters[8] = {"", "P", "N", "B", "R", "Q", "K", ""};

// The listing entry of the next recorded move: plays it forward and writes
// its text with the marks it earns in the position it leads to.
void writeNextEntry(FILE* out) {
    const Move m = gameRecord.takenBack[gameRecord.count];
    const int piece = board.squares[moveFrom(m)];
    replayMove();
    bool check = inCheck();
    bool mate = false;
    if (check) {
        generateLegalMoves();
        if (plyEnd[board.ply] == plyEnd[board.ply - 1]) {
            mate = true;
            check = false;
        }
    }
    char text[8];
    listingMoveText(m, check, piece, mate, text);
    std::fprintf(out, "%-10s  ", text);
}

// The listing's own text of a pawn move: from-square, capture mark, to-square.
bool isListedPawnText(const std::string& t) {
    auto isFile = [](char c) { return c >= 'A' && c <= 'H'; };
    auto isRank = [](char c) { return c >= '1' && c <= '8'; };
    return t.size() >= 5 && isFile(t[0]) && isRank(t[1]) && (t[2] == '-' || t[2] == ':') && isFile(t[3]) &&
           isRank(t[4]);
}

// Plays one move text of a listing line; false when it is not a move here.
// The writer gives a pawn move no piece letter, so a b-pawn's text (B2-B4)
// also reads as a move of a bishop on that rank; when the text is in the
// writer's pawn form, its pawn reading is the move the writer meant.
bool playListedMove(const std::string& text) {
    Move m = 0;
    if (parseMove(text.c_str(), m)) return playMove(m);
    return isListedPawnText(text) && parsePatternMove(("P" + text).c_str(), m) && playMove(m);
}

bool readListingLine(const std::string& line, long long lineNumber) {
    const char* const MOVE_DELIMITERS = " ,;\n";
    size_t pos = 0;
    const std::string number = nextField(line, pos, " .\n");
    if (number.empty() || number[0] < '0' || number[0] > '9') return false;
    errno = 0;
    const long value = std::strtol(number.c_str(), nullptr, 10);
    if (errno != 0 || value != lineNumber) return false;
    if (board.sideToMove == WHITE) {
        const std::string text = nextField(line, pos, MOVE_DELIMITERS);
        if (!text.empty() && !playListedMove(text)) return false;
    }
    if (board.sideToMove == BLACK) {
        const std::string text = nextField(line, pos, MOVE_DELIMITERS);
        if (!text.empty() && !playListedMove(text)) return false;
    }
    return true;
}

}  // namespace

bool listingMoveText(Move move, bool check, int piece, bool mate, char* text) {
    text[0] = 0;
    if (move == 0) return false;
    if (const char* castling = castlingText(move)) {
        std::strcpy(text, castling);
        return true;
    }
    const int from = moveFrom(move), to = moveTo(move);
    const char* letter = piece > PAWN && piece <= KING ? pieceLetters[piece] : "";
    const char* promotion = (move & PROMOTION) ? pieceLetters[movePromoted(move)] : "";
    // A mate is marked "#" alone: the two marks never stand together.
    std::snprintf(text, 8, "%s%c%c%s%c%c%s%s%s", letter, 'a' + colOf(from), '8' - rowOf(from),
                  (move & CAPTURE) ? ":" : "-", 'a' + colOf(to), '8' - rowOf(to), promotion,
                  check && !mate ? "+" : "", mate ? "#" : "");
    return true;
}

void writeMoveList(FILE* out) {
    const int total = gameRecord.count;
    rewindGame();
    for (int number = 1; gameRecord.count < total; ++number) {
        std::fprintf(out, "%4d. ", number);
        if (board.sideToMove == WHITE)
            writeNextEntry(out);
        else
            std::fputs("      ", out);
        if (gameRecord.count < total) writeNextEntry(out);
        std::fputs("\n", out);
    }
}

bool readMoveList(FILE* in) {
    std::string line;
    long long lineNumber = 0;
    while (readDataLine(in, line)) {
        ++lineNumber;
        std::printf("%s \n", line.c_str());
        std::fflush(stdout);
        if (!readListingLine(line, lineNumber)) {
            std::fprintf(stderr, "# error game-list line - %lld\n", lineNumber);
            return false;
        }
    }
    return true;
}
