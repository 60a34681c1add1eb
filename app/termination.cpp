#include "app/termination.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "app/input.h"
#include "search/search.h"

namespace {

int nullInput = -1;

// Only sets the flag and swaps the input for an empty one (both safe in a
// handler): every later read of a command finds end of input, so the command
// loop ends as at end of input wherever the signal finds the engine; a read
// that is waiting returns at once, since the handler does not restart it.
void onTermination(int) {
    terminationRequested = 1;
    inputInterrupted = 1;
    if (nullInput >= 0) dup2(nullInput, STDIN_FILENO);
}

}  // namespace

void installTerminationHandlers() {
    nullInput = open("/dev/null", O_RDONLY | O_CLOEXEC);
    struct sigaction action = {};
    action.sa_handler = onTermination;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    // An interface that has gone away must not take the engine with it
    // before it has saved: writes to a closed pipe fail quietly instead.
    std::signal(SIGPIPE, SIG_IGN);
}
