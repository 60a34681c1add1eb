// The perft reference cases in tests/data/perft: positions reached by moves
// from the start (with their legal moves and counts to depth 3) and the
// standard positions (counts to depth 5).
#pragma once
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct GameCase {
    std::string fen;
    std::string legal;                 // sorted coordinate moves, blank separated
    std::vector<uint64_t> counts;      // depths 1..3
    std::string moves;                 // from the start position
};

struct StandardCase {
    std::string fen;
    std::vector<uint64_t> counts;      // depths 1..5
};

inline std::string perftDataPath(const std::string& name) {
    return std::string(ROTOR_TEST_DATA) + "/perft/" + name;
}

inline std::vector<GameCase> loadGameCases() {
    std::vector<GameCase> cases;
    std::ifstream in(perftDataPath("game-positions.txt"));
    std::string line;
    GameCase current;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("fen ", 0) == 0) {
            current = GameCase();
            current.fen = line.substr(4);
        } else if (line.rfind("legal", 0) == 0) {
            current.legal = line.size() > 6 ? line.substr(6) : "";
        } else {
            std::istringstream fields(line);
            std::string word;
            for (int d = 0; d < 3 && fields >> word; ++d) current.counts.push_back(std::stoull(word));
            fields >> word;  // "moves"
            std::getline(fields, current.moves);
            cases.push_back(current);
        }
    }
    return cases;
}

inline std::vector<StandardCase> loadStandardCases() {
    std::vector<StandardCase> cases;
    std::ifstream in(perftDataPath("standard-positions.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        StandardCase c;
        std::size_t cut = line.find(';');
        c.fen = line.substr(0, cut);
        while (cut != std::string::npos) {
            const std::size_t next = line.find(';', cut + 1);
            std::istringstream field(line.substr(cut + 1, next - cut - 1));
            std::string depth;
            uint64_t count = 0;
            if (field >> depth >> count) c.counts.push_back(count);
            cut = next;
        }
        cases.push_back(c);
    }
    return cases;
}

// Every position of both files as a FEN.
inline std::vector<std::string> allPerftFens() {
    std::vector<std::string> fens;
    for (const GameCase& c : loadGameCases()) fens.push_back(c.fen);
    for (const StandardCase& c : loadStandardCases()) fens.push_back(c.fen);
    return fens;
}
