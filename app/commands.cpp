#include "app/commands.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/notation.h"
#include "app/searchlines.h"
#include "app/settings.h"
#include "app/teachrun.h"
#include "board/attacks.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/picker.h"
#include "board/random.h"
#include "knowledge/knowledge.h"
#include "records/records.h"
#include "search/search.h"
#include "search/tt.h"

std::string programDir;
int xboardMode = 0;
int engineColour = BLACK;

namespace {

constexpr int LINE_PIECE = 255;   // a line is read in pieces of at most 254 characters
constexpr int TEXT_SIZE = 256;

const char* const helpLines[] = {
    "# help:\n",          "# e2e4 - move sample\n", "# go   - reply machin\n",
    "# back - back last move\n", "# next - ...\n",  "# new  - new game\n",
    "# save - save game\n",      "# load - load last game\n", "# quit - exit\n",
    "# xboard - simple game under WinBoard\n", "# ...\n", "# ENTER YOUR MOVE:\n",
};

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The first whitespace-delimited token of text.
std::string firstToken(const char* text) {
    while (*text && isBlank(*text)) ++text;
    const char* end = text;
    while (*end && !isBlank(*end)) ++end;
    return std::string(text, end);
}

// First integer of the text, 0 when there is none; clamped to the int range.
int firstInteger(const char* text) {
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text) return 0;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

// Splits a line into its command word and argument text. When nothing
// follows the word, the argument text is the whole line as read.
void splitLine(const char* line, std::string& word, std::string& args) {
    const char* p = line;
    while (*p && isBlank(*p)) ++p;
    const char* wordEnd = p;
    while (*wordEnd && !isBlank(*wordEnd)) ++wordEnd;
    word.assign(p, wordEnd);
    const char* rest = wordEnd;
    while (*rest && isBlank(*rest)) ++rest;
    if (word.empty() || *rest == 0) {
        args = line;
        return;
    }
    const char* restEnd = rest;
    while (*restEnd && *restEnd != '\n') ++restEnd;
    while (restEnd > rest && restEnd[-1] == '\r') --restEnd;   // a CR LF line end
    args.assign(rest, restEnd);
}

unsigned boardChecksum() {
    unsigned sum = 0;
    auto add = [&sum](const void* data, size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) sum += bytes[i];
    };
    add(board.squares, sizeof(board.squares));
    add(board.pieceBits, sizeof(board.pieceBits));
    add(board.colourBits, sizeof(board.colourBits));
    add(&rankLines.occupied, sizeof(Bitboard));
    add(&fileLines.occupied, sizeof(Bitboard));
    add(&diagA1H8Lines.occupied, sizeof(Bitboard));
    add(&diagA8H1Lines.occupied, sizeof(Bitboard));
    return sum;
}

void engineReply() {
    allotMoveTime();
    playEngineMove();
    chargeMoveTime();
}

void typedMove(const std::string& word) {
    Move move = 0;
    if (!parseMove(word.c_str(), move) || history.count >= GAME_CAPACITY) {
        std::fprintf(stderr, "# error: %s\n", word.c_str());
        return;
    }
    verifyMoveGeneration();
    playMove(move);
    if (xboardMode && board.sideToMove == engineColour) engineReply();
}

void goCommand() {
    if (!xboardMode) {
        playEngineMove();
    } else if (board.sideToMove == engineColour) {
        engineReply();
    }
}

void teachCommand(const std::string& args) {
    std::string name = firstToken(args.c_str());
    if (!teachFromFile(joinPath(name).c_str(), joinPath("teach.dat").c_str()))
        std::fprintf(stderr, "#error arg: %s\n", name.c_str());
}

// A save that fails keeps the old file; the user is told why.
void reportSaveFailure(const std::string& path) {
    std::fprintf(stderr, "# error: %s not saved: %s\n", path.c_str(), std::strerror(errno));
}

void saveCommand() {
    const std::string path = joinPath("lastgame.dat");
    if (!saveGame(path.c_str())) reportSaveFailure(path);
}

void loadCommand() {
    const bool loaded = loadGame(joinPath("lastgame.dat").c_str());
    ttClear();   // the loaded game, or the new one a failed load leaves, starts afresh
    if (!loaded) std::fputs(" # error: <load>\n", stderr);
}

}  // namespace

