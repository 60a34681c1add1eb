// The play search: static exchange evaluation against worked-out exchanges,
// and the tactical positions of data/tactics.epd found with a fraction of
// the nodes the fixed search needs for them (at its depth 8).
#include <fstream>

#include "board/attacks.h"
#include "search/play.h"
#include "search/search_support.h"

namespace {

TEST(StaticExchange, MatchesExchangesWorkedOutByHand) {
    const struct {
        const char* fen;
        const char* move;
        int value;
    } cases[] = {
        {"4k3/8/8/3p4/4P3/8/8/4K3 w -", "e4d5", 100},                  // a free pawn
        {"4k3/8/2p5/3p4/4P3/8/8/4K3 w -", "e4d5", 0},                  // pawn for pawn
        {"4k3/8/2p5/3p4/8/4N3/8/4K3 w -", "e3d5", 100 - 350},          // knight for a guarded pawn
        {"4k3/8/2p5/3p4/8/8/8/3QK3 w -", "d1d5", 100 - 1120},          // queen for a guarded pawn
        {"3rk3/8/8/3r4/8/8/3R4/4K3 w -", "d2d5", 0},                   // rook for rook
        {"3rk3/8/8/3r4/8/8/3R4/3RK3 w -", "d2d5", 540},                // the rook behind wins the last word
        {"8/8/4k3/3p4/8/8/3R4/6K1 w -", "d2d5", 100 - 540},            // the king takes back
        {"8/8/4k3/3p4/8/8/3R4/3R2K1 w -", "d2d5", 100},                // the king cannot take back
        {"1r2k3/P7/8/8/8/8/8/4K3 w -", "a7b8q", 540 + 1120 - 100},     // a capture that promotes
        {"4k3/8/8/3p4/8/8/8/3NK3 w -", "d1c3", 0},                     // a quiet move to a safe square
        {"4k3/8/8/3p4/8/8/8/2N1K3 w -", "c1b3", 0},
        {"4k3/8/4p3/8/8/8/8/3NK3 w -", "d1e3", 0},
        {"4k3/8/8/4p3/8/8/8/3NK3 w -", "d1f2", 0},
        {"4k3/8/8/2p5/8/8/8/2N1K3 w -", "c1b3", 0},
        {"4k3/8/8/2p5/8/8/8/3NK3 w -", "d1b2", 0},
        {"4k3/8/8/8/2p5/8/8/3NK3 w -", "d1b2", 0},
        {"4k3/8/8/8/2p5/8/8/2N1K3 w -", "c1d3", -350},                 // a knight put where a pawn takes it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fen) + " " + c.move);
        ASSERT_TRUE(setPosition(c.fen));
        const Move m = findMove(c.move);
        ASSERT_NE(m, 0u);
        const Board before = board;
        const LineTable ranks = rankLines, files = fileLines;
        EXPECT_EQ(seeValue(m), c.value);
        EXPECT_TRUE(seeAtLeast(m, c.value) && !seeAtLeast(m, c.value + 1));
        EXPECT_EQ(std::memcmp(&board, &before, sizeof(Board)), 0);
        EXPECT_TRUE(ranks.occupied == rankLines.occupied && files.occupied == fileLines.occupied);
    }
}

// The move of an EPD "bm" in standard notation among the legal moves: the
// piece letter, the target square and the promotion piece decide it.
Move moveOfNotation(std::string san) {
    std::string plain;
    for (char c : san)
        if (c != '+' && c != '#' && c != 'x') plain += c;
    int promoted = 0;
    if (const size_t eq = plain.find('='); eq != std::string::npos) {
        promoted = std::string("NBRQ").find(plain[eq + 1]) + KNIGHT;
        plain.erase(eq);
    }
    const size_t letter = std::string("NBRQK").find(plain[0]);
    const int piece = letter == std::string::npos ? PAWN : int(letter) + KNIGHT;
    const int to = squareOfText(plain.substr(plain.size() - 2));
    board.ply = 0;
    plyEnd[0] = 0;
    generateLegalMoves();
    for (int i = 0; i < plyEnd[0]; ++i) {
        const Move m = moveStack[i];
        if (board.squares[moveFrom(m)] == piece && moveTo(m) == to && (!promoted || movePromoted(m) == promoted))
            return m;
    }
    return 0;
}

using PlaySearch = SearchTest;
constexpr int REFERENCE_DEPTH = 8;

TEST_F(PlaySearch, SolvesTheTacticsWithHalfTheNodesOfTheFixedSearch) {
    std::ifstream file(std::string(ROTOR_TEST_DATA) + "/tactics.epd");
    std::string line;
    int positions = 0;
    while (std::getline(file, line)) {
        const size_t bm = line.find(" bm ");
        if (bm == std::string::npos) continue;
        SCOPED_TRACE(line);
        ++positions;
        const std::string fen = line.substr(0, bm);
        const std::string san = line.substr(bm + 4, line.find(';', bm) - bm - 4);
        ASSERT_TRUE(setPosition(fen));
        const Move expected = moveOfNotation(san);
        ASSERT_NE(expected, 0u) << san;

        testRequest.depth = REFERENCE_DEPTH;
        const SearchResult reference = searchRoot(testRequest);
        ASSERT_EQ(reference.move, expected) << "the reference search solves it at depth " << REFERENCE_DEPTH;
        const uint64_t fixedNodes = reference.nodes;

        ASSERT_TRUE(setPosition(fen));
        playNewGame();
        PlayRequest request;
        request.limits.nodes = std::max<uint64_t>(fixedNodes / 2, 1);   // read every 1024 nodes
        PlayControl control;
        const PlayResult result = playSearch(request, control, PlayReporter{nullptr});
        EXPECT_EQ(result.best, expected) << coordinateText(result.best) << " in " << result.nodes << " nodes, "
                                         << fixedNodes << " for the fixed search";
    }
    EXPECT_EQ(positions, 10);
}

}  // namespace
