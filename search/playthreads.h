// The play search's helper threads: made when the thread count is set, asleep
// between searches (blocked, not spinning), each running the posted work
// once per search. The pool knows nothing of chess: the play search posts its
// helper search and waits for it.
#pragma once

// Makes or ends helpers until there are `count` (idle between searches).
void setHelperCount(int count);
int helperCount();
// Every helper runs work(its index) once; returns at once.
void startHelpers(void (*work)(int helper));
// Returns when every helper has finished the work last posted.
void waitForHelpers();
