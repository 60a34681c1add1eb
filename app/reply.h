// The engine's reply: its move searched, announced and played, at the
// console and in xboard mode, where the clock is set before the search and
// charged after it, and the interface is listened to while the engine thinks.
#pragma once

extern int xboardMode;     // 1 after XBOARD
extern int engineColour;   // the colour the engine plays in xboard mode

// Searches and plays the engine's move, printing "move ..." or the error.
void playEngineMove();

// The engine's move in xboard mode: on the xboard clock, listening.
void engineReply();
