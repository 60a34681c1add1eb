// The user's files through the real binary: saved games that load again,
// saves that fail loudly and keep what was there, links and permissions.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <vector>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "e2e/records_files.h"
#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using records_files::remarks;

fs::perms permissionsOf(const std::string& path) { return fs::status(path).permissions() & fs::perms::mask; }

TEST(UserData, SavedGamesLoadAgainAndSavesKeepLinksAndPermissions) {
    EngineDir dir;
    // b2-b4 in the listing also reads as a move of the bishop on d2.
    const std::string moves = "d2d4\ne7e5\nc1d2\ne5e4\nb2b4\n";
    const RunResult typed = dir.run(moves + "position\n");
    RunResult r = dir.run(moves + "save\nnew\nload\nposition\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_NE(dir.read("lastgame.dat").find("   3. b2-b4       \n"), std::string::npos);
    ASSERT_NE(r.out.find("POSITION:"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.find("POSITION:")), typed.out);

    // Both files written through links into another folder, keeping their modes.
    fs::create_directory(dir.file("mine"));
    dir.write("mine/game.txt", "old");
    dir.write("mine/learned.dat", "");
    fs::permissions(dir.file("mine/game.txt"), fs::perms(0640));
    fs::permissions(dir.file("mine/learned.dat"), fs::perms(0600));
    fs::remove(dir.file("lastgame.dat"));
    fs::create_symlink("mine/game.txt", dir.file("lastgame.dat"));
    fs::remove(dir.file("teach.dat"));
    fs::create_symlink(dir.file("mine/learned.dat"), dir.file("teach.dat"));
    r = dir.run("xboard\nnotlib\ntime 100\ne2e4\nsave\nquit\n");
    EXPECT_EQ(remarks(r), "");
    EXPECT_TRUE(fs::is_symlink(dir.file("lastgame.dat")));
    EXPECT_TRUE(fs::is_symlink(dir.file("teach.dat")));
    EXPECT_EQ(permissionsOf(dir.file("mine/game.txt")), fs::perms(0640));
    EXPECT_EQ(permissionsOf(dir.file("mine/learned.dat")), fs::perms(0600));
    EXPECT_NE(dir.read("mine/game.txt").find("   1. e2-e4       "), std::string::npos);
    EXPECT_EQ(dir.read("mine/learned.dat").size(), 88u);

    // Saves that cannot be made keep what is there, say so on standard
    // error, and change nothing on standard output.
    fs::remove(dir.file("lastgame.dat"));
    fs::create_directory(dir.file("lastgame.dat"));
    fs::remove(dir.file("teach.dat"));
    fs::create_symlink("nowhere/teach.dat", dir.file("teach.dat"));
    r = dir.run("e2e4\nsave\nquit\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(remarks(r), "# error: " + dir.file("lastgame.dat") + " not saved: Is a directory\n# error: " +
                              dir.file("teach.dat") + " not saved: No such file or directory\n");
    EXPECT_TRUE(fs::is_directory(dir.file("lastgame.dat")));
    EXPECT_EQ(dir.read("mine/game.txt").find("# last game\n"), 0u);
}

}  // namespace

