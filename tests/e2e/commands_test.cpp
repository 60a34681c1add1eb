#include <gtest/gtest.h>

#include <csignal>

#include "support/process.h"

namespace {

// Standard error after the help text.
std::string remarks(const RunResult& r) {
    const std::string last = "# ENTER YOUR MOVE:\n";
    size_t end = r.err.find(last);
    return end == std::string::npos ? r.err : r.err.substr(end + last.size());
}

const char* const initialLimits = "# MIN_TIME: 5; MAX_TIME: 15; MIN_DEPTH: 8\n";

TEST(CommandLoop, CrLfLinesWorkLikeLfLines) {
    EngineDir dir;
    RunResult r = dir.run("get_time_limit\r\nmin_time 10\r\nget_time_limit\r\nprotover 2\r\nhello\r\nquit\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string(initialLimits) +
                         "# MIN_TIME: 10; MAX_TIME: 15; MIN_DEPTH: 8\nfeature done=1\n");
    EXPECT_EQ(remarks(r), "# error: HELLO\n");
}

TEST(CommandLoop, LongLinesAreReadInPiecesOf254) {
    EngineDir dir;
    RunResult r = dir.run(std::string(100000, 'a') + "\nget_time_limit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, initialLimits);
    const std::string errors = remarks(r);
    size_t lines = 0, pos = 0;
    while ((pos = errors.find("# error: ", pos)) != std::string::npos) ++lines, ++pos;
    EXPECT_EQ(lines, 394u);   // 393 full pieces of 254 characters and the rest
    EXPECT_NE(errors.find("# error: " + std::string(254, 'A') + "\n"), std::string::npos);
}

TEST(CommandLoop, NulBytesAndControlCharactersAreHarmless) {
    EngineDir dir;
    std::string input = "get_";
    input += '\0';
    input += "time_limit\n\x01\x02\x7f\xff\n\tget_time_limit\n";
    RunResult r = dir.run(input);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.out, initialLimits);
    EXPECT_EQ(remarks(r).rfind("# error: GET_\n", 0), 0u);
}

TEST(CommandLoop, OnlyTheFirstWordCountsAndCaseDoesNotMatter) {
    EngineDir dir;
    RunResult r = dir.run("  Get_Time_Limit now please\nMIN_time 7 8 9\nget_time_limit\nQuIt\nget_time_limit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string(initialLimits) + "# MIN_TIME: 7; MAX_TIME: 15; MIN_DEPTH: 8\n");
}

TEST(CommandLoop, IgnoredWordsAndNewKeepTheSettings) {
    EngineDir dir;
    RunResult r = dir.run("otim 100\nscore\nmax_time 40\nnew\nxboard\nwhite\nblack\ntime 500\nget_time_limit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "# MIN_TIME: 5; MAX_TIME: 40; MIN_DEPTH: 8\n");
    EXPECT_EQ(remarks(r), "");
}

TEST(CommandLoop, ConsoleInterruptEndsTheEngine) {
    EngineDir dir;
    EngineProcess engine(dir);
    engine.send("protover 2\n");
    std::string line;
    ASSERT_TRUE(engine.readLine(line));
    EXPECT_EQ(line, "feature done=1");
    engine.signal(SIGINT);
    RunResult r = engine.wait();
    EXPECT_EQ(r.signal, SIGINT);
}

TEST(CommandLoop, XboardModeIgnoresInterrupts) {
    EngineDir dir;
    EngineProcess engine(dir);
    engine.send("xboard\nprotover 2\n");
    std::string line;
    ASSERT_TRUE(engine.readLine(line));
    EXPECT_EQ(line, "feature done=1");
    engine.signal(SIGINT);
    engine.send("protover 2\n");
    ASSERT_TRUE(engine.readLine(line));
    EXPECT_EQ(line, "feature done=1");
    engine.signal(SIGINT);
    engine.send("quit\n");
    RunResult r = engine.wait();
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.status, 0);
}

}  // namespace
