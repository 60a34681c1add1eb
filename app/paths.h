// Where the engine's files are: beside its binary.
#pragma once
#include <string>

extern std::string programDir;   // prefix of every data file name

// Directory part of the program path: up to the last '/', else the last '\'.
std::string programDirectory(const char* programPath);
std::string joinPath(const std::string& name);

// After a save that failed (errno tells why): the old file is kept, and the
// user is told on standard error.
void reportSaveFailure(const std::string& path);
