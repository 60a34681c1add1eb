// UCI mode through the real binary: handshake, positions and moves, limits,
// the interface heard while the engine thinks, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <sstream>
#include <vector>

#include "support/process.h"

namespace {

const std::regex uciMove(R"([a-h][1-8][a-h][1-8][nbrq]?)");
// The play search (the default) adds seldepth, multipv, a bound and hashfull.
const std::regex infoLine(R"(info depth (\d+)(?: seldepth \d+ multipv \d+)? score (cp -?\d+|mate -?\d+))"
                          R"((?: lowerbound| upperbound)? nodes (\d+) nps \d+(?: hashfull \d+)? time (\d+))"
                          R"( pv((?: [a-h][1-8][a-h][1-8][nbrq]?)+))");

// What a session printed: its info lines and the bestmove answers.
struct Session {
    std::vector<std::string> infos;
    std::vector<std::string> infoStrings;
    std::vector<std::string> bestmoves;
    std::vector<std::string> ponders;   // the ponder move of each bestmove line, or empty
    std::vector<std::string> other;
};

Session readSession(const std::string& out) {
    Session s;
    for (const std::string& line : splitLines(out)) {
        if (line.rfind("info string ", 0) == 0) s.infoStrings.push_back(line.substr(12));
        else if (line.rfind("info ", 0) == 0) s.infos.push_back(line);
        else if (line.rfind("bestmove ", 0) == 0) {
            const size_t ponder = line.find(" ponder ");
            s.bestmoves.push_back(line.substr(9, ponder == std::string::npos ? std::string::npos : ponder - 9));
            s.ponders.push_back(ponder == std::string::npos ? "" : line.substr(ponder + 8));
        }
        else s.other.push_back(line);
    }
    return s;
}

const char* const handshake =
    "id name Rotor 1.00\n"
    "id author The Rotor developers\n"
    "option name Hash type spin default 8 min 8 max 4096\n"
    "option name Clear Hash type button\n"
    "option name Threads type spin default 1 min 1 max 256\n"
    "option name OwnBook type check default false\n"
    "option name Learning type check default true\n"
    "option name Move Overhead type spin default 30 min 0 max 5000\n"
    "option name SelectiveSearch type check default true\n"
    "option name MultiPV type spin default 1 min 1 max 64\n"
    "option name Ponder type check default false\n"
    "uciok\n";

const std::string noBook = "uci\nsetoption name OwnBook value false\n";

TEST(UciHandshake, IdentifiesItselfAndTakesOptionsByNameWithoutRegardToCase) {
    // Console words count before "uci" only.
    EngineDir dir;
    RunResult r = dir.run(
        "get_time_limit\nUCI\nget_time_limit\nsetoption name hash value 16\nsetoption name MOVE overhead value 100\n"
        "setoption name clear hash\nsetoption name Threads value 1\nsetoption name ownbook value FALSE\n"
        "setoption name Learning value true\nuci\nisready\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("# MIN_TIME: 5; MAX_TIME: 15; MIN_DEPTH: 8\n") + handshake +
                         "info string unknown command 'get_time_limit'\n" + handshake + "readyok\n");
}

// Each row sets up a position after the handshake (book off), searches it to
// depth 3 and expects this answer (empty: any move) and remark (if any).
struct PositionCase {
    const char* name;
    std::string position;
    const char* bestmove;
    const char* remark = nullptr;
};

TEST(UciPositions, MovesAreAppliedAsTheInterfaceMeansThem) {
    // 300 plies of knight moves, one more than the game record holds: it then
    // keeps the recent moves, enough to see the repetition at the end and an
    // en passant capture after a double step.
    std::string shuffle;
    for (int i = 0; i < 75; ++i) shuffle += " g1f3 g8f6 f3g1 f6g8";
    const PositionCase cases[] = {
        // Promoting to a queen stalemates, to a rook it does not.
        {"queen stalemates", "fen 8/k1P5/8/2K5/8/8/8/8 w - - 0 1 moves c7c8q", "0000"},
        {"rook does not", "fen 8/k1P5/8/2K5/8/8/8/8 w - - 0 1 moves c7c8r", ""},
        // A rook mates, a bishop gives no check and leaves one move.
        {"rook mates", "fen k7/2P5/1K6/8/8/8/8/8 w - - 0 1 moves c7c8r", "0000"},
        {"bishop does not", "fen k7/2P5/1K6/8/8/8/8/8 w - - 0 1 moves c7c8b", "a8b8"},
        {"knight checks", "fen 8/k1P5/8/2K5/8/8/8/8 w - - 0 1 moves c7c8n", ""},
        {"upper-case promotion letter", "fen k7/2P5/1K6/8/8/8/8/8 w - - 0 1 moves c7c8B", "a8b8"},
        // Castling as the king's move: the rook stands on f1 (then e1) and d8.
        {"castling", "startpos moves e2e4 e7e5 g1f3 b8c6 f1c4 g8f6 e1g1 d7d6 f1e1 c8e6 d2d3 d8d7 b1c3 e8c8 a2a3 d8e8",
         ""},
        {"en passant", "startpos moves e2e4 a7a6 e4e5 d7d5 e5d6", ""},
        {"en passant from the FEN", "fen rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3 moves e5f6", ""},
        {"four FEN fields", "fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", "d1d8"},
        {"long game", "startpos moves" + shuffle + " e2e4 a7a6 e4e5 d7d5 e5d6 c7d6", ""},
        {"long game back at the start", "startpos moves" + shuffle, "",
         "the game is drawn: a repeated position, or more than 50 reversible plies"},
        {"checkmated", "fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1 moves d1d8", "0000"},
        // Black passes: White mates.
        {"null move", "fen k7/8/1K6/8/8/8/8/7R b - - 0 1 moves 0000", "h1h8"},
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EngineDir dir;
        RunResult r = dir.run(noBook + "position " + c.position + "\ngo depth 3\nquit\n");
        EXPECT_EQ(r.status, 0);
        const Session s = readSession(r.out);
        if (c.remark) {
            EXPECT_EQ(s.infoStrings, std::vector<std::string>{c.remark});
        } else {
            EXPECT_TRUE(s.infoStrings.empty()) << s.infoStrings[0];
        }
        ASSERT_EQ(s.bestmoves.size(), 1u) << r.out;
        if (*c.bestmove) {
            EXPECT_EQ(s.bestmoves[0], c.bestmove);
        } else {
            EXPECT_TRUE(std::regex_match(s.bestmoves[0], uciMove)) << s.bestmoves[0];
        }
        for (const std::string& info : s.infos) EXPECT_TRUE(std::regex_match(info, infoLine)) << info;
    }
}

// Mate scores in moves, as an independent engine gives them for these positions.
TEST(UciPositions, MateScoresCountMoves) {
    const struct {
        const char* fen;
        const char* score;
        const char* bestmove;
    } cases[] = {
        {"k7/8/1K6/8/8/8/8/7R w - - 0 1", "mate 1", "h1h8"},
        {"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4", "mate 1", "h5f7"},
        {"k7/8/2K5/8/8/8/8/1R6 w - - 0 1", "mate 2", "c6c7"},
        {"k7/8/1K6/8/8/8/8/n6R b - - 0 1", "mate -1", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fen);
        EngineDir dir;
        RunResult r = dir.run(noBook + "position fen " + c.fen + "\ngo depth 6\nquit\n");
        const Session s = readSession(r.out);
        ASSERT_FALSE(s.infos.empty()) << r.out;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(s.infos.back(), m, infoLine)) << s.infos.back();
        EXPECT_EQ(m[2], c.score);
        ASSERT_EQ(s.bestmoves.size(), 1u);
        if (*c.bestmove) {
            EXPECT_EQ(s.bestmoves[0], c.bestmove);
        }
    }
}

