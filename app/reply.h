// The engine's reply: its move searched, announced and played, at the
// console and in xboard mode, where the clock is set before the search and
// charged after it, and the interface is listened to while the engine thinks.
#pragma once

extern int xboardMode;     // 1 after XBOARD
extern int engineColour;   // the colour the engine plays in xboard mode

// The engine's move at the console, searched as the settings ask
// (settingsRequest): prints "move ..." and plays it, or prints the error.
void playEngineMove();

// The engine's move in xboard mode: the same, on the xboard clock, listening.
void engineReply();
