#include "app/uci.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/bench.h"
#include "app/commands.h"
#include "app/input.h"
#include "board/attacks.h"
#include "board/board.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/picker.h"
#include "search/search.h"
#include "search/tt.h"

namespace {

using Words = std::vector<std::string>;

// ---------------------------------------------------------------- output

// One protocol line on standard output, flushed at once: the interface may be
// waiting for it.
[[gnu::format(printf, 1, 2)]] void send(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

Words splitWords(const std::string& line) {
    Words words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        const size_t begin = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > begin) words.emplace_back(line, begin, i - begin);
    }
    return words;
}

std::string joinWords(const Words& words, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to && i < words.size(); ++i) text += (text.empty() ? "" : " ") + words[i];
    return text;
}

// A whole number in [low, high]; false for any other text.
bool readNumber(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(text.c_str(), &end, 10);
    if (*end != 0 || errno == ERANGE || n < low || n > high) return false;
    value = n;
    return true;
}

// ---------------------------------------------------------------- options

constexpr int MEGABYTE_BITS = 20;
// Both tables' bytes at 2^bits entries each, in megabytes: 2^(bits + 5 - 20).
constexpr int SLOT_BYTES_BITS = 5;   // two tables of 16-byte slots
static_assert(2 * sizeof(TTSlot) == 1 << SLOT_BYTES_BITS, "a slot in each table");
constexpr int hashMegabytes(int bits) { return 1 << (bits + SLOT_BYTES_BITS - MEGABYTE_BITS); }

constexpr int DEFAULT_MOVE_OVERHEAD = 30;   // milliseconds the interface and the pipes take per move
constexpr int MAX_MOVE_OVERHEAD = 5000;
int moveOverhead = DEFAULT_MOVE_OVERHEAD;

enum OptionType { SPIN, CHECK, BUTTON };

struct Option {
    const char* name;
    OptionType type;
    int defaultValue;   // spin and check (0 / 1)
    int min, max;       // spin
    void (*apply)(int value);
};

void setHash(int megabytes) {
    int bits = TT_BITS;
    while (bits < TT_MAX_BITS && hashMegabytes(bits + 1) <= megabytes) ++bits;
    if (!ttResize(bits))
        send("info string Hash: %d MB cannot be had, the table keeps %d MB", hashMegabytes(bits),
             int(((ttIndexMask + 1) * 2 * sizeof(TTSlot)) >> MEGABYTE_BITS));
}

void clearHash(int) {
    ttClear();
    clearOrdering();
}

void setOwnBook(int on) { settings.USELIB = on; }

void setLearning(int on) {
    settings.USETEACH = on;
    teachRecording = on != 0;
}

void setMoveOverhead(int milliseconds) { moveOverhead = milliseconds; }

void ignoreValue(int) {}

const Option options[] = {
    {"Hash", SPIN, hashMegabytes(TT_BITS), hashMegabytes(TT_BITS), hashMegabytes(TT_MAX_BITS), setHash},
    {"Clear Hash", BUTTON, 0, 0, 0, clearHash},
    {"Threads", SPIN, 1, 1, 1, ignoreValue},
    {"OwnBook", CHECK, 1, 0, 1, setOwnBook},
    {"Learning", CHECK, 1, 0, 1, setLearning},
    {"Move Overhead", SPIN, DEFAULT_MOVE_OVERHEAD, 0, MAX_MOVE_OVERHEAD, setMoveOverhead},
};

void printOptions() {
    for (const Option& o : options) {
        if (o.type == SPIN)
            send("option name %s type spin default %d min %d max %d", o.name, o.defaultValue, o.min, o.max);
        else if (o.type == CHECK)
            send("option name %s type check default %s", o.name, o.defaultValue ? "true" : "false");
        else
            send("option name %s type button", o.name);
    }
}

