// The UCI loop: reads the commands and runs each with its part of UCI mode.
#include "app/uci.h"

#include <cstdarg>
#include <cstdio>

#include "app/input.h"
#include "app/startup.h"
#include "app/uciparts.h"
#include "app/version.h"
#include "search/picker.h"
#include "search/play.h"

void send(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

namespace {

void identify() {
    send("id name Rotor %s", ROTOR_VERSION);
    send("id author The Rotor developers");
    printOptions();
    send("uciok");
}

void newGameCommand() {
    startGame();
    clearOrdering();
    playNewGame();
    lastPosition = {"startpos"};
}

// Runs one line; false when the session ends. A line that the run leaves
// to be run next (after an infinite search) comes back in next.
bool runUciLine(const std::string& line, std::string& next) {
    const Words words = splitWords(line);
    if (words.empty()) return true;
    const std::string command = lowerCase(words[0]);
    if (command == "quit") return false;
    if (command == "uci") identify();
    else if (command == "isready") send("readyok");
    else if (command == "ucinewgame") newGameCommand();
    else if (command == "setoption") setOptionCommand(words);
    else if (command == "position") positionCommand(words);
    else if (command == "go") next = goCommand(words);
    else if (command == "bench") benchCommand(words);
    else if (command == "stop" || command == "ponderhit" || command == "debug" || command == "register") {
    }   // nothing to stop or ponder on any more, no debug output, no registration
    else send("info string unknown command '%s'", words[0].c_str());
    return true;
}

}  // namespace

void runUciSession() {
    applyOptionDefaults();
    newGameCommand();
    identify();
    std::string line, next;
    for (;;) {
        if (!next.empty()) {
            line.swap(next);
            next.clear();
        } else if (!readInputLine(line)) {
            return;
        }
        if (!runUciLine(line, next)) return;
    }
}
