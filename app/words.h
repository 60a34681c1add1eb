// The words of a command line, read the same way by the console, xboard and
// UCI: a word is a run of bytes between blanks (the C library's white space).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

bool isBlank(char c);

// The word at or after `at` (blanks before it skipped); `at` moves past it.
// Empty when only blanks are left.
std::string_view nextWord(std::string_view text, size_t& at);

// The first word of a line, leading blanks skipped.
std::string_view leadingWord(std::string_view line);

// Whether the text begins with the word (given in upper case), compared
// without regard to case and followed by a blank or nothing.
bool sameWord(std::string_view text, const char* word);

using Words = std::vector<std::string>;
Words splitWords(const std::string& line);
// Words from..to-1 joined by single spaces.
std::string joinWords(const Words& words, size_t from, size_t to);
std::string lowerCase(std::string_view text);

// A whole number in [low, high]; false for any other text.
bool readNumber(const std::string& text, int64_t low, int64_t high, int64_t& value);

// First integer of the text, 0 when there is none; clamped to the int range.
int firstInteger(const char* text);
