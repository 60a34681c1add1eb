// Placeholder until the search lands.
#include <ctime>

#include "search/search.h"

int searchScore = -100000;
int searchDepth = 0;
int iterationDepth = 0;
int iterationTime[51];
bool nullMoveAllowed = false;
int maxIterationDepth = MAX_ITERATION_DEPTH;
bool stopSearch = false;
uint64_t nodeCount = 0;
int startTime = 0;
int lastTime = 0;
int repetitionCount = 0;
int checkExtensionCount = 0;
int recaptureCount = 0;
Move followPv[61];

bool searchRoot(Move* result) { *result = 0; return false; }
int clockSeconds() { return int(std::time(nullptr)); }
