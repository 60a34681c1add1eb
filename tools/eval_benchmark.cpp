// Micro-benchmark of the static evaluation on middlegame positions: the full
// evaluation (root window, no quick exit) with the pawn entry cached, the same
// with the pawn entry read from the pawn table or recomputed every call, and
// the per-search preparation.
#include <benchmark/benchmark.h>

#include <cctype>
#include <string>

#include "board/attacks.h"
#include "eval/evaluate.h"

namespace {

const char* const positions[] = {
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R1BQKB1R",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1",
    "2r2rk1/pb3ppp/1p2pn2/q7/2PP4/P1Q1PN2/5PPP/2R1KB1R",
};

int pieceOfLetter(char c) {
    switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'p': return PAWN;
    case 'n': return KNIGHT;
    case 'b': return BISHOP;
    case 'r': return ROOK;
    case 'q': return QUEEN;
    case 'k': return KING;
    default: return NOPIECE;
    }
}

// Places the pieces of a FEN placement field on an emptied board, White to move.
void setPlacement(const std::string& placement) {
    newGame();
    for (int sq = 0; sq < 64; ++sq)
        if (board.squares[sq]) removePiece(sq, board.squares[sq], isOccupiedBy(sq, WHITE) ? WHITE : BLACK);
    int sq = 0;
    for (char c : placement) {
        if (c == '/') continue;
        if (c >= '1' && c <= '8') {
            sq += c - '0';
        } else {
            placePiece(sq++, pieceOfLetter(c), std::isupper(static_cast<unsigned char>(c)) ? WHITE : BLACK);
        }
    }
    prepareEvaluation();
}

void BM_EvaluateFull(benchmark::State& state) {
    setPlacement(positions[state.range(0)]);
    for (auto _ : state) benchmark::DoNotOptimize(evaluate(-100000, 100000));
}
BENCHMARK(BM_EvaluateFull)->DenseRange(0, 3);

// The last entry forgotten: the pawn table answers.
void BM_EvaluatePawnTableHit(benchmark::State& state) {
    setPlacement(positions[state.range(0)]);
    for (auto _ : state) {
        pawnCache.whitePawnKey = pawnCache.blackPawnKey = NO_PAWN_KEY;
        benchmark::DoNotOptimize(evaluate(-100000, 100000));
    }
}
BENCHMARK(BM_EvaluatePawnTableHit)->DenseRange(0, 3);

// The last entry and the table slot forgotten: the pawn term is computed.
void BM_EvaluatePawnCacheMiss(benchmark::State& state) {
    setPlacement(positions[state.range(0)]);
    const Bitboard white = board.pieceBits[PAWN] & board.colourBits[WHITE];
    const Bitboard black = board.pieceBits[PAWN] & board.colourBits[BLACK];
    PawnCache& slot = pawnTable[pawnTableIndex(white, black)].cache;
    for (auto _ : state) {
        pawnCache.whitePawnKey = pawnCache.blackPawnKey = NO_PAWN_KEY;
        slot.whitePawnKey = NO_PAWN_KEY;
        benchmark::DoNotOptimize(evaluate(-100000, 100000));
    }
}
BENCHMARK(BM_EvaluatePawnCacheMiss)->DenseRange(0, 3);

void BM_EvaluateQuickExit(benchmark::State& state) {
    setPlacement(positions[0]);
    for (auto _ : state) benchmark::DoNotOptimize(evaluate(5000, 5001));
}
BENCHMARK(BM_EvaluateQuickExit);

void BM_PrepareEvaluation(benchmark::State& state) {
    setPlacement(positions[1]);
    for (auto _ : state) prepareEvaluation();
}
BENCHMARK(BM_PrepareEvaluation)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