// setoption name <name, several words> [value <value>]
void setOptionCommand(const Words& words) {
    size_t valueAt = words.size();
    for (size_t i = 2; i < words.size(); ++i)
        if (lowerCase(words[i]) == "value") {
            valueAt = i;
            break;
        }
    if (words.size() < 3 || lowerCase(words[1]) != "name") {
        send("info string setoption needs: setoption name <name> [value <value>]");
        return;
    }
    const std::string name = joinWords(words, 2, valueAt);
    const std::string value = joinWords(words, valueAt + 1, words.size());
    for (const Option& o : options) {
        if (lowerCase(o.name) != lowerCase(name)) continue;
        int64_t n = 0;
        if (o.type == BUTTON) {
            o.apply(0);
        } else if (o.type == CHECK && (lowerCase(value) == "true" || lowerCase(value) == "false")) {
            o.apply(lowerCase(value) == "true");
        } else if (o.type == SPIN && readNumber(value, o.min, o.max, n)) {
            o.apply(int(n));
        } else {
            send("info string %s: value '%s' not taken (%s)", o.name, value.c_str(),
                 o.type == CHECK ? "true or false" : ("a whole number " + std::to_string(o.min) + " to " +
                                                       std::to_string(o.max)).c_str());
        }
        return;
    }
    send("info string no option named '%s'", name.c_str());
}

// ---------------------------------------------------------------- position

// The game record holds GAME_CAPACITY moves; a longer game keeps its last
// plies, more than the repetition test's fifty reversible moves.
constexpr int KEPT_PLIES = 100;
constexpr int MAX_MEN = 16;    // pieces of one colour in any game
constexpr int MAX_PAWNS = 8;

// What makes a set-up position one the engine cannot play, or nullptr.
const char* positionFault() {
    for (int colour = WHITE; colour <= BLACK; ++colour) {
        const Bitboard own = board.colourBits[colour];
        if (popCount(board.pieceBits[KING] & own) != 1) return "each side needs exactly one king";
        if (popCount(own) > MAX_MEN) return "more than sixteen pieces of one colour";
        if (popCount(board.pieceBits[PAWN] & own) > MAX_PAWNS) return "more than eight pawns of one colour";
    }
    if (isAttacked(kingSquare(board.opponent), board.sideToMove)) return "the side not to move is in check";
    return nullptr;
}

// Sets up "startpos | fen <fields> [moves <m1> ...]" (the words after
// "position"); on failure says why in reason, with the board undefined.
bool setUpPosition(const Words& words, std::string& reason) {
    size_t i = 1;
    if (words.empty()) {
        reason = "position needs startpos or fen";
        return false;
    }
    if (lowerCase(words[0]) == "startpos") {
        newGame();
    } else if (lowerCase(words[0]) == "fen") {
        while (i < words.size() && lowerCase(words[i]) != "moves") ++i;
        const std::string fen = joinWords(words, 1, i);
        if (!setPosition(fen)) {
            reason = "invalid FEN '" + fen + "'";
            return false;
        }
        if (const char* fault = positionFault()) {
            reason = "FEN '" + fen + "': " + fault;
            return false;
        }
    } else {
        reason = "position needs startpos or fen, not '" + words[0] + "'";
        return false;
    }
    if (i < words.size() && lowerCase(words[i]) != "moves") {
        reason = "expected moves, not '" + words[i] + "'";
        return false;
    }
    for (++i; i < words.size(); ++i) {
        if (history.count >= GAME_CAPACITY) keepRecentHistory(KEPT_PLIES);
        const Move move = findMove(lowerCase(words[i]));
        if (move == 0 || !playMove(move)) {
            reason = "illegal move '" + words[i] + "'";
            return false;
        }
    }
    return true;
}

Words lastPosition = {"startpos"};   // the last position that was set up

void positionCommand(const Words& words) {
    const Words args(words.begin() + 1, words.end());
    std::string reason;
    if (setUpPosition(args, reason)) {
        lastPosition = args;
        return;
    }
    send("info string %s: the position stays as it was", reason.c_str());
    setUpPosition(lastPosition, reason);
}

// ---------------------------------------------------------------- search reports

Move shownPv[MAX_PLY];   // the line of the last report, as far as it is legal
int shownPvLength = 0;

