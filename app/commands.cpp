#include "app/commands.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "app/input.h"
#include "app/notation.h"
#include "app/searchlines.h"
#include "app/settings.h"
#include "app/termination.h"
#include "app/teachrun.h"
#include "app/uci.h"
#include "board/attacks.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/picker.h"
#include "board/random.h"
#include "knowledge/knowledge.h"
#include "knowledge/safefile.h"
#include "records/records.h"
#include "search/search.h"
#include "search/tt.h"

std::string programDir;
int xboardMode = 0;
int engineColour = BLACK;

namespace {

constexpr size_t LINE_PIECE = 254;   // a longer line is read as several command lines
constexpr int TEXT_SIZE = 256;

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

// Set while the engine thinks in xboard mode when the interface has ended
// the game (or the session): the search stops and its move is not played.
bool searchAbandoned = false;

bool endsTheGame(std::string_view word, bool sentWhileThinking) {
    if (sameWord(word, "RESULT") || sameWord(word, "FORCE")) return true;
    // NEW and QUIT are commands of their own that a piped session may hold
    // after a move: they wait for the move unless they came while thinking.
    return sentWhileThinking && (sameWord(word, "NEW") || sameWord(word, "QUIT"));
}

// Looked at between nodes while the engine thinks in xboard mode. A waiting
// line that ends the game (result, force, and new or quit sent while the
// engine thinks) stops the search and cancels its move; "?" stops it and
// plays the best move found so far. Every line except "?" stays waiting, in
// order, for the command loop.
bool xboardInputWaiting() {
    const int lines = pollInput();
    for (int i = 0; i < lines; ++i) {
        const std::string_view word = leadingWord(waitingLine(i));
        if (endsTheGame(word, sentWhileThinking(i))) {
            searchAbandoned = true;
            return true;
        }
        if (word == "?") {
            dropWaitingLine(i);   // answered by this move, not read again as move text
            return true;
        }
    }
    return false;
}

void engineReply() {
    // Counted before the time-limit line: an interface may answer that line.
    markThinkingStart();
    allotMoveTime();
    searchLimits = SearchLimits{allottedMilliseconds, 0, xboardInputWaiting, false};
    playEngineMove();
    searchLimits = SearchLimits{};
    chargeMoveTime();
}

// A word that is no command in this position: a move typed by the user.
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

// The command handlers, one per word. A handler that does not take its word
// in the present position (BACK with nothing to take back, NEXT with nothing
// to replay) answers NOT_HERE, and the word is read as a typed move.

CommandResult goCommand(const CommandLine&) {
    if (!xboardMode) {
        playEngineMove();
    } else if (board.sideToMove == engineColour) {
        engineReply();
    }
    return DONE;
}

CommandResult backCommand(const CommandLine&) { return takeBackMove() ? DONE : NOT_HERE; }
CommandResult nextCommand(const CommandLine&) { return replayMove() ? DONE : NOT_HERE; }

CommandResult newCommand(const CommandLine&) {
    startGame();
    return DONE;
}

CommandResult saveCommand(const CommandLine&) {
    const std::string path = joinPath("lastgame.dat");
    if (!saveGame(path.c_str())) reportSaveFailure(path);
    return DONE;
}

CommandResult loadCommand(const CommandLine&) {
    const bool loaded = loadGame(joinPath("lastgame.dat").c_str());
    ttClear();   // the loaded game, or the new one a failed load leaves, starts afresh
    if (!loaded) std::fputs(" # error: <load>\n", stderr);
    return DONE;
}

CommandResult quitCommand(const CommandLine&) { return END_LOOP; }

CommandResult xboardCommand(const CommandLine&) {
    xboardMode = 1;
    std::signal(SIGINT, SIG_IGN);   // the interface interrupts its engine before every move
    return DONE;
}

CommandResult whiteCommand(const CommandLine&) {
    engineColour = WHITE;
    return DONE;
}

CommandResult blackCommand(const CommandLine&) {
    engineColour = BLACK;
    return DONE;
}

CommandResult timeCommand(const CommandLine& command) {
    setReportedTime(firstInteger(firstToken(command.args.c_str()).c_str()));
    return DONE;
}

CommandResult ignoredCommand(const CommandLine&) { return DONE; }

CommandResult protoverCommand(const CommandLine&) {
    std::fputs("feature done=1\n", stdout);
    std::fflush(stdout);
    return DONE;
}

CommandResult teachCommand(const CommandLine& command) {
    const std::string name = firstToken(command.args.c_str());
    if (!teachFromFile(joinPath(name).c_str(), joinPath("teach.dat").c_str()))
        std::fprintf(stderr, "#error arg: %s\n", name.c_str());
    return DONE;
}

CommandResult minTimeCommand(const CommandLine& command) {
    if (command.number > 0) setTimeLimits(command.number, settings.MAX_TIME, settings.MIN_DEPTH);
    return DONE;
}

CommandResult maxTimeCommand(const CommandLine& command) {
    if (command.number > 0) setTimeLimits(settings.MIN_TIME, command.number, settings.MIN_DEPTH);
    return DONE;
}

CommandResult minDepthCommand(const CommandLine& command) {
    if (command.number > 0) setTimeLimits(settings.MIN_TIME, settings.MAX_TIME, command.number);
    return DONE;
}

CommandResult getTimeLimitCommand(const CommandLine&) {
    std::printf("# MIN_TIME: %d; MAX_TIME: %d; MIN_DEPTH: %d\n", settings.MIN_TIME, settings.MAX_TIME,
                settings.MIN_DEPTH);
    std::fflush(stdout);
    return DONE;
}

CommandResult positionCommand(const CommandLine&) {
    writePosition(stdout, true);
    std::fflush(stdout);
    return DONE;
}

// The rest of the process speaks UCI; the engine ends as at QUIT.
CommandResult uciCommand(const CommandLine&) {
    runUciSession();
    return END_LOOP;
}

template <int Settings::*field, int value>
CommandResult switchCommand(const CommandLine&) {
    settings.*field = value;
    return DONE;
}

// Words are compared whole, so no word can shadow another and the table is
// kept in the order of the help text; the words without a help line follow.
const Command commandTable[] = {
    {"GO", goCommand, "# go   - reply machin\n"},
    {"BACK", backCommand, "# back - back last move\n"},
    {"NEXT", nextCommand, "# next - ...\n"},
    {"NEW", newCommand, "# new  - new game\n"},
    {"SAVE", saveCommand, "# save - save game\n"},
    {"LOAD", loadCommand, "# load - load last game\n"},
    {"QUIT", quitCommand, "# quit - exit\n"},
    {"XBOARD", xboardCommand, "# xboard - simple game under WinBoard\n"},
    {"WHITE", whiteCommand, nullptr},
    {"BLACK", blackCommand, nullptr},
    {"TIME", timeCommand, nullptr},
    {"OTIM", ignoredCommand, nullptr},
    {"PROTOVER", protoverCommand, nullptr},
    {"TEACH", teachCommand, nullptr},
    {"MIN_TIME", minTimeCommand, nullptr},
    {"MAX_TIME", maxTimeCommand, nullptr},
    {"MIN_DEPTH", minDepthCommand, nullptr},
    {"GET_TIME_LIMIT", getTimeLimitCommand, nullptr},
    {"POSITION", positionCommand, nullptr},
    {"USELIB", switchCommand<&Settings::USELIB, 1>, nullptr},
    {"NOTLIB", switchCommand<&Settings::USELIB, 0>, nullptr},
    {"USETEACH", switchCommand<&Settings::USETEACH, 1>, nullptr},
    {"NOTTEACH", switchCommand<&Settings::USETEACH, 0>, nullptr},
    {"SCORE", ignoredCommand, nullptr},
    {"UCI", uciCommand, nullptr},
};

// Help lines around the table's: the typed move first, the prompt last.
const char* const HELP_HEADER[] = {"# help:\n", "# e2e4 - move sample\n"};
const char* const HELP_FOOTER[] = {"# ...\n", "# ENTER YOUR MOVE:\n"};

}  // namespace

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
    if (searchAbandoned) {   // the game this search was for is over
        searchAbandoned = false;
        return;
    }
    if (!found || move == 0) {
        std::fputs("# error: not moves found \n", stderr);
        // The interface waits for a move that the full game record cannot
        // take: the engine claims the draw in the protocol instead.
        if (xboardMode && history.count >= GAME_CAPACITY) {
            std::fputs("1/2-1/2 {game record full}\n", stdout);
            std::fflush(stdout);
        }
        return;
    }
    char text[8];
    formatMove(move, text);
    std::printf("move %s\n", text);
    playMove(move);
    std::fflush(stdout);
}

