#include "app/commands.h"

#include <cctype>
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/input.h"
#include "app/paths.h"
#include "app/reply.h"
#include "app/selfcheck.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/teachrun.h"
#include "app/uci.h"
#include "app/words.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "records/records.h"
#include "search/search.h"
#include "search/tt.h"

namespace {

// A command line, upper-cased and split: the command word (the first
// whitespace-delimited token), the argument text (what follows the blanks
// after the word, up to the line end; the whole line when nothing follows)
// and the first integer of the argument text (0 when there is none).
struct CommandLine {
    std::string word;
    std::string args;
    int number = 0;
};

enum CommandResult {
    DONE,       // the word was a command and is done
    NOT_HERE,   // not a command in this position: the word is read as a move
    END_LOOP,   // the loop ends (QUIT)
};

// One entry of the command table: the word, its handler and its help line
// (nullptr for the words the help does not show).
struct Command {
    const char* word;
    CommandResult (*run)(const CommandLine&);
    const char* help;
};

constexpr size_t LINE_PIECE = 254;   // a longer line is read as several command lines
constexpr int TEXT_SIZE = 256;

// Splits a line into its command word and argument text. When nothing
// follows the word, the argument text is the whole line as read.
void splitLine(const char* line, std::string& word, std::string& args) {
    const std::string_view text(line);
    size_t at = 0;
    word = nextWord(text, at);
    while (at < text.size() && isBlank(text[at])) ++at;
    if (word.empty() || at == text.size()) {
        args = line;
        return;
    }
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    while (end > at && text[end - 1] == '\r') --end;   // a CR LF line end
    args = text.substr(at, end - at);
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

// Force mode (xboard's FORCE): the engine plays neither colour, and the
// moves it is sent are played without a reply until GO, which makes it play
// the side to move. NEW leaves force mode and gives the engine back the
// colour WHITE or BLACK gave it (BLACK at first), as if GO had not changed it.
bool forceMode = false;
int givenColour = BLACK;

// A word that is no command in this position: a move typed by the user.
void typedMove(const std::string& word) {
    Move move = 0;
    if (!parseMove(word.c_str(), move) || gameRecord.count >= GAME_CAPACITY) {
        std::fprintf(stderr, "# error: %s\n", word.c_str());
        return;
    }
    verifyMoveGeneration();
    playMove(move);
    if (xboardMode && !forceMode && board.sideToMove == engineColour) engineReply();
}

// The command handlers, one per word. A handler that does not take its word
// in the present position (BACK with nothing to take back, NEXT with nothing
// to replay) answers NOT_HERE, and the word is read as a typed move.

CommandResult goCommand(const CommandLine&) {
    if (xboardMode && forceMode) {
        forceMode = false;
        engineColour = board.sideToMove;
    }
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
    forceMode = false;
    engineColour = givenColour;
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

// An xboard word only: at the console it is read as move text, as before.
CommandResult forceCommand(const CommandLine&) {
    if (!xboardMode) return NOT_HERE;
    forceMode = true;
    return DONE;
}

CommandResult xboardCommand(const CommandLine&) {
    xboardMode = 1;
    std::signal(SIGINT, SIG_IGN);   // the interface interrupts its engine before every move
    return DONE;
}

CommandResult whiteCommand(const CommandLine&) {
    engineColour = givenColour = WHITE;
    return DONE;
}

CommandResult blackCommand(const CommandLine&) {
    engineColour = givenColour = BLACK;
    return DONE;
}

CommandResult timeCommand(const CommandLine& command) {
    reportTime(xboardClock, firstInteger(std::string(leadingWord(command.args)).c_str()));
    return DONE;
}

CommandResult ignoredCommand(const CommandLine&) { return DONE; }

CommandResult protoverCommand(const CommandLine&) {
    std::fputs("feature done=1\n", stdout);
    std::fflush(stdout);
    return DONE;
}

CommandResult teachCommand(const CommandLine& command) {
    const std::string name(leadingWord(command.args));
    if (!teachFromFile(joinPath(name).c_str(), joinPath("teach.dat").c_str()))
        std::fprintf(stderr, "#error arg: %s\n", name.c_str());
    return DONE;
}

CommandResult minTimeCommand(const CommandLine& command) {
    if (command.number > 0) setTimeLimits(command.number, settings.maxTime, settings.minDepth);
    return DONE;
}

CommandResult maxTimeCommand(const CommandLine& command) {
    if (command.number > 0) setTimeLimits(settings.minTime, command.number, settings.minDepth);
    return DONE;
}

CommandResult minDepthCommand(const CommandLine& command) {
    if (command.number > 0) setTimeLimits(settings.minTime, settings.maxTime, command.number);
    return DONE;
}

CommandResult getTimeLimitCommand(const CommandLine&) {
    std::printf("# MIN_TIME: %d; MAX_TIME: %d; MIN_DEPTH: %d\n", settings.minTime, settings.maxTime,
                settings.minDepth);
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

template <bool Settings::*field, bool value>
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
    {"FORCE", forceCommand, nullptr},
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
    {"USELIB", switchCommand<&Settings::useBook, true>, nullptr},
    {"NOTLIB", switchCommand<&Settings::useBook, false>, nullptr},
    {"USETEACH", switchCommand<&Settings::useTeach, true>, nullptr},
    {"NOTTEACH", switchCommand<&Settings::useTeach, false>, nullptr},
    {"SCORE", ignoredCommand, nullptr},
    {"UCI", uciCommand, nullptr},
};

// Help lines around the table's: the typed move first, the prompt last.
const char* const HELP_HEADER[] = {"# help:\n", "# e2e4 - move sample\n"};
const char* const HELP_FOOTER[] = {"# ...\n", "# ENTER YOUR MOVE:\n"};

}  // namespace

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