// Copies the legal part of the line into shownPv: it ends at the first move
// that is not legal in its place (a line ends in a king capture when it
// mates) or that takes a king. The moves are made on the board and taken back.
void takeLegalLine(const Move* pv, int length) {
    shownPvLength = 0;
    for (int i = 0; i < length && i < MAX_PLY; ++i) {
        const Move m = pv[i];
        if (!isLegalMove(m) || ((m & CAPTURE) && moveCaptured(m) == KING)) break;
        makeMove(m);
        flipSides();
        history.historyMoves[history.count + board.ply] = m;   // for en passant further on
        ++board.ply;
        shownPv[shownPvLength++] = m;
    }
    while (board.ply > 0) {
        --board.ply;
        flipSides();
        unmakeMove(shownPv[board.ply]);
    }
}

// Printed from inside the search, so without allocating: the line is built
// in a buffer with room for the longest line.
void printInfo(const SearchReport& r) {
    constexpr int MOVE_TEXT = 6;   // " e7e8q"
    char line[128 + MAX_PLY * MOVE_TEXT];
    char score[24];
    uciScore(r.score, score, sizeof(score));
    const uint64_t rate = r.milliseconds > 0 ? r.nodes * 1000 / uint64_t(r.milliseconds) : 0;
    int length = std::snprintf(line, sizeof(line), "info depth %d score %s nodes %llu nps %llu time %lld pv", r.depth,
                               score, (unsigned long long)r.nodes, (unsigned long long)rate,
                               (long long)r.milliseconds);
    for (int i = 0; i < shownPvLength; ++i)
        length += std::snprintf(line + length, sizeof(line) - size_t(length), " %s", coordinateText(shownPv[i]).c_str());
    send("%s", line);
}

void reportNewBest(const SearchReport& r) {
    takeLegalLine(r.pv, r.pvLength);
    printInfo(r);
}

// The result: after a completed or interrupted iteration, with the line of
// its best move; nothing when no iteration gave a score.
void reportResult(const SearchReport& r) {
    if (r.depth == 0) return;
    if (shownPvLength == 0 || shownPv[0] != r.move) {
        shownPv[0] = r.move;
        shownPvLength = 1;
    }
    printInfo(r);
}

void reportRepetition() {
    send("info string the game is drawn: a repeated position, or more than 50 reversible plies");
}

constexpr SearchReporter UCI_REPORTER = {reportNewBest, reportResult, reportRepetition};

// ---------------------------------------------------------------- thinking

// Lines that need the engine idle: sent while it thinks, the interface has
// moved on, and the search ends for them.
bool needsIdleEngine(std::string_view word) {
    for (const char* w : {"UCI", "UCINEWGAME", "POSITION", "GO", "SETOPTION", "BENCH"})
        if (sameWord(word, w)) return true;
    return false;
}

bool thinkingInfinite = false;   // "go infinite": the move waits for "stop"
bool stopHeard = false;          // the search was told to end

// Looked at between nodes while the engine thinks. "isready" is answered at
// once; "stop" ends the search. "quit" and the lines that need an idle engine
// end it too when sent while it thinks (a piped session's later lines wait
// for the move), or always under "go infinite"; they stay waiting, in order,
// for the loop. End of input ends an infinite search, which nothing else
// could stop.
bool uciInputWaiting() {
    const int lines = pollInput();
    int complete = lines - (inputEnded() ? 1 : 0);
    for (int i = 0; i < complete; ++i) {
        const std::string_view word = leadingWord(waitingLine(i));
        const bool stop = sameWord(word, "STOP"), ready = sameWord(word, "ISREADY");
        if (stop || ready || sameWord(word, "PONDERHIT") || sameWord(word, "DEBUG")) {
            if (ready) send("readyok");
            dropWaitingLine(i);   // answered here: not run again by the loop
            if (stop) return stopHeard = true;
            --i;
            --complete;
            continue;
        }
        if ((sameWord(word, "QUIT") || needsIdleEngine(word)) && (thinkingInfinite || sentWhileThinking(i)))
            return stopHeard = true;
    }
    if (inputEnded() && thinkingInfinite) return stopHeard = true;
    return false;
}

