#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "support/process.h"

namespace {

// The bench's report without its timing: one line per position, then the total.
struct BenchReport {
    std::string positions;
    std::string nodes;
};

BenchReport runBench(const EngineDir& dir, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {ROTOR_BUILD_DIR "/bench"};
    argv.insert(argv.end(), args.begin(), args.end());
    RunResult r = runProgram(argv[0], argv, "", dir.path(), 120);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    BenchReport report;
    std::istringstream in(r.out);
    std::string line;
    std::smatch m;
    const std::regex total(R"(bench: (\d+) nodes, \d+ ms, \d+ nodes/s)");
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, total))
            report.nodes = m[1];
        else
            report.positions += line + "\n";
    }
    return report;
}

TEST(SearchBench, NodeCountIsReproducibleAcrossProcesses) {
    EngineDir dir;
    const BenchReport first = runBench(dir, {"4", "12"});
    const BenchReport second = runBench(dir, {"4", "12"});
    ASSERT_FALSE(first.nodes.empty());
    EXPECT_GT(std::stoull(first.nodes), 0u);
    EXPECT_EQ(first.nodes, second.nodes);
    EXPECT_EQ(first.positions, second.positions);
    std::istringstream in(first.positions);
    std::string line;
    int count = 0;
    while (std::getline(in, line)) ++count;
    EXPECT_EQ(count, 12) << first.positions;
    // Nothing is written: the directory holds what EngineDir put there.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);
}

TEST(SearchBench, ReducedRunsArePrefixesOfLongerOnes) {
    EngineDir dir;
    const BenchReport few = runBench(dir, {"3", "5"});
    const BenchReport more = runBench(dir, {"3", "8"});
    EXPECT_EQ(more.positions.substr(0, few.positions.size()), few.positions);
    EXPECT_LT(std::stoull(few.nodes), std::stoull(more.nodes));
    const BenchReport deeper = runBench(dir, {"4", "5"});
    EXPECT_LT(std::stoull(few.nodes), std::stoull(deeper.nodes));
}

}  // namespace
