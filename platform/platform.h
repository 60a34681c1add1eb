// The ground floor, below the board: what the engine asks of the operating
// system (POSIX, as on Linux), open to every layer.
//
// The engine's data files on disk: reading only regular files, crash-safe
// replacement, appending whole records, a lock shared by the engines of one
// folder, and the clean-up of temporary files that a killed engine left.
// Failures return false (or nullptr) with errno telling why.
#pragma once
#include <cstddef>
#include <cstdio>

// Opens a data file for reading ("r" or "rb"). Only a regular file is a data
// file: a directory, a pipe or a device (an endless /dev/zero) is refused
// with EINVAL, and a pipe is refused without waiting for a writer. size
// receives the file's length at opening; readers read no more than that.
FILE* openDataFile(const char* path, const char* mode, long long& size);

// A text data file (regular, at most maxBytes, else EFBIG) read whole: the
// stream reads a private copy, so reading ends where the file ended when it
// was opened, whatever happens to the file meanwhile.
FILE* openDataText(const char* path, long long maxBytes);

// The longest text data file read (book, game file, games to learn).
constexpr long long MAX_TEXT_FILE = 64ll << 20;

// Crash-safe file replacement. The new content is written to a temporary
// file (<target>.tmp<pid>) in the target's directory, flushed to disk and
// renamed over the old file, so a crash, a kill or a full disk leaves either
// the old or the new file. A symbolic link is written through to its target,
// and the file keeps its permissions. A target that exists and is not a
// regular file is refused. SIGTERM, SIGINT and SIGHUP are held while the file
// is written and renamed.
struct SafeFile {
    FILE* file;          // write here; nullptr when the file could not be created
    char tempPath[4096];
    char finalPath[4096];
    int error;           // errno of the first failure, 0 while all went well
};

// Opens the temporary file (binary mode) and holds the termination signals.
bool beginSafeWrite(SafeFile& sf, const char* path);

// Completes the write: false (errno set, the old file untouched) when any
// write failed.
bool commitSafeWrite(SafeFile& sf);

// Appends whole records to a file, creating it when missing, and syncs it to
// disk. A piece of a record that an interrupted append left at the end is cut
// off first, so the records stay aligned. Termination signals are held.
bool appendRecords(const char* path, const void* records, size_t bytes, size_t recordSize);

// An exclusive lock on the folder of a data file, shared by every engine
// working there; waits for it. Returns a handle for unlockDataFolder, or -1
// when the folder cannot be locked (the caller goes on without the lock).
int lockDataFolder(const char* path);
void unlockDataFolder(int handle);

// Removes the temporary files of path (<target>.tmp<pid>) whose writing
// process is no longer alive; a file of a running process is never touched.
// Returns how many were removed.
int removeStaleTempFiles(const char* path);
