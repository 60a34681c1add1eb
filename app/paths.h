// Where the engine's files are: beside its binary.
#pragma once
#include <string>

extern std::string programDir;   // prefix of every data file name

// Directory part of the program path: up to the last '/', else the last '\'.
std::string programDirectory(const char* programPath);
// The folder of the running executable as the kernel names it, so that a
// launch through a link or through PATH finds the files beside the real
// binary; the program path's folder where the kernel does not say.
std::string ownDirectory(const char* programPath);
std::string joinPath(const std::string& name);

// After a save that failed (errno tells why): the old file is kept, and the
// user is told on standard error.
void reportSaveFailure(const std::string& path);
