// The search's progress as text, for the console and xboard alike: at every
// new best root move "# d:..." and its "# pv: ..." line, the same "# d:" line
// for the result at the end, and the draw warning on the error stream.
#pragma once
#include "search/search.h"

extern const SearchReporter PRINTING_REPORTER;
