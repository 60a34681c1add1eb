#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "app/commands.h"
#include "app/paths.h"
#include "app/reply.h"
#include "app/settings.h"
#include "app/teachrun.h"
#include "app/uci.h"
#include "board/board.h"
#include "knowledge/knowledge.h"

namespace {

char createdDirectory[64];   // a plain buffer: still valid when the exit handler runs

void removeFuzzDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(createdDirectory, ec);
}

}  // namespace

const std::string& fuzzDirectory() {
    static const std::string dir = [] {
        std::snprintf(createdDirectory, sizeof(createdDirectory), "/tmp/rotor-fuzz-XXXXXX");
        if (!mkdtemp(createdDirectory)) std::abort();
        std::atexit(removeFuzzDirectory);
        return std::string(createdDirectory) + "/";
    }();
    return dir;
}

void resetEngineForFuzzing() {
    programDir = fuzzDirectory();
    xboardMode = 0;
    engineColour = BLACK;
    teachPauseSeconds = 0;
    // What the commands and a UCI session (entered with "uci") set for the
    // rest of the process.
    applyOptionDefaults();
    settings = Settings{};
    settings.maxDepth = 2;
    xboardClock = PeriodClock{};
    newGame();
}

std::string writeFuzzFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = fuzzDirectory() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}
