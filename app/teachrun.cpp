#include "app/teachrun.h"

#include <cstdio>
#include <ctime>

#include "app/paths.h"
#include "app/searchlines.h"
#include "app/settings.h"
#include "app/startup.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "knowledge/knowledge.h"
#include "platform/platform.h"
#include "search/search.h"

int teachPauseSeconds = 5;

namespace {

// A position is searched with the console's settings but these limits:
// 3 seconds once deeper than 5 plies, 5 seconds up to them.
constexpr TimeLimits TEACH_LIMITS = {3, 5, 5, 0, false};

// Waits n seconds on the calendar clock, or until a termination signal.
void waitSeconds(int n) {
    const time_t t0 = std::time(nullptr);
    for (;;) {
        const time_t t = std::time(nullptr);
        if (t - t0 >= n || t < t0 || terminationRequested) return;
        const timespec pause = {0, 20 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
}

// In the position after a game move: learn it unless the table knows it.
// False when the search finds no move.
bool learnPosition() {
    TeachHit known;
    if (teachLookup(known)) {
        std::fputs("# in lib\n", stdout);
        return true;
    }
    SearchRequest request = settingsRequest(PRINTING_REPORTER);
    request.time = TEACH_LIMITS;
    const SearchResult result = searchRoot(request);
    if (result.move == 0) return false;
    teachRecord(result.move, result.score, result.depth);
    std::printf("%d\n", -result.score);   // from the view of the side that played the move
    waitSeconds(teachPauseSeconds);
    return true;
}

// Plays one cleaned game line from the initial position, learning every
// position on the way; returns the token it stopped at, or nullptr.
char* teachLine(char* first, char* cursor) {
    startGame();
    std::fputs("#new line\n", stdout);
    for (char* token = first; token && !terminationRequested; token = nextMoveText(cursor)) {
        Move move = 0;
        if (!parseMove(token, move) || !isLegalMove(move)) return token;
        if (!playMove(move)) return token;
        char text[8];
        formatMove(move, text);
        std::printf("# %s \n", text);
        if (!learnPosition()) return token;
    }
    return nullptr;
}

}  // namespace

bool teachFromFile(const char* gamesPath, const char* teachPath) {
    FILE* games = openDataText(gamesPath, MAX_TEXT_FILE);   // a regular file only, read to its length
    if (!games) return false;
    char line[LINE_PIECE_SIZE];
    int lineNumber = 0;
    while (!terminationRequested && std::fgets(line, sizeof(line), games)) {
        ++lineNumber;
        cleanLine(line);
        char* cursor = line;
        char* first = nextMoveText(cursor);
        if (!first || first[0] == '#') continue;
        const char* stopped = teachLine(first, cursor);
        std::fflush(stdout);
        // What the line learned is on disk before the next line is read; a
        // line that learned nothing writes nothing.
        if (!saveTeachChanges(teachPath)) reportSaveFailure(teachPath);
        if (stopped) std::fprintf(stderr, "#error in line %d: %s\n", lineNumber, stopped);
    }
    std::fclose(games);
    startGame();
    return true;
}

// Polls the calendar clock; a short sleep between readings keeps the wait
// from taking a whole core.
