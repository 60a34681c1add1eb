#include "app/paths.h"

#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstring>
#include <unistd.h>

std::string programDir;

std::string programDirectory(const char* programPath) {
    std::string path = programPath ? programPath : "";
    size_t cut = path.rfind('/');
    if (cut == std::string::npos) cut = path.rfind('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ownDirectory(const char* programPath) {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) return programDirectory(programPath);
    path[length] = 0;
    return programDirectory(path);
}

std::string joinPath(const std::string& name) { return programDir + name; }

void reportSaveFailure(const std::string& path) {
    std::fprintf(stderr, "# error: %s not saved: %s\n", path.c_str(), std::strerror(errno));
}
