// Arbitrary teach.dat files through the teach-table loader, followed by short
// searches that consult the table, and a save.
#include <cstdio>

#include "app/commands.h"
#include "app/settings.h"
#include "fuzz_support.h"
#include "knowledge/knowledge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    resetEngineForFuzzing();
    settings.useBook = false;
    clearTeachTable();
    const std::string path = writeFuzzFile("teach.dat", data, size);
    loadTeachTable(path.c_str());
    static const char followUp[] = "go\ngo\nnew\ne2e4\ngo\n";
    FILE* in = fmemopen(const_cast<char*>(followUp), sizeof(followUp) - 1, "rb");
    if (!in) return 0;
    runCommandLoop(in);
    std::fclose(in);
    saveTeachTable(path.c_str());
    clearTeachTable();
    return 0;
}
