// perft: counts the leaf nodes of the legal move tree with the engine's own
// generators, makeMove/unmakeMove and the inCheck legality test. Promotions
// count as the engine generates them: queen and knight only.
//
//   perft DEPTH [--divide] [--fen "FEN"] [MOVE ...]
//
// Without --fen the count starts from the initial position. The MOVEs
// (coordinate text: e2e4, e7e8q, castling as e1g1) are played first, each
// checked against the legal moves. --divide prints one line per legal root
// move, in generation order, as "e2e4: 20". Standard output ends with the line
// "nodes N"; the time and the speed go to standard error.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/perft.h"
#include "board/positioncheck.h"

namespace {

const char* const USAGE = "usage: perft DEPTH [--divide] [--fen \"FEN\"] [MOVE ...]";

const char* const HELP =
    "perft DEPTH [--divide] [--fen \"FEN\"] [MOVE ...]\n"
    "  Counts the leaf nodes of the legal move tree DEPTH plies deep (0..20).\n"
    "  --fen FEN   start from this position instead of the initial one\n"
    "  MOVE ...    moves played first, coordinate text: e2e4 e7e8q e1g1\n"
    "  --divide    one line per legal root move, in generation order: \"e2e4: 20\"\n"
    "  Standard output ends with \"nodes N\"; time and nodes/s go to standard error.\n";

constexpr int MAX_DEPTH = 20;

int fail(const std::string& reason) {
    std::fprintf(stderr, "perft: %s; %s\n", reason.c_str(), USAGE);
    return 2;
}

// The count from the root; with divide, one line per legal root move.
uint64_t perftRoot(int depth, bool divide) {
    if (!divide || depth == 0) return perft(depth);
    Move moves[256];
    const int n = legalMoves(moves);
    uint64_t total = 0;
    for (int i = 0; i < n; ++i) {
        pushMove(moves[i]);
        const uint64_t nodes = depth == 1 ? 1 : perft(depth - 1);
        popMove(moves[i]);
        std::printf("%s: %llu\n", coordinateText(moves[i]).c_str(), static_cast<unsigned long long>(nodes));
        total += nodes;
    }
    return total;
}

bool readDepth(const char* text, int& depth) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (end == text || *end || value < 0 || value > MAX_DEPTH) return false;
    depth = int(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(HELP, stdout);
            return 0;
        }
    int depth = 0;
    if (argc < 2) return fail("no depth given");
    if (!readDepth(argv[1], depth)) return fail(std::string("bad depth '") + argv[1] + "'");
    bool divide = false;
    const char* fen = nullptr;
    std::vector<std::string> moves;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--divide")) {
            divide = true;
        } else if (!std::strcmp(argv[i], "--fen")) {
            if (i + 1 >= argc || fen) return fail("--fen needs one FEN");
            fen = argv[++i];
        } else if (argv[i][0] == '-') {
            return fail(std::string("unknown option '") + argv[i] + "'");
        } else {
            moves.push_back(argv[i]);
        }
    }

    board.ply = 0;
    if (fen) {
        if (!setPosition(fen)) return fail(std::string("bad FEN '") + fen + "'");
        if (positionFault(KING_COUNT) != NO_FAULT) return fail("the FEN needs one king of each colour");
    } else {
        newGame();
    }
    for (const std::string& text : moves) {
        const Move m = findMove(text);
        if (!m) return fail("illegal move '" + text + "'");
        if (!playMove(m)) return fail("too many moves");
    }

    const auto start = std::chrono::steady_clock::now();
    const uint64_t nodes = perftRoot(depth, divide);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("nodes %llu\n", static_cast<unsigned long long>(nodes));
    std::fflush(stdout);
    std::fprintf(stderr, "time %.3f s, %.0f nodes/s\n", seconds, seconds > 0 ? double(nodes) / seconds : 0.0);
    return 0;
}
