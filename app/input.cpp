#include "app/input.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

volatile std::sig_atomic_t inputInterrupted = 0;

namespace {

constexpr size_t BUFFER_SIZE = 1 << 17;   // more than one line of the longest kept length
constexpr size_t READ_CHUNK = 4096;

FILE* source = stdin;
char buffer[BUFFER_SIZE];
size_t begin = 0;   // first unread byte
size_t end = 0;     // one past the last buffered byte
bool endOfInput = false;
int linesBeforeThinking = 0;   // complete lines waiting when the engine began to think

// Moves the unread bytes to the front so that a chunk fits behind them.
void compact() {
    if (begin == 0) return;
    std::memmove(buffer, buffer + begin, end - begin);
    end -= begin;
    begin = 0;
}

// One read from the source into the buffer; false when nothing came (end of
// input, an error, or a full buffer).
bool fill() {
    if (endOfInput) return false;
    compact();
    const size_t room = BUFFER_SIZE - end;
    if (room == 0) return false;
    const size_t want = room < READ_CHUNK ? room : READ_CHUNK;
    const int fd = fileno(source);
    if (fd < 0) {   // a stream without a descriptor (a memory stream in tests)
        const size_t got = std::fread(buffer + end, 1, want, source);
        end += got;
        if (got == 0) endOfInput = true;
        return got > 0;
    }
    for (;;) {
        const ssize_t got = ::read(fd, buffer + end, want);
        if (got > 0) {
            end += size_t(got);
            return true;
        }
        if (got < 0 && errno == EINTR && !inputInterrupted) continue;
        endOfInput = true;
        return false;
    }
}

// Whether the source can be read without blocking.
bool readable() {
    const int fd = fileno(source);
    if (fd < 0) return false;
    pollfd p = {fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

const char* findNewline(size_t from) {
    return static_cast<const char*>(std::memchr(buffer + from, '\n', end - from));
}

// Position of the i-th complete waiting line and its length without line end.
bool locateLine(int i, size_t& at, size_t& length, size_t& next) {
    size_t p = begin;
    for (int k = 0;; ++k) {
        const char* nl = findNewline(p);
        if (!nl) return false;
        const size_t stop = size_t(nl - buffer);
        if (k == i) {
            at = p;
            length = stop - p;
            if (length > 0 && buffer[stop - 1] == '\r') --length;
            next = stop + 1;
            return true;
        }
        p = stop + 1;
    }
}

}  // namespace

void setInputSource(FILE* newSource) {
    source = newSource;
    begin = end = 0;
    endOfInput = false;
}

bool readInputPiece(std::string& piece, size_t maxLength) {
    for (;;) {
        const size_t available = end - begin;
        const char* nl = findNewline(begin);
        size_t take = 0;
        if (nl && size_t(nl - (buffer + begin)) + 1 <= maxLength) take = size_t(nl - (buffer + begin)) + 1;
        else if (available >= maxLength) take = maxLength;
        else if (!fill()) take = available;   // end of input: the rest, if any
        if (take > 0 || (available == 0 && endOfInput)) {
            if (take == 0) return false;
            piece.assign(buffer + begin, take);
            begin += take;
            return true;
        }
    }
}

bool readInputLine(std::string& line) {
    std::string piece;
    if (!readInputPiece(piece, INPUT_LINE_LIMIT)) return false;
    bool complete = !piece.empty() && piece.back() == '\n';
    line = piece;
    while (!complete && readInputPiece(piece, INPUT_LINE_LIMIT))   // skip the rest of a long line
        complete = piece.back() == '\n';
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return true;
}

int pollInput() {
    while (readable() && fill()) {
    }
    int lines = 0;
    for (const char* p = findNewline(begin); p; p = findNewline(size_t(p - buffer) + 1)) ++lines;
    return lines + (endOfInput ? 1 : 0);
}

std::string_view waitingLine(int i) {
    size_t at = 0, length = 0, next = 0;
    if (!locateLine(i, at, length, next)) return std::string_view();
    return std::string_view(buffer + at, length);
}

bool inputEnded() { return endOfInput; }

void dropWaitingLine(int i) {
    size_t at = 0, length = 0, next = 0;
    if (!locateLine(i, at, length, next)) return;
    std::memmove(buffer + at, buffer + next, end - next);
    end -= next - at;
    if (i < linesBeforeThinking) --linesBeforeThinking;
}

void markThinkingStart() { linesBeforeThinking = pollInput() - (inputEnded() ? 1 : 0); }

bool sentWhileThinking(int i) { return i >= linesBeforeThinking; }
