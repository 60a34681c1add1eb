// UCI options: the table the handshake lists and "setoption" sets.
#include <string>

#include "app/settings.h"
#include "app/uci.h"
#include "app/uciparts.h"
#include "search/picker.h"
#include "search/play.h"
#include "search/search.h"
#include "search/tt.h"

namespace {

constexpr int MEGABYTE_BITS = 20;
// Both tables' bytes at 2^bits entries each, in megabytes: 2^(bits + 5 - 20).
constexpr int SLOT_BYTES_BITS = 5;   // two tables of 16-byte slots
static_assert(2 * sizeof(TTSlot) == 1 << SLOT_BYTES_BITS, "a slot in each table");
constexpr int hashMegabytes(int bits) { return 1 << (bits + SLOT_BYTES_BITS - MEGABYTE_BITS); }

constexpr int DEFAULT_MOVE_OVERHEAD = 30;   // milliseconds the interface and the pipes take per move
constexpr int MAX_MOVE_OVERHEAD = 5000;

enum OptionType { SPIN, CHECK, BUTTON };

struct Option {
    const char* name;
    OptionType type;
    int defaultValue;   // spin and check (0 / 1)
    int min, max;       // spin
    void (*apply)(int value);
};

int hashSetting = hashMegabytes(TT_BITS);

// Hash sizes the table of the search that "go" runs; the other keeps its
// smallest size (the play search's is given back).
void setHash(int megabytes) {
    hashSetting = megabytes;
    if (selectiveSearch) {
        if (!playTableResize(megabytes))
            send("info string Hash: %d MB cannot be had, the table keeps %d MB", megabytes, playTableMegabytes());
        return;
    }
    int bits = TT_BITS;
    while (bits < TT_MAX_BITS && hashMegabytes(bits + 1) <= megabytes) ++bits;
    if (!ttResize(bits))
        send("info string Hash: %d MB cannot be had, the table keeps %d MB", hashMegabytes(bits),
             int(((ttIndexMask + 1) * 2 * sizeof(TTSlot)) >> MEGABYTE_BITS));
}

void clearHash(int) {
    ttClear();
    clearOrdering();
    playNewGame();
}

void setSelectiveSearch(int on) {
    if (bool(on) == selectiveSearch) return;
    selectiveSearch = on;
    if (on) ttResize(TT_BITS);
    else playTableRelease();
    setHash(hashSetting);
}

void setOwnBook(int on) { settings.useBook = on != 0; }

void setLearning(int on) {
    settings.useTeach = on != 0;
    settings.recordTeach = on != 0;
}

void setMoveOverhead(int milliseconds) { moveOverhead = milliseconds; }

void setMultiPv(int lines) { multiPv = lines; }

void ignoreValue(int) {}

const Option options[] = {
    {"Hash", SPIN, hashMegabytes(TT_BITS), hashMegabytes(TT_BITS), hashMegabytes(TT_MAX_BITS), setHash},
    {"Clear Hash", BUTTON, 0, 0, 0, clearHash},
    {"Threads", SPIN, 1, 1, PLAY_MAX_THREADS, playSetThreads},
    {"OwnBook", CHECK, 0, 0, 1, setOwnBook},   // interfaces and tournaments bring their own openings
    {"Learning", CHECK, 1, 0, 1, setLearning},
    {"Move Overhead", SPIN, DEFAULT_MOVE_OVERHEAD, 0, MAX_MOVE_OVERHEAD, setMoveOverhead},
    {"SelectiveSearch", CHECK, 1, 0, 1, setSelectiveSearch},
    {"MultiPV", SPIN, 1, 1, PLAY_MAX_LINES, setMultiPv},
    {"Ponder", CHECK, 0, 0, 1, ignoreValue},   // the interface decides when to send "go ponder"
};

}  // namespace

int moveOverhead = DEFAULT_MOVE_OVERHEAD;
bool selectiveSearch = true;

void applyOptionDefaults() {
    for (const Option& o : options)
        if (o.type != BUTTON) o.apply(o.defaultValue);
}

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
