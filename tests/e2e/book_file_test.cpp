#include <gtest/gtest.h>

#include "support/process.h"

namespace {

// Standard error from the book's load remark up to the help text.
std::string bookReport(const RunResult& r) {
    const size_t start = r.err.find("#load book: ");
    const size_t end = r.err.find("# help:\n");
    if (start == std::string::npos || end == std::string::npos || end < start) return r.err;
    return r.err.substr(start, end - start);
}

TEST(BookFile, TheShippedBookLoadsWithoutAnError) {
    EngineDir dir;
    const RunResult r = dir.run("quit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(bookReport(r), "#load book: ok\n");
    EXPECT_EQ(r.err.find("#error"), std::string::npos);
}

TEST(BookFile, BadLinesAreReportedBetweenTheRemarkAndOk) {
    EngineDir dir;
    dir.write("book.dat",
              "# Rotor test book\n"
              "\n"
              "e2e4 e7e5 Ng1-f3 b8c6\n"
              "d2d4 x9 c2c4\n"
              "e2e4 c7c5 zz\n"
              "c2c4 e7e5 O-O-O\n");
    const RunResult r = dir.run("quit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(bookReport(r), "#load book: #error in line 4: 9\n#error in line 5: ZZ\n#error in line 6: O-O-O\nok\n");
}

TEST(BookFile, MissingBookIsAnErrorAndTheEngineRuns) {
    EngineDir dir(false);
    const RunResult r = dir.run("get_time_limit\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(bookReport(r), "#load book: error\n");
    EXPECT_EQ(r.out, "# MIN_TIME: 5; MAX_TIME: 15; MIN_DEPTH: 8\n");
}

TEST(BookFile, TheGameStartsAtTheInitialPositionAfterLoading) {
    EngineDir withBook;
    EngineDir withoutBook(false);
    const RunResult a = withBook.run("position\ne2e4\nposition\nquit\n");
    const RunResult b = withoutBook.run("position\ne2e4\nposition\nquit\n");
    EXPECT_EQ(a.status, 0);
    EXPECT_FALSE(a.out.empty());
    EXPECT_EQ(a.out, b.out);
}

}  // namespace
