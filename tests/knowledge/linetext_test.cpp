#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "knowledge/knowledge.h"

namespace {

std::vector<std::string> cleanedTokens(const std::string& text) {
    std::vector<char> line(text.begin(), text.end());
    line.push_back(0);
    cleanLine(line.data());
    std::vector<std::string> tokens;
    char* cursor = line.data();
    while (char* token = nextMoveText(cursor)) tokens.push_back(token);
    return tokens;
}

using Tokens = std::vector<std::string>;

TEST(LineCleaning, DropsPieceLettersSeparatorsAndAnnotations) {
    EXPECT_EQ(cleanedTokens("e2-e4!\n"), Tokens{"E2E4"});
    EXPECT_EQ(cleanedTokens("Ng1-f3"), Tokens{"G1F3"});
    EXPECT_EQ(cleanedTokens("e4xd5 e4Xd5 e4:d5"), (Tokens{"E4D5", "E4D5", "E4D5"}));
    EXPECT_EQ(cleanedTokens("e7e8n e7e8N e7e8q e7e8Q"), (Tokens{"E7E8N", "E7E8", "E7E8Q", "E7E8"}));
    EXPECT_EQ(cleanedTokens("Bb5?! Qd1-h5?? Kxe2 Rxa8"), (Tokens{"B5", "D1H5", "E2", "A8"}));
}

TEST(LineCleaning, KeepsCastlingAndUpperCasesTheRest) {
    EXPECT_EQ(cleanedTokens("O-O O-O-O o-o o-o-o"), (Tokens{"O-O", "O-O-O", "O-O", "O-O-O"}));
    // Zeros are no castling letters: their dashes go.
    EXPECT_EQ(cleanedTokens("0-0"), Tokens{"00"});
    EXPECT_EQ(cleanedTokens("c7c5 # a remark"), (Tokens{"C7C5", "#", "A", "REMARK"}));
}

TEST(LineCleaning, SplitsAtBlanksOnlyAndEndsWithTheLine) {
    EXPECT_EQ(cleanedTokens("  e2e4   e7e5  \n"), (Tokens{"E2E4", "E7E5"}));
    EXPECT_EQ(cleanedTokens("e2e4\te7e5"), Tokens{"E2E4\tE7E5"});
    EXPECT_EQ(cleanedTokens("e2e4 e7e5\r\n"), (Tokens{"E2E4", "E7E5"}));
    EXPECT_EQ(cleanedTokens(""), Tokens{});
    EXPECT_EQ(cleanedTokens("   \n"), Tokens{});
    EXPECT_EQ(cleanedTokens("-!?\n"), Tokens{});
    EXPECT_EQ(cleanedTokens("#e2e4"), Tokens{"#E2E4"});
}

}  // namespace