// Bad lines get a reason and leave the position as it was: there Black's only
// move is a8b8.
TEST(UciBadInput, IsExplainedAndKeepsThePosition) {
    const struct {
        const char* line;
        const char* reason;   // the start of the info string
    } cases[] = {
        {"position fen xx", "invalid FEN 'xx'"},
        {"position fen", "invalid FEN ''"},
        {"position fen 8/8/8/8/8/8/8/8 w", "FEN '8/8/8/8/8/8/8/8 w': each side needs exactly one king"},
        {"position fen K6r/8/8/8/8/8/8/k7 b", "FEN 'K6r/8/8/8/8/8/8/k7 b': the side not to move is in check"},
        {"position fen QQQQQQQQ/QQQQQQQQ/QQQk4/8/8/8/8/K7 w", "FEN 'QQQQQQQQ/QQQQQQQQ/QQQk4/8/8/8/8/K7 w': more than"},
        {"position fen 4k3/pppppppp/p7/8/8/8/8/4K3 w", "FEN '4k3/pppppppp/p7/8/8/8/8/4K3 w': more than eight pawns"},
        {"position fen R1n1K3/8/8/8/8/8/8/4k3 w Q -", "FEN 'R1n1K3/8/8/8/8/8/8/4k3 w Q -': castling rights for a king"},
        {"position startpos moves e2e5", "illegal move 'e2e5'"},
        {"position startpos moves e2e4 e7e5 e1g1", "illegal move 'e1g1'"},
        {"position startpos moves e2e4 e7e5 e4e5", "illegal move 'e4e5'"},
        {"position startpos moves e2e4 e7e6 o-o", "illegal move 'o-o'"},
        {"position startpos e2e4", "expected moves, not 'e2e4'"},
        {"position fen k7/8/1K6/8/8/8/8/R7 b - - 0 1 moves 0000", "illegal move '0000'"},   // a pass in check
        {"position sideways", "position needs startpos or fen, not 'sideways'"},
        {"position", "position needs startpos or fen"},
        {"xyzzy 1 2 3", "unknown command 'xyzzy'"},
        {"setoption name Hash value lots", "Hash: value 'lots' not taken"},
        {"setoption name Hash value 4", "Hash: value '4' not taken"},
        {"setoption name OwnBook value maybe", "OwnBook: value 'maybe' not taken"},
        {"setoption name Colour value red", "no option named 'Colour'"},
        {"setoption Hash 16", "setoption needs"},
        {"bench deep", "bench [play] [depth [positions]]"},
        {"bench 3 99", "bench [play] [depth [positions]]"},
        {"\x01\x02\xff\x7f", "unknown command"},
    };
    const std::string base = "position fen k7/2P5/1K6/8/8/8/8/8 w - - 0 1 moves c7c8b\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EngineDir dir;
        RunResult r = dir.run(noBook + base + c.line + "\ngo depth 2\nquit\n");
        EXPECT_EQ(r.status, 0);
        const Session s = readSession(r.out);
        ASSERT_EQ(s.infoStrings.size(), 1u) << r.out;
        EXPECT_EQ(s.infoStrings[0].rfind(c.reason, 0), 0u) << s.infoStrings[0];
        ASSERT_EQ(s.bestmoves.size(), 1u) << r.out;
        EXPECT_EQ(s.bestmoves[0], "a8b8");
        EXPECT_EQ(s.other.size(), size_t(12)) << "the handshake only";
    }
}

