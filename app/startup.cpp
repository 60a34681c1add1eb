#include "app/startup.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "app/commands.h"
#include "app/paths.h"
#include "app/searchlines.h"
#include "app/termination.h"
#include "app/version.h"
#include "board/makemove.h"
#include "board/random.h"
#include "knowledge/knowledge.h"
#include "knowledge/safefile.h"
#include "search/search.h"
#include "search/tt.h"

void startGame() {
    newGame();
    ttClear();
}

int runEngine(int argc, char** argv) {
    programDir = ownDirectory(argc > 0 ? argv[0] : nullptr);
    installTerminationHandlers();
    searchReporter = PRINTING_REPORTER;
    std::fprintf(stderr, "# Rotor chess engine, version %s\n", ROTOR_VERSION);
    startGame();
    // Temporary files that an engine killed while saving left beside the data.
    removeStaleTempFiles(joinPath("teach.dat").c_str());
    removeStaleTempFiles(joinPath("lastgame.dat").c_str());
    std::fputs("#load teach-table: ", stderr);
    std::fprintf(stderr, "%s\n", loadTeachTable(joinPath("teach.dat").c_str()) ? "ok" : "error");
    std::fputs("#load book: ", stderr);
    std::fprintf(stderr, "%s\n", loadBook(joinPath("book.dat").c_str()) ? "ok" : "error");
    seedRandom(uint32_t(std::time(nullptr)));
    printHelp(stderr);

    runCommandLoop(stdin);
    const std::string teachPath = joinPath("teach.dat");
    if (teachRecording && !saveTeachTable(teachPath.c_str())) reportSaveFailure(teachPath);
    return 0;
}
