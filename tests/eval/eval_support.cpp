#include "eval_support.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

std::string mirroredFen(const std::string& fen) {
    std::istringstream in(fen);
    std::string placement, side = "w", castling = "-", enPassant = "-";
    in >> placement >> side >> castling >> enPassant;
    std::vector<std::string> rows;
    std::stringstream rowText(placement);
    for (std::string row; std::getline(rowText, row, '/');) rows.push_back(row);
    std::reverse(rows.begin(), rows.end());
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (i) out += '/';
        for (char c : rows[i])
            out += std::isupper(static_cast<unsigned char>(c)) ? char(std::tolower(c)) : char(std::toupper(c));
    }
    std::string swappedCastling;
    for (char c : castling)
        swappedCastling += c == '-' ? c : std::isupper(static_cast<unsigned char>(c)) ? char(std::tolower(c))
                                                                                    : char(std::toupper(c));
    if (enPassant != "-") enPassant[1] = char('1' + '8' - enPassant[1]);
    return out + (side == "w" ? " b " : " w ") + swappedCastling + " " + enPassant;
}
