// UCI mode: the protocol that most chess interfaces and match runners speak.
//
// The word UCI switches the process into it for the rest of its life: from
// then on lines are read whole, with their case, and standard output carries
// only protocol lines (remarks go out as "info string"). The engine keeps the
// position the interface last set; "go" searches it with the limits given,
// and while it thinks the engine answers "isready" at once and stops on
// "stop" (or "quit"). The search and its tree are the console's: only the
// limits, the reports and the move text differ.
#pragma once
#include <cstdint>

// Runs the session from the "uci" line just read (answered first) until
// "quit" or end of input.
void runUciSession();

// Milliseconds a move may take on the clock: time left, increment and the
// moves to the next time control (0: none, the rest of the game), less the
// interface's overhead per move. Never less than a millisecond.
int64_t clockMoveBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead);