TEST(UciLimits, SearchesStopAtTheirLimit) {
    // Generous bounds: the tests share a busy machine. The node limit is
    // checked with the clock, every 4096 nodes. A move time is used up, less
    // the move overhead (30 ms).
    const struct {
        const char* go;
        int depth;           // the deepest info line's depth, 0: any
        uint64_t maxNodes;   // 0: any
        int maxMilliseconds;
        int minMilliseconds = 0;
    } cases[] = {
        {"go depth 4", 4, 0, 0},
        {"go depth 1", 1, 0, 0},
        {"go nodes 30000", 0, 30000 + 4096, 0},
        {"go movetime 300", 0, 0, 300 + 2000, 270},
        {"go wtime 100 btime 100", 0, 0, 2000},
        {"go wtime 100000 btime 100 winc 100 binc 100 movestogo 1", 0, 0, 2000},
        {"go btime 100 wtime 10000 movetime 200 depth 30", 0, 0, 200 + 2000},
        // Black to move with White's clock only: a move at once.
        {"go wtime 100000000 winc 1000", 0, 0, 2000},
        {"go movestogo 5", 0, 0, 2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.go);
        EngineDir dir;
        RunResult r = dir.run(noBook + "position startpos moves e2e4 e7e5 g1f3\n" + c.go + "\nquit\n");
        EXPECT_EQ(r.status, 0);
        const Session s = readSession(r.out);
        ASSERT_EQ(s.bestmoves.size(), 1u);
        EXPECT_TRUE(std::regex_match(s.bestmoves[0], uciMove));
        ASSERT_FALSE(s.infos.empty());
        std::smatch m;
        ASSERT_TRUE(std::regex_match(s.infos.back(), m, infoLine)) << s.infos.back();
        if (c.depth) {
            EXPECT_EQ(std::stoi(m[1]), c.depth);
        }
        if (c.maxNodes) {
            EXPECT_LE(std::stoull(m[3]), c.maxNodes);
        }
        if (c.maxMilliseconds) {
            EXPECT_LE(std::stoi(m[4]), c.maxMilliseconds);
        }
        EXPECT_GE(std::stoi(m[4]), c.minMilliseconds);
    }
}

