#include "app/bench.h"

#include <cstdio>

#include "board/board.h"
#include "board/fen.h"
#include "board/notation.h"
#include "search/picker.h"
#include "search/play.h"
#include "search/search.h"

namespace {

// Openings, middlegames with tactics, endgames, positions in check and
// promotions. Side to move and castling rights as in FEN; no en passant.
const char* const positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq",
    "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R b KQkq",
    "rnbqkb1r/pp2pppp/3p1n2/8/3NP3/8/PPP2PPP/RNBQKB1R w KQkq",
    "rnbqkb1r/ppp2ppp/4pn2/3p4/2PP4/2N5/PP2PPPP/R1BQKBNR w KQkq",
    "rnbqkb1r/p3pppp/1p6/2ppP3/3N4/2P5/PPP1QPPP/R1B1KB1R w KQkq",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w -",
    "r1bq1rk1/pp2nppp/2n1p3/3pP3/1b1P4/2NB1N2/PP3PPP/R1BQK2R w KQ",
    "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w -",
    "r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq",
    "5rk1/1ppb3p/p1pb4/6q1/3P1p1r/2P1R2P/PP1BQ1P1/5RKN w -",
    "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b -",
    "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w -",
    "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b -",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w -",
    "1nk1r1r1/pp2n1pp/4p3/q2pPp1N/b1pP1P2/B1P2R2/2P1B1PP/R2Q2K1 w -",
    "r2q1rk1/ppp2ppp/2n1bn2/2b1p3/3pP3/3P1NPP/PPP1NPB1/R1BQ1RK1 b -",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w -",
    "rnbqk1nr/pppp1ppp/8/4p3/1b1P4/8/PPP1PPPP/RNBQKBNR w KQkq",
    "4k3/8/8/8/8/8/3q4/4K3 w -",
    "4k3/8/8/8/1b6/8/8/R3K2R w KQ",
    "8/P7/8/8/8/8/6k1/4K3 w -",
    "4k3/8/8/8/8/8/1p6/R3K3 b -",
    "3r4/4P3/8/8/8/8/k7/4K3 w -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w -",
    "8/8/8/4k3/8/8/4P3/4K3 w -",
    "1K1k4/1P6/8/8/8/8/r7/2R5 w -",
    "8/5pk1/6p1/R7/5P2/6K1/r5P1/8 w -",
    "8/pp3k2/2p5/3p4/3P4/2P5/PP3K2/8 w -",
    "8/8/1p1r1k2/p1pPN1p1/P3KnP1/1P6/8/3R4 b -",
    "2r3k1/pppR1pp1/4p3/4P1P1/5P2/1P4K1/P1P5/8 w -",
    "8/8/3bk3/8/8/3BK3/8/8 w -",
    "6k1/8/8/8/8/8/8/4QK2 w -",
};
constexpr int POSITION_COUNT = int(sizeof(positions) / sizeof(positions[0]));

}  // namespace

int benchPositionCount() { return POSITION_COUNT; }

namespace {

// Sets up each of the first `count` positions and searches it with search,
// which fills in the move, score and nodes of its line; the lines go to
// perPosition, the totals and the time of the whole run to total.
template <class Search>
bool benchPositions(int count, Search search, void (*perPosition)(const BenchLine&), BenchTotal& total) {
    total = BenchTotal{0, 0, 0};
    bool complete = true;
    const int64_t start = clockMilliseconds();
    for (int i = 0; i < count && i < POSITION_COUNT; ++i) {
        if (!setPosition(positions[i])) {
            complete = false;
            break;
        }
        BenchLine line = {i + 1, positions[i], false, 0, 0, 0};
        search(line);
        line.found = line.move != 0;
        total.nodes += line.nodes;
        if (perPosition) perPosition(line);
    }
    total.milliseconds = clockMilliseconds() - start;
    total.nodesPerSecond = total.milliseconds > 0 ? total.nodes * 1000 / uint64_t(total.milliseconds) : 0;
    return complete;
}

}  // namespace

bool runBench(int depth, int count, void (*perPosition)(const BenchLine&), BenchTotal& total) {
    // Book and teach table off, no clock, only the results show.
    SearchRequest request;
    request.depth = depth;
    return benchPositions(count, [&request](BenchLine& line) {
        // Every position starts from the same ordering data, whatever ran before it.
        clearOrdering();
        const SearchResult result = searchRoot(request);
        line.move = result.move;
        line.score = result.score;
        line.nodes = result.nodes;
    }, perPosition, total);
}

namespace {
const char* reportPrefix = "";
}

namespace {

void printReport(bool (*run)(int, int, void (*)(const BenchLine&), BenchTotal&), int depth, int count,
                 const char* linePrefix) {
    reportPrefix = linePrefix;
    BenchTotal total;
    run(depth, count, [](const BenchLine& line) {
        std::printf("%sbench position %d bestmove %s nodes %llu\n", reportPrefix, line.number,
                    line.found ? coordinateText(line.move).c_str() : "0000", (unsigned long long)line.nodes);
        std::fflush(stdout);
    }, total);
    std::printf("Total time (ms) : %lld\n", (long long)total.milliseconds);
    std::printf("Nodes searched  : %llu\n", (unsigned long long)total.nodes);
    std::printf("Nodes/second    : %llu\n", (unsigned long long)total.nodesPerSecond);
    std::fflush(stdout);
}

}  // namespace

void printBenchReport(int depth, int count, const char* linePrefix) { printReport(runBench, depth, count, linePrefix); }

void printPlayBenchReport(int depth, int count, const char* linePrefix) {
    printReport(runPlayBench, depth, count, linePrefix);
}

bool runPlayBench(int depth, int count, void (*perPosition)(const BenchLine&), BenchTotal& total) {
    const int savedMegabytes = playTableMegabytes();
    playTableResize(PLAY_BENCH_MEGABYTES);
    const bool complete = benchPositions(count, [depth](BenchLine& line) {
        playNewGame();
        PlayRequest request;
        request.limits.depth = depth;
        PlayControl control;
        const PlayResult result = playSearch(request, control, PlayReporter{nullptr});
        line.move = result.best;
        line.score = result.score;
        line.nodes = result.nodes;
    }, perPosition, total);
    playTableResize(savedMegabytes);
    return complete;
}

bool readBenchArguments(const Words& arguments, int& depth, int& count) {
    int64_t d = BENCH_DEFAULT_DEPTH, n = benchPositionCount();
    if (arguments.size() > 2 || (arguments.size() > 0 && !readNumber(arguments[0], 2, MAX_ITERATION_DEPTH, d)) ||
        (arguments.size() > 1 && !readNumber(arguments[1], 1, benchPositionCount(), n)))
        return false;
    depth = int(d);
    count = int(n);
    return true;
}
