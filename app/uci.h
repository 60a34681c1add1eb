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
#include <cstddef>
#include <cstdint>

// Runs the session from the "uci" line just read (answered first) until
// "quit" or end of input.
void runUciSession();

// Milliseconds a move may take on the clock: time left, increment and the
// moves to the next time control (0: none, the rest of the game), less the
// interface's overhead per move. Never less than a millisecond.
int64_t clockMoveBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead);

// The score as UCI shows it, into text: "cp N", or "mate N" in moves
// (negative when the side to move is mated). The engine's score of a mate
// given with the side's own n-th move is MATE_SCORE - 2n (the king capture
// that follows at ply 2n); of a mate taken with the opponent's n-th move,
// -(MATE_SCORE - 2n - 1).
void uciScore(int score, char* text, size_t size);