// Reads lines until one starts with the prefix; false when the output ends
// or stalls first. A bestmove before it is recorded in early.
bool readUntil(EngineProcess& engine, const std::string& prefix, std::string* early = nullptr, int timeout = 60) {
    std::string line;
    while (engine.readLine(line, timeout)) {
        if (line.rfind(prefix, 0) == 0) return true;
        if (early && line.rfind("bestmove", 0) == 0) *early = line;
    }
    return false;
}

TEST(UciThinking, IsreadyIsAnsweredAndStopEndsTheSearch) {
    EngineDir dir;
    EngineProcess engine(dir);
    engine.send(noBook + "position startpos\ngo infinite\n");
    ASSERT_TRUE(readUntil(engine, "info depth 5"));
    engine.send("isready\n");
    std::string early;
    ASSERT_TRUE(readUntil(engine, "readyok", &early));
    EXPECT_EQ(early, "") << "the search goes on";
    engine.send("stop\n");
    std::string line;
    ASSERT_TRUE(readUntil(engine, "bestmove ", nullptr, 30));
    engine.send("isready\nquit\n");
    ASSERT_TRUE(engine.readLine(line));
    EXPECT_EQ(line, "readyok");
    EXPECT_EQ(engine.wait().status, 0);
}

TEST(UciThinking, InfiniteSearchWaitsForStopAfterItEnds) {
    const char* const positions[] = {
        "fen k7/2P5/1K6/8/8/8/8/8 w - - 0 1 moves c7c8b",   // a single legal move
        "fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",         // mate in one
        "fen 8/8/8/4k3/8/8/8/4K3 w - - 0 1",               // bare kings: depth 50 at once
        "startpos",                                         // a book move
    };
    for (const char* position : positions) {
        SCOPED_TRACE(position);
        EngineDir dir;
        EngineProcess engine(dir);
        engine.send(std::string("uci\nposition ") + position + "\ngo infinite\n");
        std::string early;
        ASSERT_TRUE(readUntil(engine, "uciok"));
        engine.send("isready\n");
        ASSERT_TRUE(readUntil(engine, "readyok", &early));
        // Two seconds of output: the progress lines keep coming while it thinks.
        std::string line;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < until && engine.readLine(line, 1))
            if (line.rfind("bestmove", 0) == 0) early = line;
        EXPECT_EQ(early, "") << "no move before stop";
        engine.send("stop\n");
        ASSERT_TRUE(readUntil(engine, "bestmove ", nullptr, 30));
        engine.send("quit\n");
        EXPECT_EQ(engine.wait().status, 0);
    }
}

TEST(UciThinking, QuitWhileThinkingEndsTheEngineAndSavesAsLearningSays) {
    const struct {
        const char* learning;
        bool saved;
    } cases[] = {{"true", true}, {"false", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.learning);
        EngineDir dir;
        EngineProcess engine(dir);
        // The fixed search is the one that learns.
        engine.send(noBook + "setoption name SelectiveSearch value false\nsetoption name Learning value " +
                    c.learning + "\nposition startpos moves e2e4\ngo depth 4\n");
        ASSERT_TRUE(readUntil(engine, "bestmove "));
        engine.send("position startpos moves e2e4 e7e5\ngo wtime 1000000 btime 1000000\n");
        ASSERT_TRUE(readUntil(engine, "info depth 4"));
        engine.send("quit\n");
        RunResult r = engine.wait(20);   // long before the minutes the move had
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(dir.exists("teach.dat"), c.saved);
        if (c.saved) {
            EXPECT_EQ(dir.read("teach.dat").size(), 2 * 88u) << "both searches learned";
        }
    }
}

TEST(UciThinking, EndOfInputEndsASearchOnTheClockAndSaves) {
    EngineDir dir;
    RunResult r = dir.run(noBook + "position startpos moves e2e4\ngo wtime 100000000 btime 100000000\n", 50);
    EXPECT_FALSE(r.timedOut) << "the clock gave the move many minutes";
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readSession(r.out).bestmoves.size(), 1u);
    EXPECT_TRUE(dir.exists("teach.dat"));
}

