// Cleaning and splitting of book and teaching lines.
#include <cctype>
#include <cstring>

#include "knowledge/knowledge.h"

namespace {

// Upper-case piece letters, separators, annotations and the line end. A
// carriage return counts as part of the line end, so files with CR LF line
// ends read like the others.
bool isDropped(char c) { return c != 0 && std::strchr("NBRQK-:!xX?\n\r", c) != nullptr; }

}  // namespace

void cleanLine(char* line) {
    char* out = line;
    for (const char* in = line; *in; ++in) {
        const char c = *in;
        const bool castlingDash = c == '-' && (in[1] == 'O' || in[1] == 'o');
        if (!castlingDash && isDropped(c)) continue;
        *out++ = char(std::toupper(static_cast<unsigned char>(c)));
    }
    *out = 0;
}

char* nextMoveText(char*& cursor) {
    while (*cursor == ' ') ++cursor;
    if (*cursor == 0) return nullptr;
    char* token = cursor;
    while (*cursor && *cursor != ' ') ++cursor;
    if (*cursor) *cursor++ = 0;
    return token;
}
