// Command input, read through one buffer of the engine's own.
//
// The command loop and the search's look at waiting input (between nodes, in
// the protocols that listen while the engine thinks) share this buffer, so no
// line read ahead is ever lost in a stdio buffer. Lines are bytes up to and
// including a newline; the last line of the input may lack it.
#pragma once
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// Where the lines come from: standard input unless a caller (a test) gives
// another stream. Setting a source drops whatever was buffered.
void setInputSource(FILE* source);

// The next piece of input: at most maxLength bytes, ending after the first
// newline if one comes sooner (what fgets reads into a buffer one byte
// longer). False at end of input.
bool readInputPiece(std::string& piece, size_t maxLength);

// The next whole line without its line end (newline, and a carriage return
// before it). A line longer than INPUT_LINE_LIMIT is cut there and the rest of
// it skipped. False at end of input.
constexpr size_t INPUT_LINE_LIMIT = 65536;
bool readInputLine(std::string& line);

// Reads, without blocking, whatever the source has ready. Returns how many
// complete lines are now waiting in the buffer; end of input counts as one
// more waiting "line" (an empty one).
int pollInput();

// The i-th complete waiting line (0 = the next to be read), without its line
// end; empty past the last one. A view into the buffer: valid until the
// buffer changes.
std::string_view waitingLine(int i);

// Whether the source has reported its end (lines may still be buffered).
bool inputEnded();

// Removes the i-th complete waiting line from the buffer: used for lines a
// protocol answers at once while it thinks.
void dropWaitingLine(int i);

// Notes the complete lines waiting now (end of input not counted) as sent
// before the engine began to think, to tell them (a piped session) from the
// lines sent while it thinks. Dropping a waiting line keeps the note right.
void markThinkingStart();
// Whether the i-th complete waiting line came after markThinkingStart.
bool sentWhileThinking(int i);

// Set from a signal handler: a read interrupted by a signal then ends the
// input instead of being retried.
extern volatile std::sig_atomic_t inputInterrupted;