TEST(UciThinking, PipedSessionWaitsForEachMoveAndEndOfInputEndsAnInfiniteSearch) {
    EngineDir dir;
    RunResult r = dir.run(noBook + "position startpos\ngo depth 5\nisready\nposition startpos moves e2e4\ngo depth 5\n"
                                   "position startpos moves d2d4\ngo infinite\n",
                          60);
    EXPECT_EQ(r.status, 0);
    const Session s = readSession(r.out);
    EXPECT_EQ(s.bestmoves.size(), 3u) << r.out;
    int fifth = 0;
    for (const std::string& info : s.infos) fifth += info.rfind("info depth 5 ", 0) == 0;
    EXPECT_GE(fifth, 2) << "each move searched to its depth";
    EXPECT_EQ(s.other.back(), "readyok");
}

// Both searches, the play search (the default) and the fixed one.
const char* const bothSearches[] = {"", "setoption name SelectiveSearch value false\n"};

TEST(UciGo, SearchmovesRestrictTheAnswer) {
    const struct {
        const char* go;
        std::vector<std::string> allowed;
    } cases[] = {
        {"go depth 4 searchmoves a7a6 h7h6", {"a7a6", "h7h6"}},
        {"go movetime 200 searchmoves b8c6", {"b8c6"}},
        {"go nodes 20000 searchmoves g7g5 xx depth 3", {"g7g5"}},   // the list ends at a word that is no move
    };
    for (const char* search : bothSearches)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(search) + c.go);
            EngineDir dir;
            RunResult r = dir.run(std::string("uci\n") + search + "position startpos moves e2e4 e7e5 g1f3 d7d6\n"
                                  "position startpos moves e2e4 e7e5 g1f3\n" + c.go + "\nquit\n");
            const Session s = readSession(r.out);
            ASSERT_EQ(s.bestmoves.size(), 1u) << r.out;
            EXPECT_NE(std::find(c.allowed.begin(), c.allowed.end(), s.bestmoves[0]), c.allowed.end()) << r.out;
        }
}

// In the initial position the book has moves: with OwnBook on a plain "go"
// answers from it, still with a scored info line; analysis never does.
TEST(UciGo, BookMovesAreScoredAndAnalysisSearches) {
    for (const char* book : {"false", "true"}) {
        SCOPED_TRACE(book);
        EngineDir dir;
        EngineProcess engine(dir);
        engine.send(std::string("uci\nsetoption name OwnBook value ") + book +
                    "\nposition startpos\ngo wtime 1000 btime 1000\n");
        std::string line, score;
        while (engine.readLine(line) && line.rfind("bestmove", 0) != 0)
            if (std::regex_match(line, infoLine)) score = line;
        EXPECT_NE(score, "") << "a scored info line before " << line;
        engine.send("go infinite\n");
        ASSERT_TRUE(readUntil(engine, "info depth 5"));
        engine.send("stop\n");
        ASSERT_TRUE(readUntil(engine, "bestmove "));
        engine.send("quit\n");
        EXPECT_EQ(engine.wait().status, 0);
    }
}

TEST(UciGo, MultiPvReportsTheLinesBestFirst) {
    EngineDir dir;
    RunResult r = dir.run("uci\nsetoption name MultiPV value 3\nposition startpos\ngo depth 6\nquit\n");
    const Session s = readSession(r.out);
    const std::regex numbered(R"(info depth (\d+) seldepth \d+ multipv (\d) score cp (-?\d+) nodes .*)");
    std::vector<int> lines, scores;
    for (const std::string& info : s.infos) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(info, m, numbered)) << info;
        lines.push_back(std::stoi(m[2]));
        scores.push_back(std::stoi(m[3]));
    }
    ASSERT_GE(lines.size(), 18u) << r.out;   // three lines at each of six depths at least
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], int(i % 3) + 1);
        if (lines[i] > 1) {
            EXPECT_LE(scores[i], scores[i - 1]);
        }
    }
}