// After an infinite search that ended by itself: the move waits for "stop".
// Returns a line that ended the wait and is still to be run ("quit", or one
// that needs the engine idle), else empty.
std::string waitForStop() {
    std::string line;
    while (readInputLine(line)) {
        const std::string_view word = leadingWord(line);
        if (sameWord(word, "ISREADY")) {
            send("readyok");
        } else if (sameWord(word, "STOP")) {
            return "";
        } else if (!word.empty() && !sameWord(word, "PONDERHIT") && !sameWord(word, "DEBUG")) {
            return line;
        }
    }
    return "";
}

// ---------------------------------------------------------------- go

struct GoLimits {
    int64_t milliseconds = NO_TIME_LIMIT;
    bool wholeSpan = false;   // movetime: the time is used up, not saved for later moves
    uint64_t nodes = 0;
    int depth = MAX_ITERATION_DEPTH;
    bool infinite = false;
};

// The words after "go". Unknown words and "ponder" are passed over.
GoLimits readGoLimits(const Words& words) {
    int64_t clock[2] = {-1, -1}, increment[2] = {0, 0}, movesToGo = 0, moveTime = -1;
    GoLimits limits;
    constexpr int64_t BIG = int64_t(1) << 50;
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string key = lowerCase(words[i]);
        if (key == "infinite") {
            limits.infinite = true;
            continue;
        }
        int64_t value = 0;
        const bool number = i + 1 < words.size() && readNumber(words[i + 1], -BIG, BIG, value);
        if (!number) continue;
        const int64_t positive = std::max<int64_t>(value, 0);
        if (key == "wtime") clock[WHITE] = positive;
        else if (key == "btime") clock[BLACK] = positive;
        else if (key == "winc") increment[WHITE] = positive;
        else if (key == "binc") increment[BLACK] = positive;
        else if (key == "movestogo") movesToGo = positive;
        else if (key == "movetime") moveTime = positive;
        else if (key == "depth") limits.depth = int(std::clamp<int64_t>(value, 1, MAX_ITERATION_DEPTH));
        else if (key == "nodes") limits.nodes = uint64_t(std::max<int64_t>(value, 1));
        else continue;
        ++i;
    }
    const int side = board.sideToMove;
    if (moveTime >= 0) {
        limits.milliseconds = std::max<int64_t>(moveTime - moveOverhead, 1);
        limits.wholeSpan = true;
    }
    if (clock[side] >= 0) {
        const int64_t budget = clockMoveBudget(clock[side], increment[side], movesToGo, moveOverhead);
        if (budget < limits.milliseconds) {
            limits.milliseconds = budget;
            limits.wholeSpan = false;
        }
    }
    if (limits.infinite) limits.milliseconds = NO_TIME_LIMIT;
    return limits;
}

// Searches the position under the limits and answers "bestmove"; returns
// the line that ended an infinite search's wait, if any.
std::string goCommand(const Words& words) {
    const GoLimits limits = readGoLimits(words);
    thinkingInfinite = limits.infinite;
    stopHeard = false;
    markThinkingStart();
    shownPvLength = 0;
    searchLimits = SearchLimits{limits.milliseconds, limits.nodes, uciInputWaiting, limits.wholeSpan};
    // The first iteration is of depth 2: depth 1 is searched as 2. No deeper
    // than a tool (the fuzzer) may have set.
    const int deepest = maxIterationDepth;
    maxIterationDepth = std::max(std::min(limits.depth, deepest), 2);
    Move move = 0;
    const bool found = searchRoot(&move);
    searchLimits = SearchLimits{};
    maxIterationDepth = deepest;
    std::string next;
    if (limits.infinite && !stopHeard) next = waitForStop();
    thinkingInfinite = false;
    send("bestmove %s", found && move != 0 ? coordinateText(move).c_str() : "0000");
    return next;
}

