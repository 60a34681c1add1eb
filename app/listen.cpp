#include "app/listen.h"

#include "app/input.h"
#include "app/words.h"

const HeardWord* heardWord(HeardWords table, std::string_view word) {
    for (const HeardWord& entry : table)
        if (sameWord(word, entry.word)) return &entry;
    return nullptr;
}

const HeardWord* listenWhileThinking(HeardWords table, bool everyLineNew) {
    const int lines = pollInput();
    int complete = lines - (inputEnded() ? 1 : 0);
    for (int i = 0; i < complete; ++i) {
        const HeardWord* entry = heardWord(table, leadingWord(waitingLine(i)));
        if (!entry) continue;
        switch (entry->action) {
        case ANSWERED:
        case STOPS:
            if (entry->answer) entry->answer();
            dropWaitingLine(i);   // answered here: not run again by the loop
            if (entry->action == STOPS) return entry;
            --i;
            --complete;
            break;
        case STOPS_IF_NEW:
            if (everyLineNew || sentWhileThinking(i)) return entry;
            break;
        case STOPS_WAITING:
            return entry;
        }
    }
    return nullptr;
}
