// The play search: the tactical positions of data/tactics.epd found with a fraction of
// the nodes the fixed search needs for them (at its depth 8).
#include <fstream>

#include "search/play.h"
#include "search/playtt.h"
#include "search/search_support.h"

namespace {

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

TEST_F(PlaySearch, SolvesTheTacticsWithTwoThirdsOfTheNodesOfTheFixedSearch) {
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
        request.limits.nodes = std::max<uint64_t>(fixedNodes * 2 / 3, 1);   // read every 1024 nodes
        PlayControl control;
        const PlayResult result = playSearch(request, control, PlayReporter{nullptr});
        EXPECT_EQ(result.best, expected) << coordinateText(result.best) << " in " << result.nodes << " nodes, "
                                         << fixedNodes << " for the fixed search";
    }
    EXPECT_EQ(positions, 10);
}

// A node's static score is kept with its entry for the search that stored it
// (a quiescence entry, which has none, leaves it), and not for the next one,
// whose evaluation tables differ.
TEST(PlayTable, KeepsTheStaticScoreForOneSearch) {
    playTableNewSearch();
    const uint64_t key = 0x123456789ABCDEF0ull;
    PlayTableEntry entry{};
    playTableStore(key, 0, 50, 4, TABLE_LOWER, -321);
    ASSERT_TRUE(playTableProbe(key, entry));
    EXPECT_EQ(entry.staticEval, -321);
    playTableStore(key, 0, 60, 5, TABLE_EXACT, PLAY_TABLE_NO_EVAL);
    ASSERT_TRUE(playTableProbe(key, entry));
    EXPECT_EQ(entry.staticEval, -321);
    EXPECT_EQ(entry.score, 60);
    EXPECT_EQ(entry.depth, 5);
    EXPECT_FALSE(playTableProbe(key ^ 1ull << 40, entry));
    playTableNewSearch();
    ASSERT_TRUE(playTableProbe(key, entry));
    EXPECT_EQ(entry.staticEval, PLAY_TABLE_NO_EVAL);
}

}  // namespace
