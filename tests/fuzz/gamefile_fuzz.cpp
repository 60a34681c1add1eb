// Arbitrary lastgame.dat files through LOAD, then the commands that read
// the loaded game back.
#include <cstdio>

#include "app/commands.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    resetEngineForFuzzing();
    writeFuzzFile("lastgame.dat", data, size);
    static const char followUp[] = "load\nposition\nback\nnext\nsave\nload\ngo\n";
    FILE* in = fmemopen(const_cast<char*>(followUp), sizeof(followUp) - 1, "rb");
    if (!in) return 0;
    runCommandLoop(in);
    std::fclose(in);
    return 0;
}