// ---------------------------------------------------------------- the loop

void identify() {
    send("id name Rotor %s", ROTOR_VERSION);
    send("id author The Rotor developers");
    printOptions();
    send("uciok");
}

void newGameCommand() {
    startGame();
    clearOrdering();
    lastPosition = {"startpos"};
}

// bench [depth [positions]]: the bench tool's run, with the totals as match
// runners read them.
void benchCommand(const Words& words) {
    int64_t depth = BENCH_DEFAULT_DEPTH, count = benchPositionCount();
    if ((words.size() > 1 && !readNumber(words[1], 2, MAX_ITERATION_DEPTH, depth)) ||
        (words.size() > 2 && !readNumber(words[2], 1, benchPositionCount(), count))) {
        send("info string bench [depth [positions]]: a depth from 2 to %d, 1 to %d positions", MAX_ITERATION_DEPTH,
             benchPositionCount());
        return;
    }
    BenchTotal total;
    runBench(int(depth), int(count), [](const BenchLine& line) {
        send("info string bench position %d bestmove %s nodes %llu", line.number,
             line.found ? coordinateText(line.move).c_str() : "0000", (unsigned long long)line.nodes);
    }, total);
    send("Total time (ms) : %lld", (long long)total.milliseconds);
    send("Nodes searched  : %llu", (unsigned long long)total.nodes);
    send("Nodes/second    : %llu", (unsigned long long)total.nodesPerSecond);
    std::string reason;
    setUpPosition(lastPosition, reason);   // the bench used the board
}

// Runs one line; false when the session ends. A line that the run leaves
// to be run next (after an infinite search) comes back in next.
bool runUciLine(const std::string& line, std::string& next) {
    const Words words = splitWords(line);
    if (words.empty()) return true;
    const std::string command = lowerCase(words[0]);
    if (command == "quit") return false;
    if (command == "uci") identify();
    else if (command == "isready") send("readyok");
    else if (command == "ucinewgame") newGameCommand();
    else if (command == "setoption") setOptionCommand(words);
    else if (command == "position") positionCommand(words);
    else if (command == "go") next = goCommand(words);
    else if (command == "bench") benchCommand(words);
    else if (command == "stop" || command == "ponderhit" || command == "debug" || command == "register") {
    }   // nothing to stop, no pondering, no debug output, no registration
    else send("info string unknown command '%s'", words[0].c_str());
    return true;
}

}  // namespace

int64_t clockMoveBudget(int64_t timeLeft, int64_t increment, int64_t movesToGo, int64_t overhead) {
    // A clock without a time control is shared over this many moves; with one,
    // at most over this many (and never spent beyond half of what is left).
    constexpr int64_t SUDDEN_DEATH_MOVES = 30;
    constexpr int64_t MOST_MOVES_PLANNED = 50;
    constexpr int64_t MIN_BUDGET = 1;
    const int64_t available = timeLeft - overhead;
    if (available <= MIN_BUDGET) return MIN_BUDGET;
    const int64_t moves = movesToGo > 0 ? std::min<int64_t>(movesToGo, MOST_MOVES_PLANNED) : SUDDEN_DEATH_MOVES;
    const int64_t budget = available / moves + increment * 3 / 4;
    return std::max(std::min(budget, available / 2), MIN_BUDGET);
}

void uciScore(int score, char* text, size_t size) {
    if (score > MATE_FOUND)
        std::snprintf(text, size, "mate %d", (MATE_SCORE - score + 1) / 2);
    else if (score < -MATE_FOUND)
        std::snprintf(text, size, "mate -%d", std::max((MATE_SCORE + score) / 2, 1));
    else
        std::snprintf(text, size, "cp %d", score);
}

void runUciSession() {
    searchReporter = UCI_REPORTER;
    newGameCommand();
    identify();
    std::string line, next;
    for (;;) {
        if (!next.empty()) {
            line.swap(next);
            next.clear();
        } else if (!readInputLine(line)) {
            return;
        }
        if (!runUciLine(line, next)) return;
    }
}
