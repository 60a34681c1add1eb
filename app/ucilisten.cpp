// What UCI mode hears while the engine thinks.
#include "app/input.h"
#include "app/listen.h"
#include "app/uciparts.h"

namespace {

void answerReady() { send("readyok"); }

// "isready" is answered at once; "stop" ends the search. "quit" and the lines
// that need an idle engine (sent while it thinks, the interface has moved
// on) end it too when sent while it thinks (a piped session's later lines
// wait for the move), or always under "go infinite"; they stay waiting, in
// order, for the loop.
constexpr HeardWord UCI_HEARD[] = {
    {"STOP", STOPS, nullptr},
    {"ISREADY", ANSWERED, answerReady},
    {"PONDERHIT", ANSWERED, ponderHit},
    {"DEBUG", ANSWERED, nullptr},
    {"QUIT", STOPS_IF_NEW, nullptr},
    {"UCI", STOPS_IF_NEW, nullptr},
    {"UCINEWGAME", STOPS_IF_NEW, nullptr},
    {"POSITION", STOPS_IF_NEW, nullptr},
    {"GO", STOPS_IF_NEW, nullptr},
    {"SETOPTION", STOPS_IF_NEW, nullptr},
    {"BENCH", STOPS_IF_NEW, nullptr},
};

}  // namespace

bool thinkingInfinite = false;
bool pondering = false;
bool fixedSearch = false;
bool stopHeard = false;

// Looked at between nodes while the engine thinks. End of input with no
// line left to run ends every search but a fixed one (a piped "go depth"
// is run to its end): the interface is gone, and the engine saves and exits
// as at "quit" once it has answered.
bool uciInputWaiting() {
    if (listenWhileThinking(UCI_HEARD, thinkingInfinite)) return stopHeard = true;
    if (inputEnded() && (thinkingInfinite || (!fixedSearch && pollInput() <= 1))) return stopHeard = true;
    return false;
}

// After an infinite search that ended by itself: the move waits for "stop"
// (or "ponderhit" after a ponder search).
// Returns a line that ended the wait and is still to be run ("quit", or one
// that needs the engine idle), else empty.
std::string waitForStop() {
    std::string line;
    while (readInputLine(line)) {
        const std::string_view word = leadingWord(line);
        const HeardWord* heard = heardWord(UCI_HEARD, word);
        if (heard && (heard->action == STOPS || (pondering && heard->answer == ponderHit))) {
            if (heard->answer) heard->answer();
            return "";
        }
        if (heard && heard->action == ANSWERED) {
            if (heard->answer) heard->answer();
        } else if (!word.empty()) {
            return line;
        }
    }
    return "";
}