TEST(UciGo, PonderSearchesUntilPonderhitAndNamesALegalReply) {
    for (const char* search : bothSearches) {
        SCOPED_TRACE(search);
        EngineDir dir;
        EngineProcess engine(dir);
        const std::string moves = "position startpos moves e2e4 e7e5";
        engine.send(std::string("uci\n") + search + moves + "\ngo ponder wtime 3000 btime 3000\n");
        std::string early;
        ASSERT_TRUE(readUntil(engine, "info depth 6", &early));
        EXPECT_EQ(early, "") << "no move while pondering";
        engine.send("ponderhit\n");
        std::string line;
        while (engine.readLine(line, 30) && line.rfind("bestmove ", 0) != 0) {
        }
        std::smatch m;
        const std::regex bestAndPonder(R"(bestmove (\S+) ponder (\S+))");
        ASSERT_TRUE(std::regex_match(line, m, bestAndPonder)) << line;
        engine.send("quit\n");
        EXPECT_EQ(engine.wait().status, 0);
        // The answer and its ponder move, played on, make a legal line.
        EngineDir check;
        RunResult r = check.run(noBook + moves + " " + m[1].str() + " " + m[2].str() + "\ngo depth 2\nquit\n");
        EXPECT_TRUE(readSession(r.out).infoStrings.empty()) << r.out;
    }
}

// A rook up with a halfmove clock of 99 (and, by the engine's count, more
// than 50 reversible plies behind): only a pawn move keeps a win.
TEST(UciGo, TheFenHalfmoveClockCountsTowardTheFiftyMoveRule) {
    const struct {
        const char* fen;
        const char* score;          // the last info line's, or empty
        const char* moves;          // the answer is among these, or empty
    } cases[] = {
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 120", "", ""},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 99 120", "cp 0", ""},
        {"4k3/8/8/8/8/8/4P3/R3K3 w - - 99 120", "", "e2e3 e2e4"},
    };
    for (const char* search : bothSearches)
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(search) + c.fen);
            EngineDir dir;
            RunResult r = dir.run(std::string("uci\n") + search + "position fen " + c.fen + "\ngo depth 5\nquit\n");
            const Session s = readSession(r.out);
            ASSERT_EQ(s.bestmoves.size(), 1u) << r.out;
            ASSERT_FALSE(s.infos.empty());
            std::smatch m;
            ASSERT_TRUE(std::regex_match(s.infos.back(), m, infoLine)) << s.infos.back();
            if (*c.score) {
                EXPECT_EQ(m[2], c.score);
            } else {
                EXPECT_NE(m[2], "cp 0");
            }
            if (*c.moves) {
                EXPECT_NE(std::string(c.moves).find(s.bestmoves[0]), std::string::npos) << s.bestmoves[0];
            }
        }
}

// A search of a second and more shows where it stands at least once, and
// every depth it completes.
TEST(UciGo, ProgressIsReported) {
    const std::regex progress(R"(info depth \d+ currmove [a-h][1-8][a-h][1-8][nbrq]? currmovenumber \d+ nodes \d+)"
                              R"( nps \d+ time \d+)");
    const std::regex full(R"(info depth (\d+) seldepth \d+ multipv 1 score .* hashfull \d+ time .*)");
    for (const char* search : bothSearches) {
        SCOPED_TRACE(search);
        EngineDir dir;
        RunResult r = dir.run(noBook + search + "position startpos\ngo movetime 1500\nquit\n");
        int progressLines = 0, deepest = 0;
        std::vector<bool> depths(64, false);
        for (const std::string& line : readSession(r.out).infos) {
            std::smatch m;
            progressLines += std::regex_match(line, progress);
            if (!std::regex_match(line, m, full)) continue;
            depths[std::stoi(m[1])] = true;
            deepest = std::max(deepest, std::stoi(m[1]));
        }
        EXPECT_GE(progressLines, 1) << r.out;
        for (int d = 2; d <= deepest; ++d) EXPECT_TRUE(depths[d]) << d;
    }
}

