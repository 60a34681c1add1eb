// Start-up and shutdown: the banner, the files loaded beside the binary, the
// command loop, and the teach table saved at the end.
#pragma once

// A new game: the initial position and an empty transposition table.
void startGame();

// Runs the engine from start-up to shutdown; returns the exit status.
int runEngine(int argc, char** argv);