namespace {

// Standard error's line that starts with prefix, or "" when there is none.
std::string lineOf(const std::string& text, const std::string& prefix) {
    const size_t at = text.find(prefix);
    return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

// Devices, pipes and folders are never read as data files: each is refused
// at once as "error", and the engine goes on.
TEST(UserData, OnlyRegularFilesAreReadAsData) {
    const struct {
        const char* name;
        const char* kind;
        const char* input;
        const char* report;
    } cases[] = {
        {"book.dat", "/dev/zero", "quit\n", "#load book: error"},
        {"book.dat", "/dev/urandom", "quit\n", "#load book: error"},
        {"book.dat", "folder", "quit\n", "#load book: error"},
        {"teach.dat", "fifo", "quit\n", "#load teach-table: error"},
        {"teach.dat", "/dev/zero", "quit\n", "#load teach-table: error"},
        {"GAMES", "/dev/zero", "teach games\nquit\n", "#error arg: GAMES"},
        {"GAMES", "fifo", "teach games\nquit\n", "#error arg: GAMES"},
        {"lastgame.dat", "/dev/urandom", "load\nquit\n", " # error: <load>"},
    };
    for (const auto& c : cases) {
        EngineDir dir;
        const std::string path = dir.file(c.name);
        fs::remove(path);
        if (std::string(c.kind) == "folder")
            fs::create_directory(path);
        else if (std::string(c.kind) == "fifo")
            ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
        else
            fs::create_symlink(c.kind, path);
        const RunResult r = dir.run(c.input, 30);
        EXPECT_FALSE(r.timedOut) << c.name << " " << c.kind;
        EXPECT_EQ(r.status, 0) << c.name << " " << c.kind;
        EXPECT_EQ(lineOf(r.err, c.report), c.report) << c.name << " " << c.kind << "\n" << r.err;
    }
}

// The temporary files of saves that a kill interrupted are removed at
// start-up once their process is gone; a live process's file stays, and so
// does every other name.
TEST(UserData, LeftOverTemporaryFilesOfDeadProcessesGo) {
    EngineDir dir;
    const pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child), live = std::to_string(getpid());
    fs::create_directory(dir.file("mine"));
    fs::create_symlink("mine/learned.dat", dir.file("teach.dat"));
    const std::vector<std::string> gone = {"lastgame.dat.tmp" + dead, "mine/learned.dat.tmp" + dead,
                                           "teach.dat.tmp" + dead};
    const std::vector<std::string> kept = {"lastgame.dat.tmp" + live, "mine/learned.dat.tmp" + live,
                                           "lastgame.dat.tmp",
                                           "lastgame.dat.tmp0" + dead, "lastgame.dat.tmp" + dead + "x",
                                           "book.dat.tmp" + dead,     "mine/other.tmp" + dead};
    for (const auto& names : {gone, kept})
        for (const std::string& name : names) dir.write(name, "left over");
    const RunResult r = dir.run("quit\n");
    EXPECT_EQ(r.status, 0);
    for (const std::string& name : gone) EXPECT_FALSE(dir.exists(name)) << name;
    for (const std::string& name : kept) EXPECT_EQ(dir.read(name), "left over") << name;
}

// Reads standard output up to the engine's move line.
bool awaitMove(EngineProcess& engine) {
    std::string line;
    while (engine.readLine(line, 60))
        if (line.rfind("move ", 0) == 0) return true;
    return false;
}

ino_t inodeOf(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// teach.dat: a file that could not be loaded stays as it is; engines sharing
// a folder keep each other's learning; SIGTERM and SIGHUP save as QUIT does,
// whether the engine waits for a command or searches.
TEST(UserData, LearningIsKeptAndShared) {
    {
        EngineDir dir;
        fs::create_directory(dir.file("teach.dat"));
        dir.write("teach.dat/mine", "kept");
        const RunResult r = dir.run("xboard\nnotlib\ntime 100\ne2e4\nquit\n");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(lineOf(r.err, "#load teach-table: "), "#load teach-table: error");
        EXPECT_EQ(remarks(r), "# " + dir.file("teach.dat") +
                                  " could not be read at start-up: it is left as it is, and what was learned is not "
                                  "saved\n");
        EXPECT_EQ(dir.read("teach.dat/mine"), "kept");
    }
    {
        EngineDir dir;
        std::vector<std::unique_ptr<EngineProcess>> engines;
        for (const char* move : {"e2e4", "d2d4", "c2c4"}) {
            engines.push_back(std::make_unique<EngineProcess>(dir));
            engines.back()->send(std::string("xboard\nnotlib\ntime 100\n") + move + "\n");
        }
        for (auto& engine : engines) ASSERT_TRUE(awaitMove(*engine));   // each learned the position it answered
        for (auto& engine : engines) engine->send("quit\n");
        for (auto& engine : engines) EXPECT_EQ(engine->wait(60).status, 0);
        EXPECT_EQ(dir.read("teach.dat").size(), 3 * 88u);
    }
    // SIGTERM while the engine waits for a command, SIGHUP while it searches
    // for ten minutes: both end it soon with what it learned saved.
    for (int sig : {SIGTERM, SIGHUP}) {
        EngineDir dir;
        EngineProcess engine(dir);
        engine.send(sig == SIGTERM ? "xboard\nnotlib\ntime 100\ne2e4\n" : "notlib\nmin_time 600\nmax_time 600\ngo\n");
        std::string line;
        if (sig == SIGTERM)
            ASSERT_TRUE(awaitMove(engine));
        else
            ASSERT_TRUE(engine.readLine(line, 60));   // the search's first report
        engine.signal(sig);
        const RunResult r = engine.wait(120);
        EXPECT_FALSE(r.timedOut) << sig;
        EXPECT_EQ(r.status, 0) << sig;
        EXPECT_EQ(dir.read("teach.dat").size(), 88u) << sig;
    }
}

// TEACH: lines that learn nothing write nothing; what a line learned is on
// disk, appended to the file, before the next command is read.
TEST(UserData, TeachWritesOnlyWhatALineLearned) {
    EngineDir dir;
    std::string others;
    for (int i = 0; i < 2000; ++i) others += std::string(87, char(i)) + '\0';   // positions of no game
    dir.write("teach.dat", others);
    std::string games;
    for (int i = 0; i < 300; ++i) games += "zz\n";
    dir.write("GAMES.TXT", games + "e2e4\n");
    const ino_t before = inodeOf(dir.file("teach.dat"));
    EngineProcess engine(dir);
    engine.send("notlib\nteach games.txt\nget_time_limit\n");
    std::string line;
    while (engine.readLine(line, 120) && line.rfind("# MIN_TIME", 0) != 0) {
    }
    ASSERT_EQ(line.rfind("# MIN_TIME", 0), 0u);
    EXPECT_EQ(inodeOf(dir.file("teach.dat")), before);   // never replaced while it taught
    const std::string now = dir.read("teach.dat");
    ASSERT_EQ(now.size(), others.size() + 88u);
    EXPECT_EQ(now.substr(0, others.size()), others);
    engine.send("quit\n");
    EXPECT_EQ(engine.wait(60).status, 0);
}

}  // namespace
