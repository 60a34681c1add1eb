// The look at waiting lines while the engine thinks, the same for xboard and
// UCI: each protocol gives a table of the words it listens for and what a
// waiting line that begins with one of them does to the search. Lines whose
// word is not in the table stay waiting, in order, for the command loop.
#pragma once
#include <cstddef>
#include <span>
#include <string_view>

enum HeardAction {
    ANSWERED,        // answered at once and dropped; the search goes on
    STOPS,           // stops the search and is dropped: the move answers it
    STOPS_WAITING,   // stops the search and stays waiting for the command loop
    STOPS_IF_NEW,    // as STOPS_WAITING when sent after the engine began to think
};

struct HeardWord {
    const char* word;   // upper case
    HeardAction action;
    void (*answer)();   // said at once when the line is dropped, or nullptr
};
using HeardWords = std::span<const HeardWord>;

// The entry of the table for the word, or nullptr.
const HeardWord* heardWord(HeardWords table, std::string_view word);

// Polls the input and goes through the complete waiting lines in order.
// Returns the entry of the first line that stops the search, else nullptr.
// When everyLineNew, every waiting line counts as sent while thinking.
const HeardWord* listenWhileThinking(HeardWords table, bool everyLineNew);
