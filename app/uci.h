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

// Every option at its default as the handshake declares it: a session starts
// so (the console's book is on; in UCI mode it is off until the interface
// turns it on).
void applyOptionDefaults();
