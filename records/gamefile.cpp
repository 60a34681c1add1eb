// The saved game (lastgame.dat) and the reading rules shared by the position
// block and the game listing.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "board/board.h"
#include "platform/platform.h"
#include "records/records.h"

namespace {

constexpr size_t MAX_LINE = 1022;

// One physical line, without its line end. A CR ends a line as well as a LF,
// so a CR LF file reads as lines separated by blank lines (which are skipped)
// and no CR ever reaches a token. Only the first MAX_LINE characters are kept,
// up to any NUL byte; the rest of the line is passed over. False at end of
// file (or on a read error) when nothing was read.
bool readRawLine(FILE* in, std::string& line) {
    line.clear();
    bool any = false, cut = false;
    int c;
    while ((c = std::getc(in)) != EOF) {
        any = true;
        if (c == '\n' || c == '\r') return true;
        if (c == 0) cut = true;
        if (!cut && line.size() < MAX_LINE) line.push_back(char(c));
    }
    return any;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

bool readDataLine(FILE* in, std::string& line) {
    while (readRawLine(in, line)) {
        const size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos || line[first] == '#') continue;
        for (size_t i = first; i < line.size(); ++i) line[i] = upper(line[i]);
        return true;
    }
    return false;
}

std::string nextField(const std::string& line, size_t& pos, const char* delimiters) {
    auto isDelimiter = [delimiters](char c) { return std::strchr(delimiters, c) != nullptr; };
    while (pos < line.size() && isDelimiter(line[pos])) ++pos;
    const size_t begin = pos;
    while (pos < line.size() && !isDelimiter(line[pos])) ++pos;
    std::string token = line.substr(begin, pos - begin);
    if (pos < line.size()) ++pos;
    return token;
}

bool saveGame(const char* path) {
    const int lock = lockDataFolder(path);
    SafeFile sf;
    bool saved = beginSafeWrite(sf, path);
    if (saved) {
        std::fputs("# last game\n", sf.file);
        writePosition(sf.file, false);
        writeMoveList(sf.file);
        saved = commitSafeWrite(sf);
    }
    const int error = errno;
    unlockDataFolder(lock);
    errno = error;
    return saved;
}

bool loadGame(const char* path) {
    // Only a regular file is a game file: a directory, a pipe or a device
    // (an endless /dev/zero) is refused like a missing file.
    FILE* in = openDataText(path, MAX_TEXT_FILE);
    newGame();
    if (!in) return false;
    std::string line;
    bool hasPosition = false;
    if (readDataLine(in, line)) {
        size_t pos = 0;
        hasPosition = nextField(line, pos, " :\n") == "POSITION";
    }
    if (hasPosition) {
        if (!readPosition(in)) {
            std::fclose(in);
            newGame();
            return false;
        }
    } else {
        // No position block: the whole file is a listing from the initial position.
        std::rewind(in);
    }
    // A file that cannot be read is refused, not taken for an empty listing.
    const bool ok = readMoveList(in) && !std::ferror(in);
    std::fclose(in);
    if (!ok) newGame();
    return ok;
}
