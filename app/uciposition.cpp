// UCI positions: "position" sets up the board and replays the moves given;
// a line the search reports is replayed on the board to show its legal part.
#include <algorithm>
#include <string>

#include "app/uciparts.h"
#include "board/attacks.h"
#include "board/board.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/positioncheck.h"

namespace {

// The game record holds GAME_CAPACITY moves; a longer game keeps its last
// plies, more than the repetition test's fifty reversible moves.
constexpr int KEPT_PLIES = 100;
constexpr const char* NULL_MOVE_TEXT = "0000";

// What makes a set-up position one the engine cannot play (the FEN reader
// itself refuses pawns on the first or last rank).
constexpr unsigned REFUSED_FAULTS =
    KING_COUNT | TOO_MANY_MEN | TOO_MANY_PAWNS | OPPONENT_IN_CHECK | CASTLING_FROM_WRONG_SQUARE;

// The FEN's halfmove clock and move number (its fifth and sixth fields,
// when they are numbers) tell how the game went before the position: the
// fifty-move count goes on from the clock, and the evaluation's game phase
// counts the plies from the move number.
void readFenCounters(const Words& fields) {
    constexpr int HALFMOVE_FIELD = 4, MOVE_NUMBER_FIELD = 5;
    constexpr int64_t MOST_PLIES = 10000;
    int64_t clock = 0, moveNumber = 1;
    if (fields.size() > HALFMOVE_FIELD && !readNumber(fields[HALFMOVE_FIELD], 0, MOST_PLIES, clock)) clock = 0;
    if (fields.size() > MOVE_NUMBER_FIELD && !readNumber(fields[MOVE_NUMBER_FIELD], 1, MOST_PLIES, moveNumber))
        moveNumber = 1;
    const int plies = int(2 * (moveNumber - 1)) + (board.sideToMove == BLACK ? 1 : 0);
    gameRecord.pliesBefore = std::max(plies - gameRecord.count, 0);   // the FEN's en passant step is recorded
    gameRecord.reversibleBefore = gameRecord.count == 0 ? int(clock) : 0;
}

}  // namespace

Words lastPosition = {"startpos"};
Move shownPv[MAX_PLY];
int shownPvLength = 0;

// Sets up "startpos | fen <fields> [moves <m1> ...]" (the words after
// "position"); on failure says why in reason, with the board undefined.
bool setUpPosition(const Words& words, std::string& reason) {
    size_t i = 1;
    if (words.empty()) {
        reason = "position needs startpos or fen";
        return false;
    }
    if (lowerCase(words[0]) == "startpos") {
        newGame();
    } else if (lowerCase(words[0]) == "fen") {
        while (i < words.size() && lowerCase(words[i]) != "moves") ++i;
        const std::string fen = joinWords(words, 1, i);
        if (!setPosition(fen)) {
            reason = "invalid FEN '" + fen + "'";
            return false;
        }
        if (const PositionFault fault = positionFault(REFUSED_FAULTS)) {
            reason = "FEN '" + fen + "': " + faultText(fault);
            return false;
        }
        readFenCounters(Words(words.begin() + 1, words.begin() + long(i)));
    } else {
        reason = "position needs startpos or fen, not '" + words[0] + "'";
        return false;
    }
    if (i < words.size() && lowerCase(words[i]) != "moves") {
        reason = "expected moves, not '" + words[i] + "'";
        return false;
    }
    for (++i; i < words.size(); ++i) {
        if (gameRecord.count >= GAME_CAPACITY) keepRecentMoves(KEPT_PLIES);
        if (words[i] == NULL_MOVE_TEXT) {
            // A pass, as interfaces write it; the side to move must not be in check.
            if (inCheck() || !playNullMove()) {
                reason = "illegal move '" + words[i] + "'";
                return false;
            }
            continue;
        }
        const Move move = findMove(lowerCase(words[i]));
        if (move == 0 || !playMove(move)) {
            reason = "illegal move '" + words[i] + "'";
            return false;
        }
    }
    return true;
}

void positionCommand(const Words& words) {
    const Words args(words.begin() + 1, words.end());
    std::string reason;
    if (setUpPosition(args, reason)) {
        lastPosition = args;
        return;
    }
    send("info string %s: the position stays as it was", reason.c_str());
    setUpPosition(lastPosition, reason);
}

// Copies the legal part of the line into shownPv: it ends at the first move
// that is not legal in its place (a line ends in a king capture when it
// mates) or that takes a king. The moves are made on the board and taken back.
void takeLegalLine(const Move* pv, int length) {
    shownPvLength = 0;
    for (int i = 0; i < length && i < MAX_PLY; ++i) {
        const Move m = pv[i];
        if (!isLegalMove(m) || ((m & CAPTURE) && moveCaptured(m) == KING)) break;
        pushMove(m);   // recorded: en passant further on reads it
        shownPv[shownPvLength++] = m;
    }
    for (int i = shownPvLength - 1; i >= 0; --i) popMove(shownPv[i]);
}