std::string programDirectory(const char* programPath) {
    std::string path = programPath ? programPath : "";
    size_t cut = path.rfind('/');
    if (cut == std::string::npos) cut = path.rfind('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string joinPath(const std::string& name) { return programDir + name; }

void startGame() {
    newGame();
    ttClear();
}

void verifyMoveGeneration() {
    generateAllMoves();
    const int generated = plyEnd[board.ply] - plyEnd[board.ply - 1];
    const unsigned checksum = boardChecksum();
    MovePicker picker;
    resetPicker(picker);
    int stepped = 0;
    Move move = 0;
    while (nextMove(picker, move, -100000, 100000)) {
        ++stepped;
        assertConsistent(isPseudoLegal(move));
        makeMove(move);
        unmakeMove(move);
        assertConsistent(boardChecksum() == checksum);
    }
    assertConsistent(stepped == generated);
}

void playEngineMove() {
    // A full game record cannot take the engine's move: answer as with no move,
    // rather than announce a move that is then not played.
    Move move = 0;
    bool found = false;
    if (history.count < GAME_CAPACITY) {
        // The search borrows the history slots past the current move; keep the
        // taken-back moves there so that NEXT still replays them if no move is played.
        const int tail = history.recorded - history.count;
        Move savedMoves[HISTORY_SIZE];
        HashKey savedKeys[HISTORY_SIZE];
        std::memcpy(savedMoves, history.historyMoves + history.count, sizeof(Move) * tail);
        std::memcpy(savedKeys, history.historyKeys + history.count, sizeof(HashKey) * tail);
        found = searchRoot(&move);
        std::memcpy(history.historyMoves + history.count, savedMoves, sizeof(Move) * tail);
        std::memcpy(history.historyKeys + history.count, savedKeys, sizeof(HashKey) * tail);
    }
    if (!found || move == 0) {
        std::fputs("# error: not moves found \n", stderr);
        return;
    }
    char text[8];
    formatMove(move, text);
    std::printf("move %s\n", text);
    playMove(move);
    std::fflush(stdout);
}

bool executeCommandLine(const char* rawLine) {
    char line[TEXT_SIZE];
    std::snprintf(line, sizeof(line), "%s", rawLine);
    for (char* p = line; *p; ++p) *p = char(std::toupper(static_cast<unsigned char>(*p)));
    std::string word, args;
    splitLine(line, word, args);
    const int n = firstInteger(args.c_str());

    if (word == "XBOARD") {
        xboardMode = 1;
        std::signal(SIGINT, SIG_IGN);   // the interface interrupts its engine before every move
    } else if (word == "WHITE") {
        engineColour = WHITE;
    } else if (word == "BLACK") {
        engineColour = BLACK;
    } else if (word == "TIME") {
        const int hundredths = firstInteger(firstToken(args.c_str()).c_str());
        if (hundredths > 0) timePool = hundredths / 100;
    } else if (word == "OTIM") {
    } else if (word == "PROTOVER") {
        std::fputs("feature done=1\n", stdout);
        std::fflush(stdout);
    } else if (word == "QUIT") {
        return false;
    } else if (word == "TEACH") {
        teachCommand(args);
    } else if (word == "MIN_TIME") {
        if (n > 0) setTimeLimits(n, settings.MAX_TIME, settings.MIN_DEPTH);
    } else if (word == "MAX_TIME") {
        if (n > 0) setTimeLimits(settings.MIN_TIME, n, settings.MIN_DEPTH);
    } else if (word == "MIN_DEPTH") {
        if (n > 0) setTimeLimits(settings.MIN_TIME, settings.MAX_TIME, n);
    } else if (word == "GET_TIME_LIMIT") {
        std::printf("# MIN_TIME: %d; MAX_TIME: %d; MIN_DEPTH: %d\n", settings.MIN_TIME, settings.MAX_TIME,
                    settings.MIN_DEPTH);
        std::fflush(stdout);
    } else if (word == "POSITION") {
        writePosition(stdout, true);
        std::fflush(stdout);
    } else if (word == "USELIB") {
        settings.USELIB = 1;
    } else if (word == "NOTLIB") {
        settings.USELIB = 0;
    } else if (word == "USETEACH") {
        settings.USETEACH = 1;
    } else if (word == "NOTTEACH") {
        settings.USETEACH = 0;
    } else if (word == "SCORE") {
    } else if (word == "NEW") {
        startGame();
    } else if (word == "SAVE") {
        saveCommand();
    } else if (word == "LOAD") {
        loadCommand();
    } else if (word == "BACK" && takeBackMove()) {
    } else if (word == "NEXT" && replayMove()) {
    } else if (word == "GO") {
        goCommand();
    } else {
        typedMove(word);
    }
    return true;
}

int runEngine(int argc, char** argv) {
    programDir = programDirectory(argc > 0 ? argv[0] : nullptr);
    searchReporter = PRINTING_REPORTER;
    std::fputs("# Rotor chess engine, version 1.00\n", stderr);
    startGame();
    std::fputs("#load teach-table: ", stderr);
    std::fprintf(stderr, "%s\n", loadTeachTable(joinPath("teach.dat").c_str()) ? "ok" : "error");
    std::fputs("#load book: ", stderr);
    std::fprintf(stderr, "%s\n", loadBook(joinPath("book.dat").c_str()) ? "ok" : "error");
    seedRandom(uint32_t(std::time(nullptr)));
    for (const char* line : helpLines) std::fputs(line, stderr);

    runCommandLoop(stdin);
    const std::string teachPath = joinPath("teach.dat");
    if (!saveTeachTable(teachPath.c_str())) reportSaveFailure(teachPath);
    return 0;
}

void runCommandLoop(FILE* in) {
    char line[LINE_PIECE];
    while (std::fgets(line, sizeof(line), in)) {
        const bool goOn = executeCommandLine(line);
        std::fflush(stdout);
        if (!goOn) break;
    }
}
