#include "app/paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string programDir;

std::string programDirectory(const char* programPath) {
    std::string path = programPath ? programPath : "";
    size_t cut = path.rfind('/');
    if (cut == std::string::npos) cut = path.rfind('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string joinPath(const std::string& name) { return programDir + name; }

void reportSaveFailure(const std::string& path) {
    std::fprintf(stderr, "# error: %s not saved: %s\n", path.c_str(), std::strerror(errno));
}