// Reads the line, upper-cased, into its command word, its argument text and
// the first integer of the argument text.
CommandLine splitCommandLine(const char* rawLine) {
    char line[TEXT_SIZE];
    std::snprintf(line, sizeof(line), "%s", rawLine);
    for (char* p = line; *p; ++p) *p = char(std::toupper(static_cast<unsigned char>(*p)));
    CommandLine command;
    splitLine(line, command.word, command.args);
    command.number = firstInteger(command.args.c_str());
    return command;
}

bool executeCommandLine(const char* rawLine) {
    const CommandLine command = splitCommandLine(rawLine);
    for (const Command& entry : commandTable) {
        if (command.word != entry.word) continue;
        const CommandResult result = entry.run(command);
        if (result == END_LOOP) return false;
        if (result == DONE) return true;
        break;   // not a command in this position: read the word as a move
    }
    typedMove(command.word);
    return true;
}

int runEngine(int argc, char** argv) {
    programDir = programDirectory(argc > 0 ? argv[0] : nullptr);
    installTerminationHandlers();
    searchReporter = PRINTING_REPORTER;
    std::fprintf(stderr, "# Rotor chess engine, version %s\n", ROTOR_VERSION);
    startGame();
    // Temporary files that an engine killed while saving left beside the data.
    removeStaleTempFiles(joinPath("teach.dat").c_str());
    removeStaleTempFiles(joinPath("lastgame.dat").c_str());
    std::fputs("#load teach-table: ", stderr);
    std::fprintf(stderr, "%s\n", loadTeachTable(joinPath("teach.dat").c_str()) ? "ok" : "error");
    std::fputs("#load book: ", stderr);
    std::fprintf(stderr, "%s\n", loadBook(joinPath("book.dat").c_str()) ? "ok" : "error");
    seedRandom(uint32_t(std::time(nullptr)));
    printHelp(stderr);

    runCommandLoop(stdin);
    const std::string teachPath = joinPath("teach.dat");
    if (teachRecording && !saveTeachTable(teachPath.c_str())) reportSaveFailure(teachPath);
    return 0;
}

void printHelp(FILE* out) {
    for (const char* line : HELP_HEADER) std::fputs(line, out);
    for (const Command& entry : commandTable)
        if (entry.help) std::fputs(entry.help, out);
    for (const char* line : HELP_FOOTER) std::fputs(line, out);
}

void runCommandLoop(FILE* in) {
    setInputSource(in);
    std::string piece;
    while (readInputPiece(piece, LINE_PIECE)) {
        const bool goOn = executeCommandLine(piece.c_str());
        std::fflush(stdout);
        if (!goOn) break;
    }
}
