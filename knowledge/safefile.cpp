#include "knowledge/safefile.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

sigset_t heldSignals, previousMask;

void holdSignals() {
    sigemptyset(&heldSignals);
    sigaddset(&heldSignals, SIGTERM);
    sigaddset(&heldSignals, SIGINT);
    sigaddset(&heldSignals, SIGHUP);
    sigprocmask(SIG_BLOCK, &heldSignals, &previousMask);
}

void releaseSignals() { sigprocmask(SIG_SETMASK, &previousMask, nullptr); }

}  // namespace

bool beginSafeWrite(SafeFile& sf, const char* path) {
    sf.file = nullptr;
    if (std::strlen(path) + 16 >= sizeof(sf.tempPath)) return false;
    std::snprintf(sf.finalPath, sizeof(sf.finalPath), "%s", path);
    std::snprintf(sf.tempPath, sizeof(sf.tempPath), "%s.tmp%d", path, int(getpid()));
    holdSignals();
    sf.file = std::fopen(sf.tempPath, "wb");
    if (!sf.file) {
        releaseSignals();
        return false;
    }
    return true;
}

bool commitSafeWrite(SafeFile& sf) {
    if (!sf.file) return false;
    bool ok = std::fflush(sf.file) == 0 && !std::ferror(sf.file);
    if (ok) ok = fsync(fileno(sf.file)) == 0;
    ok = (std::fclose(sf.file) == 0) && ok;
    sf.file = nullptr;
    if (ok) ok = std::rename(sf.tempPath, sf.finalPath) == 0;
    if (!ok) std::remove(sf.tempPath);
    releaseSignals();
    return ok;
}
