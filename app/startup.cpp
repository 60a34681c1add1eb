#include "app/startup.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

#include "app/bench.h"
#include "app/commands.h"
#include "app/paths.h"
#include "app/settings.h"
#include "app/termination.h"
#include "app/version.h"
#include "board/makemove.h"
#include "board/random.h"
#include "knowledge/knowledge.h"
#include "platform/platform.h"
#include "search/search.h"
#include "search/tt.h"

void startGame() {
    newGame();
    ttClear();
}

namespace {

// "rotor bench [depth [positions]]": the bench report alone, for testing
// frameworks that run the engine with that argument.
int commandLineBench(int argc, char** argv) {
    int depth = 0, count = 0;
    if (!readBenchArguments(Words(argv + 2, argv + argc), depth, count)) {
        std::fprintf(stderr, "usage: %s bench [depth [positions]]: a depth from 2 to %d, 1 to %d positions\n",
                     argv[0], MAX_ITERATION_DEPTH, benchPositionCount());
        return 2;
    }
    startGame();
    printBenchReport(depth, count, "");
    return 0;
}

}  // namespace

int runEngine(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "bench") return commandLineBench(argc, argv);
    programDir = ownDirectory(argc > 0 ? argv[0] : nullptr);
    installTerminationHandlers();
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
    if (settings.recordTeach && !saveTeachTable(teachPath.c_str())) reportSaveFailure(teachPath);
    return 0;
}
