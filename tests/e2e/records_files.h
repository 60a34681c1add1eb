// Texts for the game-file tests: the example game file, position blocks put
// together from piece lists, and the remarks that follow the help text.
#pragma once
#include <string>

#include "support/process.h"

namespace records_files {

// Standard error after the help text.
inline std::string remarks(const RunResult& r) {
    const std::string end = "# ENTER YOUR MOVE:\n";
    const size_t at = r.err.find(end);
    return at == std::string::npos ? r.err : r.err.substr(at + end.size());
}

inline const std::string castlingOff =
    "   CASTLING: OFF\n   KING_MOVED: OFF\n   LEFT_ROOK_MOVED: OFF\n   RIGHT_ROOK_MOVED: OFF\n";

inline const std::string initialBlock =
    "POSITION:\n WHITE:\n  PAWN: A2,B2,C2,D2,E2,F2,G2,H2,\n  KNIGHT: B1,G1,\n  BISHOP: C1,F1,\n"
    "  ROOK: A1,H1,\n  QUEEN: D1,\n  KING: E1,\n" + castlingOff +
    " BLACK:\n  PAWN: A7,B7,C7,D7,E7,F7,G7,H7,\n  KNIGHT: B8,G8,\n  BISHOP: C8,F8,\n"
    "  ROOK: A8,H8,\n  QUEEN: D8,\n  KING: E8,\n" + castlingOff + " SIDE: WHITE\n";

// The game file after e2-e4, e7-e5, g1-f3 from the initial position.
inline const std::string exampleFile =
    "# last game\n" + initialBlock + "   1. e2-e4       e7-e5       \n   2. Ng1-f3      \n";

// What LOAD of the example file echoes on standard output.
inline const std::string exampleEcho = "   1. E2-E4       E7-E5        \n   2. NG1-F3       \n";

// Piece lines of one colour from six square lists, PAWN to KING.
inline std::string pieceLines(const std::string& pawn, const std::string& knight, const std::string& bishop,
                              const std::string& rook, const std::string& queen, const std::string& king) {
    return "  PAWN: " + pawn + "\n  KNIGHT: " + knight + "\n  BISHOP: " + bishop + "\n  ROOK: " + rook +
           "\n  QUEEN: " + queen + "\n  KING: " + king + "\n";
}

// A position block with every castling counter of both colours as given.
inline std::string positionBlock(const std::string& whitePieces, const std::string& blackPieces,
                                 const std::string& side, const std::string& castling = castlingOff) {
    return "POSITION:\n WHITE:\n" + whitePieces + castling + " BLACK:\n" + blackPieces + castling + " SIDE: " +
           side + "\n";
}

}  // namespace records_files
