#include <gtest/gtest.h>

#include <unistd.h>

#include "support/process.h"

namespace {

const char* const helpText =
    "# help:\n# e2e4 - move sample\n# go   - reply machin\n# back - back last move\n# next - ...\n"
    "# new  - new game\n# save - save game\n# load - load last game\n# quit - exit\n"
    "# xboard - simple game under WinBoard\n# ...\n# ENTER YOUR MOVE:\n";

// Standard error up to and including the help text.
std::string startupText(const RunResult& r) {
    size_t end = r.err.find("# ENTER YOUR MOVE:\n");
    return end == std::string::npos ? r.err : r.err.substr(0, end + 19);
}

TEST(Startup, BannerLoadReportsAndHelp) {
    EngineDir dir;
    RunResult r = dir.run("quit\n");
    EXPECT_EQ(r.status, 0);
    std::string text = startupText(r);
    ASSERT_EQ(text.rfind("# ", 0), 0u);
    size_t bannerEnd = text.find('\n');
    EXPECT_NE(text.substr(0, bannerEnd).find("1.00"), std::string::npos);
    std::string rest = text.substr(bannerEnd + 1);
    EXPECT_EQ(rest.substr(0, 19), "#load teach-table: ");
    EXPECT_NE(rest.find("#load book: "), std::string::npos);
    EXPECT_EQ(rest.substr(rest.size() - std::string(helpText).size()), helpText);
    EXPECT_EQ(r.out, "");
}

TEST(Startup, TimeLimitsAndTheirFloors) {
    EngineDir dir;
    RunResult r = dir.run(
        "get_time_limit\nmin_time 2\nget_time_limit\nmax_time 3\nget_time_limit\n"
        "min_depth 4\nget_time_limit\nMIN_TIME 10\nmax_time 20\nmin_depth 9\nget_time_limit\n"
        "min_time 30\nget_time_limit\nmin_time 0\nmin_time -4\nmin_time\nget_time_limit\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "# MIN_TIME: 5; MAX_TIME: 15; MIN_DEPTH: 8\n"
              "# MIN_TIME: 5; MAX_TIME: 15; MIN_DEPTH: 8\n"
              "# MIN_TIME: 5; MAX_TIME: 5; MIN_DEPTH: 8\n"
              "# MIN_TIME: 5; MAX_TIME: 5; MIN_DEPTH: 6\n"
              "# MIN_TIME: 10; MAX_TIME: 20; MIN_DEPTH: 9\n"
              "# MIN_TIME: 30; MAX_TIME: 30; MIN_DEPTH: 9\n"
              "# MIN_TIME: 30; MAX_TIME: 30; MIN_DEPTH: 9\n");
}

TEST(Startup, ProtoverAndEndOfInput) {
    EngineDir dir;
    RunResult r = dir.run("protover 2\nPROTOVER\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "feature done=1\nfeature done=1\n");
}

TEST(Startup, UnknownWordsAndBackAtTheStart) {
    EngineDir dir;
    RunResult r = dir.run("hello world\nback\nRaNdOm\n\nforce\nquit\n");
    EXPECT_EQ(r.status, 0);
    std::string errors = r.err.substr(startupText(r).size());
    EXPECT_EQ(errors, "# error: HELLO\n# error: BACK\n# error: RANDOM\n# error: \n# error: FORCE\n");
}

TEST(Startup, ALaunchThroughALinkKeepsItsFilesBesideTheBinary) {
    EngineDir dir, elsewhere(false);
    ASSERT_EQ(symlink(dir.file("rotor").c_str(), elsewhere.file("link").c_str()), 0);
    RunResult r = runProgram(elsewhere.file("link"), {"link"}, "quit\n", elsewhere.path());
    EXPECT_NE(r.err.find("#load book: ok\n"), std::string::npos) << r.err;
    EXPECT_TRUE(dir.exists("teach.dat"));
    EXPECT_FALSE(elsewhere.exists("teach.dat"));
}

}  // namespace
