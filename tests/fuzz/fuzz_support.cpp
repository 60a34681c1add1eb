#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "app/commands.h"
#include "app/settings.h"
#include "board/board.h"
#include "knowledge/knowledge.h"
#include "search/search.h"

const std::string& fuzzDirectory() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/rotor-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made) std::abort();
        return std::string(made) + "/";
    }();
    return dir;
}

void resetEngineForFuzzing() {
    programDir = fuzzDirectory();
    xboardMode = 0;
    engineColour = BLACK;
    settings = Settings{5, 15, 8, 1, 1};
    timePool = 300;
    periodPool = 0;
    maxIterationDepth = 2;
    teachPauseSeconds = 0;
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
