#include "platform/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MAX_LINK_HOPS = 40;   // as the kernel's own limit on nested links

sigset_t heldSignals, previousMask;

void holdSignals() {
    sigemptyset(&heldSignals);
    sigaddset(&heldSignals, SIGTERM);
    sigaddset(&heldSignals, SIGINT);
    sigaddset(&heldSignals, SIGHUP);
    sigprocmask(SIG_BLOCK, &heldSignals, &previousMask);
}

void releaseSignals() { sigprocmask(SIG_SETMASK, &previousMask, nullptr); }

std::string folderOf(const std::string& path) {
    const size_t cut = path.rfind('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? "/" : path.substr(0, cut);
}

// The file a path names once symbolic links are followed (it may not exist
// yet: a dangling link names the file to create).
std::string linkTarget(const char* path) {
    std::string current = path;
    for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
        struct stat info;
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        char target[4096];
        const ssize_t length = readlink(current.c_str(), target, sizeof(target) - 1);
        if (length < 0) return current;
        target[length] = 0;
        current = target[0] == '/' ? std::string(target) : folderOf(current) + "/" + target;
    }
    return current;
}

// Whether a path may be replaced by a regular file: it is one, or nothing is there.
bool replaceable(const char* path, struct stat& info, bool& exists) {
    exists = stat(path, &info) == 0;
    if (!exists) return errno == ENOENT;
    if (S_ISREG(info.st_mode)) return true;
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return false;
}

bool isAlive(long pid) { return kill(pid_t(pid), 0) == 0 || errno == EPERM; }

}  // namespace

FILE* openDataFile(const char* path, const char* mode, long long& size) {
    size = 0;
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);   // a pipe would wait for a writer
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(fd, mode);
    if (!file) {
        close(fd);
        return nullptr;
    }
    size = info.st_size;
    return file;
}

FILE* openDataText(const char* path, long long maxBytes) {
    long long size = 0;
    FILE* file = openDataFile(path, "rb", size);
    if (!file) return nullptr;
    if (size > maxBytes) {
        std::fclose(file);
        errno = EFBIG;
        return nullptr;
    }
    // One byte more than the text: the stream keeps a terminator there.
    FILE* copy = fmemopen(nullptr, size_t(size) + 1, "w+");
    bool ok = copy != nullptr;
    char buffer[65536];
    for (long long left = size; ok && left > 0;) {
        const size_t want = left < static_cast<long long>(sizeof(buffer)) ? size_t(left) : sizeof(buffer);
        const size_t got = std::fread(buffer, 1, want, file);
        ok = got > 0 && std::fwrite(buffer, 1, got, copy) == got;
        left -= static_cast<long long>(got);
    }
    const int error = errno;
    std::fclose(file);
    if (!ok) {
        if (copy) std::fclose(copy);
        errno = error ? error : EIO;
        return nullptr;
    }
    std::rewind(copy);
    return copy;
}

bool beginSafeWrite(SafeFile& sf, const char* path) {
    sf.file = nullptr;
    sf.error = 0;
    const std::string target = linkTarget(path);
    if (target.size() + 24 >= sizeof(sf.tempPath)) {
        sf.error = errno = ENAMETOOLONG;
        return false;
    }
    struct stat old;
    bool exists = false;
    if (!replaceable(target.c_str(), old, exists)) {
        sf.error = errno;
        return false;
    }
    std::snprintf(sf.finalPath, sizeof(sf.finalPath), "%s", target.c_str());
    std::snprintf(sf.tempPath, sizeof(sf.tempPath), "%s.tmp%d", target.c_str(), int(getpid()));
    holdSignals();
    sf.file = std::fopen(sf.tempPath, "wb");
    if (!sf.file) {
        sf.error = errno;
        releaseSignals();
        errno = sf.error;
        return false;
    }
    if (exists) {
        // The new file takes the old one's permissions (and owner, where allowed).
        fchmod(fileno(sf.file), old.st_mode & 07777);
        if (fchown(fileno(sf.file), old.st_uid, old.st_gid) != 0) {
            // not allowed to this user: the file becomes the user's own
        }
    }
    return true;
}

bool commitSafeWrite(SafeFile& sf) {
    if (!sf.file) return false;
    auto failed = [&sf](bool ok) {
        if (!ok && sf.error == 0) sf.error = errno ? errno : EIO;
        return !ok;
    };
    errno = 0;
    bool ok = !failed(std::fflush(sf.file) == 0 && !std::ferror(sf.file));
    if (ok) ok = !failed(fsync(fileno(sf.file)) == 0);
    ok = !failed(std::fclose(sf.file) == 0) && ok;
    sf.file = nullptr;
    if (ok) ok = !failed(std::rename(sf.tempPath, sf.finalPath) == 0);
    if (!ok) std::remove(sf.tempPath);
    releaseSignals();
    errno = sf.error;
    return ok;
}

bool appendRecords(const char* path, const void* records, size_t bytes, size_t recordSize) {
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EINVAL;
        return false;
    }
    holdSignals();
    const off_t aligned = info.st_size - info.st_size % off_t(recordSize);
    bool ok = aligned == info.st_size || ftruncate(fd, aligned) == 0;
    const char* p = static_cast<const char*>(records);
    for (size_t left = bytes; ok && left > 0;) {
        const ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= size_t(n);
        }
    }
    if (ok) ok = fsync(fd) == 0;
    const int error = errno;
    if (!ok && ftruncate(fd, aligned) == 0) fsync(fd);   // no piece of a record stays behind
    close(fd);
    releaseSignals();
    errno = error;
    return ok;
}

int lockDataFolder(const char* path) {
    const int fd = open(folderOf(linkTarget(path)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(fd);
            return -1;
        }
    }
    return fd;
}

void unlockDataFolder(int handle) {
    if (handle >= 0) close(handle);   // closing releases the lock
}

namespace {

// Removes the stale temporary files of one file name (a path without links).
int removeStaleTempFilesOf(const std::string& file) {
    const std::string folder = folderOf(file);
    const size_t cut = file.rfind('/');
    const std::string prefix = (cut == std::string::npos ? file : file.substr(cut + 1)) + ".tmp";
    // Engines write their temporary files while they hold the folder's lock:
    // when it is taken, someone may be writing, and nothing is removed now.
    const int lock = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock < 0) return 0;
    if (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        close(lock);
        return 0;
    }
    int removed = 0;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const char* name = entry->d_name;
            if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
            const char* digits = name + prefix.size();
            char* end = nullptr;
            const long pid = std::strtol(digits, &end, 10);
            if (*digits < '1' || *digits > '9' || *end != 0 || pid <= 0) continue;
            if (pid == long(getpid()) || isAlive(pid)) continue;
            if (unlinkat(dirfd(dir), name, 0) == 0) ++removed;
        }
        closedir(dir);
    }
    close(lock);
    return removed;
}

}  // namespace

int removeStaleTempFiles(const char* path) {
    // Beside the link's target, where saves write them, and beside the name itself.
    const std::string target = linkTarget(path);
    int removed = removeStaleTempFilesOf(target);
    if (target != path) removed += removeStaleTempFilesOf(path);
    return removed;
}
