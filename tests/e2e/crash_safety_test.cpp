#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>
#include <vector>

#include "support/process.h"

namespace {

constexpr size_t RECORD = 88;

// A large teach.dat of well-formed records with random keys and positions.
std::string bigTeachFile(size_t records) {
    std::mt19937_64 rng(12345);
    std::string bytes(records * RECORD, '\0');
    for (size_t i = 0; i < records; ++i) {
        char* r = &bytes[i * RECORD];
        for (int word = 0; word < 8; ++word) {   // the key, then the seven bitboards
            uint64_t value = rng();
            std::memcpy(r + (word == 0 ? 0 : 16 + 8 * word), &value, 8);
        }
        int32_t side = int32_t(i & 1), score = int32_t(rng() % 200) - 100, castling = 15, depth = 7;
        std::memcpy(r + 8, &side, 4);
        std::memcpy(r + 12, &score, 4);
        std::memcpy(r + 16, &castling, 4);
        std::memcpy(r + 20, &depth, 4);
        std::memset(r + 84, 0, 4);
    }
    return bytes;
}

// The records of a teach file in a canonical order (saving changes the order
// of records, never the set).
std::vector<std::string> sortedRecords(const std::string& bytes) {
    std::vector<std::string> records;
    for (size_t i = 0; i + RECORD <= bytes.size(); i += RECORD) records.push_back(bytes.substr(i, RECORD));
    std::sort(records.begin(), records.end());
    return records;
}

int leftoverTempFiles(const EngineDir& dir) {
    int found = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        if (entry.path().filename().string().find(".tmp") != std::string::npos) ++found;
    return found;
}

TEST(CrashSafety, KillingTheEngineWhileItSavesNeverTearsTeachDat) {
    EngineDir dir;
    const std::string original = bigTeachFile(200000);
    dir.write("teach.dat", original);
    const std::vector<std::string> expected = sortedRecords(original);
    // How long a whole run takes: start-up, load, quit, save.
    const auto start = std::chrono::steady_clock::now();
    {
        EngineProcess engine(dir);
        engine.send("quit\n");
        engine.wait();
    }
    const auto wholeRun = std::chrono::steady_clock::now() - start;
    // Kills spread evenly over such a run, most of them while the file is written.
    const int rounds = 24;
    for (int round = 0; round < rounds; ++round) {
        {
            EngineProcess engine(dir);
            engine.send("quit\n");
            std::this_thread::sleep_for(wholeRun * round / rounds);
            engine.signal(SIGKILL);
            engine.wait();
        }
        const std::string now = dir.read("teach.dat");
        ASSERT_EQ(now.size(), original.size()) << "round " << round;
        ASSERT_TRUE(sortedRecords(now) == expected) << "round " << round;
    }
}

TEST(CrashSafety, TerminationDuringTheSaveWaitsForTheFile) {
    EngineDir dir;
    const std::string original = bigTeachFile(100000);
    dir.write("teach.dat", original);
    EngineProcess engine(dir);
    engine.send("xboard\nprotover 2\n");
    std::string line;
    ASSERT_TRUE(engine.readLine(line));   // loaded and reading commands
    engine.send("quit\n");
    engine.signal(SIGTERM);               // as an interface does right after quit
    RunResult r = engine.wait();
    EXPECT_TRUE(r.signal == SIGTERM || r.status == 0);
    const std::string now = dir.read("teach.dat");
    ASSERT_EQ(now.size(), original.size());
    EXPECT_TRUE(sortedRecords(now) == sortedRecords(original));
    EXPECT_EQ(leftoverTempFiles(dir), 0);
}

}  // namespace