// The search of the console and the bench tool: at a fixed depth with the
// book and the teach table off, UCI gives the same move and node count.
TEST(UciSameEngine, FixedDepthSearchesMatchTheBench) {
    constexpr int DEPTH = 4, POSITIONS = 12;
    EngineDir dir;
    RunResult bench = runProgram(ROTOR_BUILD_DIR "/bench",
                                 {ROTOR_BUILD_DIR "/bench", std::to_string(DEPTH), std::to_string(POSITIONS)}, "",
                                 dir.path(), 120);
    ASSERT_EQ(bench.status, 0);
    const std::regex benchLine(R"( ?\d+ (\S+) +score +(-?\d+) nodes +(\d+)  (.*))");
    std::string input = noBook + "setoption name Learning value false\nsetoption name SelectiveSearch value false\n";
    std::vector<std::smatch> expected;
    std::vector<std::string> benchLines = splitLines(bench.out);
    for (const std::string& line : benchLines) {
        std::smatch m;
        if (!std::regex_match(line, m, benchLine)) continue;
        expected.push_back(m);
        input += "ucinewgame\nposition fen " + m[4].str() + "\ngo depth " + std::to_string(DEPTH) + "\n";
    }
    ASSERT_EQ(expected.size(), size_t(POSITIONS)) << bench.out;
    input += "bench " + std::to_string(DEPTH) + " " + std::to_string(POSITIONS) + "\n";
    RunResult r = dir.run(input, 120);
    ASSERT_EQ(r.status, 0);
    // Per search: its final info line (the deepest) and its bestmove.
    std::vector<std::string> finals, moves;
    std::string lastInfo;
    for (const std::string& line : splitLines(r.out)) {
        if (line.rfind("info depth", 0) == 0) lastInfo = line;
        if (line.rfind("bestmove ", 0) == 0) {
            finals.push_back(lastInfo);
            moves.push_back(line.substr(9, line.find(" ponder") - 9));
            lastInfo.clear();
        }
    }
    ASSERT_EQ(finals.size(), expected.size()) << r.out;
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i][4].str());
        const std::string benchMove = expected[i][1];
        if (benchMove.rfind("o-o", 0) != 0) {
            EXPECT_EQ(moves[i], benchMove);
        }
        std::smatch m;
        if (expected[i][3] == "0") continue;   // a single legal move: no search
        ASSERT_TRUE(std::regex_match(finals[i], m, infoLine)) << finals[i];
        EXPECT_EQ(m[3], expected[i][3]);
    }
    // The bench command's total is the tool's.
    const std::regex total(R"(bench: (\d+) nodes, \d+ ms, \d+ nodes/s)");
    std::smatch t;
    ASSERT_TRUE(std::regex_match(benchLines.back(), t, total)) << benchLines.back();
    EXPECT_NE(r.out.find("\nNodes searched  : " + t[1].str() + "\nNodes/second    : "), std::string::npos) << r.out;
    // So is the command line's, in the report's last two lines.
    RunResult line = runProgram(dir.file("rotor"), {"rotor", "bench", std::to_string(DEPTH), std::to_string(POSITIONS)},
                                "", dir.path(), 120);
    EXPECT_EQ(line.status, 0);
    const std::vector<std::string> report = splitLines(line.out);
    ASSERT_GE(report.size(), 2u) << line.out;
    EXPECT_EQ(report[report.size() - 2], "Nodes searched  : " + t[1].str());
    EXPECT_TRUE(std::regex_match(report.back(), std::regex(R"(Nodes/second    : \d+)"))) << report.back();
}

}  // namespace

// Several search threads: a legal answer, and stop, quit and a new game heard
// at once while they search (the helpers end with the main thread).
TEST(UciThreads, TwoThreadsAnswerAndStopAtOnce) {
    const std::string threads = noBook + "setoption name Threads value 2\n";
    EngineDir dir;
    RunResult r = dir.run(threads + "position startpos moves e2e4\ngo depth 8\nucinewgame\nposition startpos\ngo nodes 20000\n");
    EXPECT_EQ(r.status, 0);
    const Session s = readSession(r.out);
    ASSERT_EQ(s.bestmoves.size(), 2u) << r.out;
    for (const std::string& move : s.bestmoves) EXPECT_TRUE(std::regex_match(move.substr(0, move.find(' ')), uciMove));

    for (const char* ending : {"stop\n", "quit\n"}) {
        SCOPED_TRACE(ending);
        EngineDir d;
        EngineProcess engine(d);
        engine.send(threads + "position startpos\ngo infinite\n");
        ASSERT_TRUE(readUntil(engine, "info depth 6"));
        engine.send(ending);
        if (std::string(ending) == "stop\n") {
            ASSERT_TRUE(readUntil(engine, "bestmove ", nullptr, 10));
            engine.send("quit\n");
        }
        const RunResult end = engine.wait(10);
        EXPECT_FALSE(end.timedOut);
        EXPECT_EQ(end.status, 0);
    }
}
