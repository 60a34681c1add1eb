// Arbitrary book.dat files through the book loader, then a book choice and a
// move from the root of the book.
#include <cstdio>

#include "app/commands.h"
#include "fuzz_support.h"
#include "knowledge/knowledge.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    resetEngineForFuzzing();
    clearBook();
    const std::string path = writeFuzzFile("book.dat", data, size);
    loadBook(path.c_str());
    static const char followUp[] = "go\ngo\ngo\nback\ngo\n";
    FILE* in = fmemopen(const_cast<char*>(followUp), sizeof(followUp) - 1, "rb");
    if (!in) return 0;
    runCommandLoop(in);
    std::fclose(in);
    clearBook();
    return 0;
}
