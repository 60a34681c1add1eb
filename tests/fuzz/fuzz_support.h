// Shared set-up for the fuzz targets: a private data directory, a shallow
// search, and the engine's process-wide state put back before every input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The directory the engine reads and writes its files in during fuzzing.
const std::string& fuzzDirectory();

// New game, default settings, clock and UCI options, console mode, search
// capped at a shallow depth so that GO answers in milliseconds.
void resetEngineForFuzzing();

// Writes the bytes to a file in the fuzz directory and returns its full path.
std::string writeFuzzFile(const std::string& name, const uint8_t* data, size_t size);
