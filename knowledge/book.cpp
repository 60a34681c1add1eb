// The opening book: every move of every line of book.dat, stored with the
// exact position before it in 4096 chains (newest first) by the low 12 bits
// of the position key.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/random.h"
#include "knowledge/knowledge.h"
#include "platform/platform.h"

namespace {

constexpr int BOOK_CHAINS = 4096;

BookEntry** bookHeads = nullptr;
int bookEntries = 0;

BookEntry*& chainOf(HashKey key) { return bookHeads[key & (BOOK_CHAINS - 1)]; }

bool sameEntry(const BookEntry& a, const BookEntry& b) {
    if (a.key != b.key || a.move != b.move || a.side != b.side || a.castling != b.castling) return false;
    if (a.white != b.white || a.black != b.black) return false;
    for (int i = 0; i < 5; ++i)
        if (a.pieces[i] != b.pieces[i]) return false;
    return true;
}

// Plays one cleaned opening line, its first token and the rest behind the
// cursor, from the initial position; returns the token it stopped at, or
// nullptr when the whole line went in.
char* readOpeningLine(char* first, char* cursor) {
    newGame();
    for (char* token = first; token; token = nextMoveText(cursor)) {
        Move move = 0;
        // The coordinate reader accepts a move that leaves the own king
        // attacked; the book must never offer one.
        if (!parseMove(token, move) || !isLegalMove(move)) return token;
        if (!addBookEntry(bookEntryFor(move))) return token;
        if (!playMove(move)) return token;
    }
    return nullptr;
}

}  // namespace

BookEntry bookEntryFor(Move move) {
    BookEntry e;
    fillSnapshot(e);
    e.move = move;
    e.next = nullptr;
    return e;
}

bool addBookEntry(const BookEntry& entry) {
    if (!bookHeads) return false;
    BookEntry*& head = chainOf(entry.key);
    for (const BookEntry* e = head; e; e = e->next)
        if (sameEntry(*e, entry)) return true;   // already there: stored once
    BookEntry* added = new (std::nothrow) BookEntry(entry);
    if (!added) return false;
    added->next = head;
    head = added;
    ++bookEntries;
    return true;
}

int bookEntryCount() { return bookEntries; }

void clearBook() {
    if (!bookHeads) return;
    for (int chain = 0; chain < BOOK_CHAINS; ++chain) {
        for (BookEntry* e = bookHeads[chain]; e;) {
            BookEntry* next = e->next;
            delete e;
            e = next;
        }
    }
    std::free(bookHeads);
    bookHeads = nullptr;
    bookEntries = 0;
}

bool loadBook(const char* path) {
    if (!bookHeads) {
        bookHeads = static_cast<BookEntry**>(std::calloc(BOOK_CHAINS, sizeof(BookEntry*)));
        if (!bookHeads) return false;
    }
    FILE* file = openDataText(path, MAX_TEXT_FILE);   // a regular file only, read to its length
    if (!file) return false;
    char line[LINE_PIECE_SIZE];
    int lineNumber = 0;
    while (std::fgets(line, sizeof(line), file)) {
        ++lineNumber;
        cleanLine(line);
        char* cursor = line;
        char* first = nextMoveText(cursor);
        if (!first || first[0] == '#') continue;
        const char* stopped = readOpeningLine(first, cursor);
        if (stopped) std::fprintf(stderr, "#error in line %d: %s\n", lineNumber, stopped);
    }
    std::fclose(file);
    newGame();
    return true;
}

Move bookMove() {
    if (!bookHeads) return 0;
    const BookEntry* head = chainOf(board.hashKey);
    int n = 0;
    for (const BookEntry* e = head; e; e = e->next)
        if (bookEntryMatches(*e) && isPlayableMove(e->move)) ++n;
    if (n == 0) return 0;
    int k = nextRandom() % n + 1;
    for (const BookEntry* e = head; e; e = e->next)
        if (bookEntryMatches(*e) && isPlayableMove(e->move) && --k == 0) return e->move;
    return 0;
}
