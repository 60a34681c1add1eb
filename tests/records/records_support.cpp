#include "records/records_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

FILE* streamOf(const std::string& text) {
    FILE* f = std::tmpfile();
    if (!f) std::abort();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    return f;
}

std::string writtenText(const std::function<void(FILE*)>& writer) {
    FILE* f = std::tmpfile();
    if (!f) std::abort();
    writer(f);
    std::rewind(f);
    std::string text;
    for (int c; (c = std::getc(f)) != EOF;) text.push_back(char(c));
    std::fclose(f);
    return text;
}

const char* const initialPositionText =
    "POSITION:\n"
    " WHITE:\n"
    "  PAWN: A2,B2,C2,D2,E2,F2,G2,H2,\n"
    "  KNIGHT: B1,G1,\n"
    "  BISHOP: C1,F1,\n"
    "  ROOK: A1,H1,\n"
    "  QUEEN: D1,\n"
    "  KING: E1,\n"
    "   CASTLING: OFF\n"
    "   KING_MOVED: OFF\n"
    "   LEFT_ROOK_MOVED: OFF\n"
    "   RIGHT_ROOK_MOVED: OFF\n"
    " BLACK:\n"
    "  PAWN: A7,B7,C7,D7,E7,F7,G7,H7,\n"
    "  KNIGHT: B8,G8,\n"
    "  BISHOP: C8,F8,\n"
    "  ROOK: A8,H8,\n"
    "  QUEEN: D8,\n"
    "  KING: E8,\n"
    "   CASTLING: OFF\n"
    "   KING_MOVED: OFF\n"
    "   LEFT_ROOK_MOVED: OFF\n"
    "   RIGHT_ROOK_MOVED: OFF\n"
    " SIDE: WHITE\n";

TempDir::TempDir() {
    char pattern[] = "/tmp/rotor-records-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

void TempDir::write(const std::string& name, const std::string& content) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << content;
}

std::string TempDir::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
