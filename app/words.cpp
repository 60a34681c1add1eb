#include "app/words.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string_view nextWord(std::string_view text, size_t& at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    const size_t begin = at;
    while (at < text.size() && !isBlank(text[at])) ++at;
    return text.substr(begin, at - begin);
}

std::string_view leadingWord(std::string_view line) {
    size_t at = 0;
    return nextWord(line, at);
}

bool sameWord(std::string_view text, const char* word) {
    size_t i = 0;
    for (; word[i]; ++i)
        if (i >= text.size() || std::toupper(static_cast<unsigned char>(text[i])) != word[i]) return false;
    return i == text.size() || isBlank(text[i]);
}

Words splitWords(const std::string& line) {
    Words words;
    size_t at = 0;
    for (std::string_view word; !(word = nextWord(line, at)).empty();) words.emplace_back(word);
    return words;
}

std::string joinWords(const Words& words, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to && i < words.size(); ++i) text += (text.empty() ? "" : " ") + words[i];
    return text;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool readNumber(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(text.c_str(), &end, 10);
    if (*end != 0 || errno == ERANGE || n < low || n > high) return false;
    value = n;
    return true;
}

int firstInteger(const char* text) {
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text) return 0;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}
