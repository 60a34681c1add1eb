// Crash-safe file replacement. The new content is written to a temporary
// file in the same directory, flushed to disk and renamed over the old file,
// so a crash, a kill or a full disk leaves either the old or the new file.
// SIGTERM and SIGINT are held while the file is written and renamed.
#pragma once
#include <cstdio>

struct SafeFile {
    FILE* file;          // write here; nullptr when the file could not be created
    char tempPath[4096];
    char finalPath[4096];
};

// Opens the temporary file (binary mode) and holds the termination signals.
bool beginSafeWrite(SafeFile& sf, const char* path);

// Completes the write: false (and the old file untouched) when any write failed.
bool commitSafeWrite(SafeFile& sf);
