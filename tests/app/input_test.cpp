#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/input.h"

namespace {

// Feeds text through a pipe, as standard input would be.
struct PipeSource {
    int fds[2];
    FILE* stream;
    explicit PipeSource(const std::string& text) {
        EXPECT_EQ(pipe(fds), 0);
        EXPECT_EQ(write(fds[1], text.data(), text.size()), ssize_t(text.size()));
        stream = fdopen(fds[0], "r");
        setInputSource(stream);
    }
    void more(const std::string& text) { EXPECT_EQ(write(fds[1], text.data(), text.size()), ssize_t(text.size())); }
    void close() { ::close(fds[1]); fds[1] = -1; }
    ~PipeSource() {
        if (fds[1] >= 0) ::close(fds[1]);
        std::fclose(stream);
        setInputSource(stdin);
    }
};

TEST(Input, PiecesAreWhatALineBufferOf255BytesReads) {
    const std::string longLine = std::string(254, 'x') + "\n";
    PipeSource in(longLine + std::string(300, 'y') + "\nlast");
    in.close();
    const std::string expected[] = {std::string(254, 'x'), "\n", std::string(254, 'y'), std::string(46, 'y') + "\n",
                                    "last"};
    std::string piece;
    for (const std::string& want : expected) {
        ASSERT_TRUE(readInputPiece(piece, 254));
        EXPECT_EQ(piece, want);
    }
    EXPECT_FALSE(readInputPiece(piece, 254));
}

TEST(Input, WholeLinesLoseTheirLineEndAndAreCutAtTheLimit) {
    // More than a pipe holds: a file stands in for standard input.
    const std::string text = "position startpos moves e2e4\r\n" + std::string(INPUT_LINE_LIMIT + 100, 'm') + "\nisready\n";
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
    std::fflush(file);
    std::rewind(file);
    setInputSource(file);
    std::string line;
    ASSERT_TRUE(readInputLine(line));
    EXPECT_EQ(line, "position startpos moves e2e4");
    ASSERT_TRUE(readInputLine(line));
    EXPECT_EQ(line.size(), INPUT_LINE_LIMIT);
    ASSERT_TRUE(readInputLine(line));
    EXPECT_EQ(line, "isready");
    EXPECT_FALSE(readInputLine(line));
    setInputSource(stdin);
    std::fclose(file);
}

TEST(Input, WaitingLinesAreSeenWithoutBlockingAndKeptInOrder) {
    PipeSource in("");
    EXPECT_EQ(pollInput(), 0);   // an open, empty pipe: nothing waiting, no block
    in.more("isready\nstop\npart");
    EXPECT_EQ(pollInput(), 2);
    markThinkingStart();   // both were sent before the engine began to think
    EXPECT_EQ(waitingLine(0), "isready");
    EXPECT_EQ(waitingLine(1), "stop");
    dropWaitingLine(0);   // answered at once while thinking
    in.more("ial\n");
    EXPECT_EQ(pollInput(), 2);
    EXPECT_FALSE(sentWhileThinking(0));   // "stop", moved up by the drop
    EXPECT_TRUE(sentWhileThinking(1));
    std::string line;
    ASSERT_TRUE(readInputLine(line));
    EXPECT_EQ(line, "stop");
    in.close();
    EXPECT_EQ(pollInput(), 2);   // the partial line completed, then end of input
    ASSERT_TRUE(readInputLine(line));
    EXPECT_EQ(line, "partial");
    EXPECT_FALSE(readInputLine(line));
}

}  // namespace
