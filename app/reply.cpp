#include "app/reply.h"

#include <cstdio>

#include "app/input.h"
#include "app/listen.h"
#include "app/searchlines.h"
#include "app/settings.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "search/search.h"

int xboardMode = 0;
int engineColour = BLACK;

namespace {

// Set while the engine thinks in xboard mode when the interface has ended
// the game (or the session): the search stops and its move is not played.
bool searchAbandoned = false;

// A waiting line that ends the game (result, force, and new or quit sent
// while the engine thinks) stops the search and cancels its move; NEW and
// QUIT are commands of their own that a piped session may hold after a move:
// they wait for the move unless they came while thinking. "?" stops the
// search and plays the best move found so far. Every line except "?" stays
// waiting, in order, for the command loop.
constexpr HeardWord XBOARD_HEARD[] = {
    {"RESULT", STOPS_WAITING, nullptr},
    {"FORCE", STOPS_WAITING, nullptr},
    {"NEW", STOPS_IF_NEW, nullptr},
    {"QUIT", STOPS_IF_NEW, nullptr},
    {"?", STOPS, nullptr},   // answered by this move, not read again as move text
};

// Looked at between nodes while the engine thinks in xboard mode.
bool xboardInputWaiting() {
    const HeardWord* heard = listenWhileThinking(XBOARD_HEARD, false);
    if (heard && heard->action != STOPS) searchAbandoned = true;
    return heard != nullptr;
}

// Searches and plays the engine's move as the request asks.
void searchAndPlay(const SearchRequest& request) {
    // A full game record cannot take the engine's move: answer as with no move,
    // rather than announce a move that is then not played.
    const Move move = gameRecord.count < GAME_CAPACITY ? searchRoot(request).move : 0;
    if (searchAbandoned) {   // the game this search was for is over
        searchAbandoned = false;
        return;
    }
    if (move == 0) {
        std::fputs("# error: not moves found \n", stderr);
        // The interface waits for a move that the full game record cannot
        // take: the engine claims the draw in the protocol instead.
        if (xboardMode && gameRecord.count >= GAME_CAPACITY) {
            std::fputs("1/2-1/2 {game record full}\n", stdout);
            std::fflush(stdout);
        }
        return;
    }
    char text[8];
    formatMove(move, text);
    std::printf("move %s\n", text);
    playMove(move);
    std::fflush(stdout);
}

}  // namespace

void engineReply() {
    // Counted before the time-limit line: an interface may answer that line.
    markThinkingStart();
    SearchRequest request = settingsRequest(PRINTING_REPORTER);
    request.time = allotMoveTime();
    request.inputWaiting = xboardInputWaiting;
    searchAndPlay(request);
    chargeMoveTime();
}

void playEngineMove() { searchAndPlay(settingsRequest(PRINTING_REPORTER)); }
