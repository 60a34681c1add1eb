// Random command lines and moves through the real command loop.
#include <cstdio>

#include "app/commands.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    resetEngineForFuzzing();
    FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!in) return 0;
    runCommandLoop(in);
    std::fclose(in);
    return 0;
}
