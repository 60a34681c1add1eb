// The TEACH command: every position of every game line of a file that the
// teach table does not hold yet is searched with short limits and recorded;
// the table is saved after each line.
#pragma once

// False when the games file cannot be opened.
bool teachFromFile(const char* gamesPath, const char* teachPath);

// Seconds that TEACH pauses after each searched position: 5. Only tests
// lower it; no command changes it.
extern int teachPauseSeconds;
