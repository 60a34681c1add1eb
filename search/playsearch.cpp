// The play search (search/play.h): iterative deepening over the legal root
// moves with aspiration windows and several lines, a principal variation
// search below with reductions and pruning, and a quiescence search of
// captures with static exchange pruning.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/rootposition.h"
#include "eval/evaluate.h"
#include "search/play.h"
#include "search/playthreads.h"
#include "search/playtt.h"

// The board and evaluation of the threaded build: one board per thread.
using namespace threaded;

namespace {

constexpr int INFINITE_SCORE = MATE_SCORE + 1;
constexpr int DRAW_SCORE = 0;
constexpr int NO_EVAL = -INFINITE_SCORE;

int matedAt(int ply) { return -MATE_SCORE + ply; }
int mateAt(int ply) { return MATE_SCORE - ply; }
bool isMateScore(int score) { return score > MATE_FOUND || score < -MATE_FOUND; }

// Table scores count mates from the node, the search's from the root.
int toTable(int score, int ply) { return score > MATE_FOUND ? score + ply : score < -MATE_FOUND ? score - ply : score; }
int fromTable(int score, int ply) { return score > MATE_FOUND ? score - ply : score < -MATE_FOUND ? score + ply : score; }

// ---------------------------------------------------------------- tuning

constexpr int ASPIRATION_DEPTH = 4;     // from this depth the root searches in a window
constexpr int ASPIRATION_WINDOW = 25;
constexpr int NODES_PER_CLOCK_READING = 1024;

constexpr int HISTORY_MAX = 16384;      // ordering statistics stay within ±HISTORY_MAX
// A cut-off's bonus grows with depth to about a seventh of the bound: the
// statistics follow what the current search finds within a few cut-offs.
int historyBonus(int depth) { return std::clamp(500 * depth - 600, 60, 2400); }

constexpr int RAZOR_DEPTH = 2;
constexpr int RAZOR_MARGIN = 250;       // per ply of depth
constexpr int REVERSE_FUTILITY_DEPTH = 8;
constexpr int REVERSE_FUTILITY_MARGIN = 80;   // per ply of depth
constexpr int NULL_MOVE_BASE_REDUCTION = 3;
constexpr int NULL_MOVE_DEPTH_DIVISOR = 4;    // one more ply of reduction for every four of depth
constexpr int NULL_MOVE_EVAL_DIVISOR = 200;   // and for every two pawns the eval is above beta
constexpr int NULL_MOVE_EVAL_PLIES = 2;       // at most this many of those
constexpr int FUTILITY_DEPTH = 6;             // in plies of reduced depth
constexpr int FUTILITY_BASE = 100;
constexpr int FUTILITY_MARGIN = 100;          // per ply of reduced depth
constexpr int QUIET_SEE_MARGIN = 30;          // quiet moves losing more than this times depth² are pruned
constexpr int CAPTURE_SEE_MARGIN = 100;       // captures losing more than this per ply of depth are pruned
constexpr int SEE_PRUNE_DEPTH = 6;
constexpr int DELTA_MARGIN = 200;             // quiescence: a capture that cannot bring the score near alpha is skipped
constexpr int LMR_MIN_DEPTH = 3;
constexpr int HISTORY_REDUCTION_DIVISOR = 8000;   // a ply less (more) reduction per this much history
constexpr int HISTORY_PRUNE_DEPTH = 3;        // quiet moves this near the horizon ...
constexpr int HISTORY_PRUNE_MARGIN = 4000;    // ... with history below -this per ply are pruned
constexpr int IIR_DEPTH = 4;                  // nodes this deep without a table move search a ply shallower
constexpr int SINGULAR_DEPTH = 8;            // the table move is tested for being the only good one from this depth
constexpr int SINGULAR_TABLE_PLIES = 3;       // on a table bound at most this much shallower
constexpr int SINGULAR_MARGIN = 2;            // per ply of depth below the table's score
constexpr int DOUBLE_EXTENSION_MARGIN = 20;   // a table move this far above the others' bound is extended twice
constexpr int MAX_DOUBLE_EXTENSIONS = 6;      // ... at most this many times on a line
constexpr int FIFTY_MOVE_RULE_PLIES = 100;    // the reversible plies that draw a game
// Correction: what searches found the static score to miss, by pawn structure.
constexpr int CORRECTION_BITS = 14;
constexpr int CORRECTION_GRAIN = 256;         // an entry counts 1/GRAIN of a score unit
constexpr int CORRECTION_LIMIT = 64 * CORRECTION_GRAIN;
constexpr int CORRECTION_WEIGHT_SCALE = 256;
constexpr int CORRECTION_MAX_WEIGHT = 128;
// Continuation histories: quiet moves after the move this many plies back
// (the opponent's last, our own before it, our own two moves back).
constexpr int CONTINUATION_PLIES[] = {1, 2, 4};
constexpr int CONTINUATION_COUNT = int(std::size(CONTINUATION_PLIES));

// ---------------------------------------------------------------- per-thread state

struct StackEntry {
    Move move;          // the move made at this ply (0: a null move)
    int movedPiece;     // the piece that made it
    int staticEval;     // NO_EVAL in check
    Move killers[2];
    int reversible;     // reversible plies up to this node (fifty-move rule)
    HashKey key;        // the table's key of the node, set as it is entered
    int doubleExtensions;   // double extensions on the line to this node
};

struct RootMove {
    Move move;
    int score;
    int previousScore;
    int selDepth;
    PlayBound bound;
    Move pv[PLAY_MAX_PLY + 1];
    int pvLength;
};

// Everything one search thread owns. The board, the move-list stack and the
// game record are the engine's globals for now; a thread with a board of its
// own moves them in here.
struct PlayThread {
    int history[2][64][64];             // quiet moves: [colour][from][to]
    int captureHistory[7][64][7];       // [piece][to][captured piece]
    Move counterMoves[2][7][64];        // the reply to the opponent's last move: [colour][its piece][its target]
    // Quiet moves after an earlier move: [colour][that move's piece][its
    // target][piece][target].
    int16_t continuation[CONTINUATION_COUNT][2][7][64][7][64];   // [i]: CONTINUATION_PLIES[i] plies back
    int16_t pawnCorrection[2][1 << CORRECTION_BITS];   // [colour][pawn structure]
    StackEntry stackStorage[PLAY_MAX_PLY + 3];
    StackEntry* stack = stackStorage + 1;   // stack[-1] exists
    Move pv[PLAY_MAX_PLY + 1][PLAY_MAX_PLY + 1];
    int pvLength[PLAY_MAX_PLY + 1];
    RootMove rootMoves[PLAY_MAX_ROOT_MOVES];
    int rootCount;
    int lineIndex;                      // the MultiPV line being searched
    uint64_t nodes;
    std::atomic<uint64_t> sharedNodes{0};   // nodes as other threads read them, from the last clock reading
    int index = 0;                      // 0: the main thread; helpers count from 1
    RootMove completed;                 // the best line of the deepest completed iteration
    int completedDepth;
    int selDepth;
    bool stopped;
    int rootDepth;                      // the iteration, and the root move in it (for progress reports)
    Move rootMove;
    int rootMoveNumber;
};

PlayThread mainThread;

// Helper threads search the same root with their own boards and tables and
// share the transposition table; the main thread owns the clock, the reports
// and the result. One record per helper, made when the thread count is set.
std::vector<std::unique_ptr<PlayThread>> helperThreads;
std::atomic<bool> helpersStop{false};   // set when the main thread stops
RootPosition rootPosition;          // the position every thread sets up
const PlayRequest* rootRequest = nullptr;

uint64_t helperNodes() {
    uint64_t n = 0;
    for (const auto& h : helperThreads) n += h->sharedNodes.load(std::memory_order_relaxed);
    return n;
}

// ---------------------------------------------------------------- clock

struct PlayClock {
    int64_t start;   // clockMilliseconds (search/timeman.h) at the start, or at the ponder hit
    PlayLimits limits;
    PlayControl* control;
    bool wasPondering;
    const PlayReporter* reporter;
    int64_t lastProgress;   // elapsed at the last progress report
};
PlayClock searchClock;

int64_t elapsed() { return clockMilliseconds() - searchClock.start; }

// Reads the limits every NODES_PER_CLOCK_READING nodes; true once the search is to stop.
bool checkStop(PlayThread& t) {
    if (t.stopped) return true;
    if (t.nodes % NODES_PER_CLOCK_READING != 0) return false;
    t.sharedNodes.store(t.nodes, std::memory_order_relaxed);
    if (t.index != 0) return t.stopped = helpersStop.load(std::memory_order_relaxed);
    PlayControl& control = *searchClock.control;
    if (control.inputWaiting && control.inputWaiting()) control.stop = true;
    const bool pondering = control.pondering;
    if (searchClock.wasPondering && !pondering) {
        searchClock.start = clockMilliseconds();   // the budget runs from the ponder hit
        searchClock.wasPondering = false;
    }
    if (control.stop) t.stopped = true;
    if (searchClock.limits.nodes && t.nodes >= searchClock.limits.nodes) t.stopped = true;
    const int64_t now = elapsed();
    if (!pondering && now >= searchClock.limits.hardMilliseconds) t.stopped = true;
    if (searchClock.reporter->progress && now - searchClock.lastProgress >= PLAY_PROGRESS_INTERVAL) {
        searchClock.lastProgress = now;
        searchClock.reporter->progress(PlayProgress{t.rootDepth, t.rootMove, t.rootMoveNumber, t.nodes + helperNodes(), now});
    }
    return t.stopped;
}

// ---------------------------------------------------------------- small rules

int lmrTable[PLAY_MAX_DEPTH + 1][64];

void initReductions() {
    for (int d = 1; d <= PLAY_MAX_DEPTH; ++d)
        for (int m = 1; m < 64; ++m) lmrTable[d][m] = int(0.75 + std::log(d) * std::log(m) / 2.25);
}

bool isTactical(Move m) { return (m & CAPTURE_OR_PROMOTION) != 0; }
bool isReversible(Move m) { return m != 0 && !(m & CAPTURE_OR_PROMOTION) && movePromoted(m) != 1; }

bool hasPieces(int colour) {
    const Bitboard pieces = board.pieceBits[KNIGHT] | board.pieceBits[BISHOP] | board.pieceBits[ROOK] |
                            board.pieceBits[QUEEN];
    return (pieces & board.colourBits[colour]) != 0;
}

// Gravity: an entry moves by the bonus and is pulled back the nearer it is to the bound.
template <typename Entry>
void updateStat(Entry& entry, int bonus) { entry = Entry(entry + bonus - entry * std::abs(bonus) / HISTORY_MAX); }

// The continuation entries of a quiet move at this ply after earlier moves
// (null when there is no such move).
struct Continuations {
    int16_t (*table[CONTINUATION_COUNT])[64] = {};   // [piece][target]
};

Continuations continuationsAt(PlayThread& t, int ply) {
    Continuations c;
    const int s = board.sideToMove;
    for (int i = 0; i < CONTINUATION_COUNT && CONTINUATION_PLIES[i] <= ply; ++i) {
        const StackEntry& e = t.stack[ply - CONTINUATION_PLIES[i]];
        if (e.move) c.table[i] = t.continuation[i][s][e.movedPiece][moveTo(e.move)];
    }
    return c;
}

// What history and the continuations say of a quiet move.
int quietStat(const PlayThread& t, const Continuations& c, Move m) {
    const int piece = board.squares[moveFrom(m)], to = moveTo(m);
    int stat = t.history[board.sideToMove][moveFrom(m)][to];
    for (const auto* table : c.table)
        if (table) stat += table[piece][to];
    return stat;
}

// The correction entry of the side to move's pawn structure.
int16_t& pawnCorrectionEntry(PlayThread& t) {
    const Bitboard pawns = board.pieceBits[PAWN];
    const Bitboard mixed = (pawns & board.colourBits[WHITE]) * 0xD6E8FEB86659FD93ull ^
                           (pawns & board.colourBits[BLACK]) * 0x9E3779B97F4A7C15ull;
    return t.pawnCorrection[board.sideToMove][mixed >> (64 - CORRECTION_BITS)];
}

// What the searches of this pawn structure found the static score to miss.
int correction(PlayThread& t) { return pawnCorrectionEntry(t) / CORRECTION_GRAIN; }

int corrected(PlayThread& t, int raw) { return std::clamp(raw + correction(t), -MATE_FOUND + 1, MATE_FOUND - 1); }

// Moves the entry toward the difference, the more the deeper the search.
void updateCorrection(PlayThread& t, int depth, int difference) {
    int16_t& entry = pawnCorrectionEntry(t);
    const int weight = std::min(depth * depth + 2 * depth + 1, CORRECTION_MAX_WEIGHT);
    const int target = std::clamp(difference * CORRECTION_GRAIN, -CORRECTION_LIMIT, CORRECTION_LIMIT);
    entry = int16_t(std::clamp((entry * (CORRECTION_WEIGHT_SCALE - weight) + target * weight) / CORRECTION_WEIGHT_SCALE,
                               -CORRECTION_LIMIT, CORRECTION_LIMIT));
}

// A repetition of a position since the last irreversible move, or a fifty-move draw.
bool isDraw(const PlayThread& t, int ply) {
    const int reversible = t.stack[ply].reversible;
    if (reversible >= FIFTY_MOVE_RULE_PLIES) return true;
    const int current = gameRecord.count + ply - 1;   // the slot of the move that led here
    for (int d = 1; d <= reversible && current - d >= 0; ++d) {
        if (gameRecord.moves[current - d + 1] == 0) return false;   // nothing repeats across a null move
        if (d % 2 == 0 && gameRecord.keys[current - d] == board.hashKey) return true;
    }
    return false;
}


// Makes the move, records it in the game record's slot for this ply, and
// starts fetching the child's table entry.
void enterChild(PlayThread& t, Move move) {
    const int ply = board.ply;
    t.stack[ply].move = move;
    t.stack[ply].movedPiece = board.squares[moveFrom(move)];
    t.stack[ply + 1].reversible = isReversible(move) ? t.stack[ply].reversible + 1 : 0;
    t.stack[ply + 1].doubleExtensions = t.stack[ply].doubleExtensions;
    pushMove(move);
    t.stack[ply + 1].key = playKey();
    playTablePrefetch(t.stack[ply + 1].key);
}

void leaveChild(Move move) { popMove(move); }

// What a move's check depends on, found once per node: the enemy king, the
// squares each kind of piece checks it from, and the side to move's pieces
// that stand alone between it and one of their own sliders (moving one off
// the line uncovers a check).
struct CheckSquares {
    int king;
    Bitboard discoverers;
    Bitboard byPiece[KING + 1];   // the squares a piece of each kind checks from
};

CheckSquares checkSquares() {
    const int s = board.sideToMove;
    const int king = kingSquare(board.opponent);
    const Bitboard own = board.colourBits[s];
    const Bitboard occupied = board.colourBits[WHITE] | board.colourBits[BLACK];
    const Bitboard queens = board.pieceBits[QUEEN] & own;
    Bitboard snipers = (bishopRays(king) & (board.pieceBits[BISHOP] | queens) & own) |
                       (rookRays(king) & (board.pieceBits[ROOK] | queens) & own);
    Bitboard discoverers = 0;
    while (snipers) {
        const Bitboard between = betweenSquares[king][lowestSquare(snipers)] & occupied;
        snipers &= snipers - 1;
        if (popCount(between) == 1) discoverers |= between & own;
    }
    CheckSquares c{king, discoverers, {}};
    // A piece checks from the squares that piece would attack from the king's square.
    c.byPiece[PAWN] = pawnAttacksOf(squareBit(king), board.opponent);
    c.byPiece[KNIGHT] = knightAttacks[king];
    c.byPiece[BISHOP] = bishopAttacks(king);
    c.byPiece[ROOK] = rookAttacks(king);
    c.byPiece[QUEEN] = c.byPiece[BISHOP] | c.byPiece[ROOK];
    return c;
}

// Whether the move checks, before it is made: the piece attacks the king
// from its target, or it leaves a line to the king. Castling and en passant
// checks through the rook or the emptied squares are not seen.
bool givesCheck(Move m, const CheckSquares& c) {
    const int from = moveFrom(m), to = moveTo(m);
    const int piece = (m & PROMOTION) ? movePromoted(m) : board.squares[from];
    if (c.byPiece[piece] >> to & 1) return true;
    return (c.discoverers >> from & 1) && !(betweenSquares[c.king][from] >> to & 1) &&
           !(betweenSquares[c.king][to] >> from & 1);
}

// After enterChild: whether the move gave check.
bool inCheckAfterMove() { return isAttacked(kingSquare(board.sideToMove), board.opponent); }

void updatePv(PlayThread& t, int ply, Move move) {
    t.pv[ply][ply] = move;
    int length = t.pvLength[ply + 1];
    for (int i = ply + 1; i < length; ++i) t.pv[ply][i] = t.pv[ply + 1][i];
    t.pvLength[ply] = std::max(length, ply + 1);
}

// ---------------------------------------------------------------- move ordering

constexpr int SEE_VALUES[8] = {0, PAWN_VALUE, KNIGHT_VALUE, BISHOP_VALUE, ROOK_VALUE, QUEEN_VALUE, 0, 0};
constexpr int BAD_CAPTURE = -(1 << 28);   // the score of a capture found to lose material

enum Stage {
    TABLE_MOVE, MAKE_CAPTURES, GOOD_CAPTURES, KILLER_ONE, KILLER_TWO, COUNTER_MOVE, MAKE_QUIETS, QUIETS,
    BAD_CAPTURES, EVASION_TABLE_MOVE, MAKE_EVASIONS, EVASIONS, QUIESCENCE_TABLE_MOVE, MAKE_QUIESCENCE, QUIESCENCE,
    DONE
};

struct Picker {
    int stage;
    int cursor, end;       // the unread part of the current list
    int captureEnd;        // end of the captures; the quiet moves follow them
    int badStart;          // the losing captures: badStart..captureEnd-1
    Move tableMove;
    Move killers[2];
    Move counter;
    Continuations continuations;   // for the quiet moves' order
    // Set by the search once late quiet moves are pruned: of the quiet moves
    // left only checks are made, unsorted.
    bool skipQuiets;
    CheckSquares checks;
};

int captureScore(const PlayThread& t, Move m) {
    const int piece = board.squares[moveFrom(m)];
    int score = 16 * SEE_VALUES[moveCaptured(m)] + t.captureHistory[piece][moveTo(m)][moveCaptured(m)] / 8;
    if (m & PROMOTION) score += 16 * SEE_VALUES[movePromoted(m)];
    return score;
}

void scoreCaptures(const PlayThread& t, int first, int last) {
    for (int i = first; i < last; ++i) moveScore[i] = captureScore(t, moveStack[i]);
}

void scoreQuiets(const PlayThread& t, const Continuations& c, int first, int last) {
    for (int i = first; i < last; ++i) moveScore[i] = quietStat(t, c, moveStack[i]);
}

// Evasions: captures by the victim's value, then the quiet moves by history and continuation.
void scoreEvasions(const PlayThread& t, const Continuations& c, int first, int last) {
    for (int i = first; i < last; ++i) {
        const Move m = moveStack[i];
        moveScore[i] = isTactical(m) ? (1 << 20) + captureScore(t, m) : quietStat(t, c, m);
    }
}

// Brings the best entry of cursor..end-1 to the cursor.
void pickBest(int cursor, int end) {
    int best = cursor;
    for (int i = cursor + 1; i < end; ++i)
        if (moveScore[i] > moveScore[best]) best = i;
    std::swap(moveStack[cursor], moveStack[best]);
    std::swap(moveScore[cursor], moveScore[best]);
}

// A move word from the table or a killer slot, checked against the position
// before use: only a move the generators would produce here is played.
bool isUsable(Move m) { return m != 0 && isPlayableMove(m); }

bool isQuietSpecial(const Picker& p, Move m) {
    return m == p.tableMove || m == p.killers[0] || m == p.killers[1] || m == p.counter;
}

// Once late quiet moves are pruned, only the quiet moves that check are still made.
bool quietWanted(const Picker& p, Move m) { return !p.skipQuiets || givesCheck(m, p.checks); }

// The best-scored move left before `end` other than the table's move
// (already tried); 0 when none is left.
Move bestBefore(Picker& p, int end) {
    while (p.cursor < end) {
        pickBest(p.cursor, end);
        const Move m = moveStack[p.cursor++];
        if (m != p.tableMove) return m;
    }
    return 0;
}

// The next pseudo-legal move, or 0.
Move nextMove(const PlayThread& t, Picker& p) {
    const int ply = board.ply;
    for (;;) {
        switch (p.stage) {
        case TABLE_MOVE:
        case EVASION_TABLE_MOVE:
        case QUIESCENCE_TABLE_MOVE:
            ++p.stage;
            if (p.tableMove) return p.tableMove;
            break;
        case MAKE_CAPTURES:
        case MAKE_QUIESCENCE:
            plyEnd[ply] = plyEnd[ply - 1];
            generateCaptures();
            p.cursor = plyEnd[ply - 1];
            p.end = p.captureEnd = plyEnd[ply];
            scoreCaptures(t, p.cursor, p.end);
            ++p.stage;
            break;
        case GOOD_CAPTURES:
            while (p.cursor < p.end) {
                pickBest(p.cursor, p.end);
                const Move m = moveStack[p.cursor];
                if (moveScore[p.cursor] <= BAD_CAPTURE / 2) break;   // only losing captures are left
                if (!seeAtLeast(m, 0)) {
                    moveScore[p.cursor] = BAD_CAPTURE + moveScore[p.cursor];
                    continue;
                }
                ++p.cursor;
                if (m != p.tableMove) return m;
            }
            p.badStart = p.cursor;
            ++p.stage;
            break;
        case KILLER_ONE:
        case KILLER_TWO: {
            const Move k = p.killers[p.stage - KILLER_ONE];
            ++p.stage;
            if (k != p.tableMove && !isTactical(k) && isUsable(k) && quietWanted(p, k))
                return k;
            break;
        }
        case COUNTER_MOVE:
            ++p.stage;
            if (p.counter != p.tableMove && p.counter != p.killers[0] && p.counter != p.killers[1] &&
                !isTactical(p.counter) && isUsable(p.counter) && quietWanted(p, p.counter))
                return p.counter;
            break;
        case MAKE_QUIETS:
            ++p.stage;
            generateQuietMoves();
            p.cursor = p.captureEnd;
            p.end = plyEnd[ply];
            if (!p.skipQuiets) scoreQuiets(t, p.continuations, p.cursor, p.end);
            break;
        case QUIETS:
            while (p.cursor < p.end) {
                if (p.skipQuiets) {
                    const Move m = moveStack[p.cursor++];
                    if (!isQuietSpecial(p, m) && givesCheck(m, p.checks)) return m;
                    continue;
                }
                pickBest(p.cursor, p.end);
                const Move m = moveStack[p.cursor++];
                if (!isQuietSpecial(p, m)) return m;
            }
            ++p.stage;
            p.cursor = p.badStart;
            break;
        case BAD_CAPTURES:
            // The losing captures lie from badStart to the end of the captures.
            if (const Move m = bestBefore(p, p.captureEnd)) return m;
            p.stage = DONE;
            break;
        case MAKE_EVASIONS:
            plyEnd[ply] = plyEnd[ply - 1];
            generateCaptures();
            generateQuietMoves();
            p.cursor = plyEnd[ply - 1];
            p.end = plyEnd[ply];
            scoreEvasions(t, p.continuations, p.cursor, p.end);
            ++p.stage;
            break;
        case EVASIONS:
        case QUIESCENCE:
            if (const Move m = bestBefore(p, p.end)) return m;
            p.stage = DONE;
            break;
        default:
            return 0;
        }
    }
}

void startPicker(Picker& p, int stage, Move tableMove) {
    p.stage = stage;
    p.cursor = p.end = p.captureEnd = p.badStart = 0;
    p.tableMove = tableMove;
    p.killers[0] = p.killers[1] = p.counter = 0;
    p.continuations = Continuations{};
    p.skipQuiets = false;
}

// ---------------------------------------------------------------- learning from a cut-off

void updateQuietStat(PlayThread& t, const Continuations& c, Move m, int bonus) {
    const int piece = board.squares[moveFrom(m)], to = moveTo(m);
    updateStat(t.history[board.sideToMove][moveFrom(m)][to], bonus);
    for (auto* table : c.table)
        if (table) updateStat(table[piece][to], bonus);
}

void updateQuietStats(PlayThread& t, int ply, Move best, int depth, const Move* quiets, int quietCount) {
    const int s = board.sideToMove;
    const int bonus = historyBonus(depth);
    const Continuations c = continuationsAt(t, ply);
    updateQuietStat(t, c, best, bonus);
    for (int i = 0; i < quietCount; ++i)
        if (quiets[i] != best) updateQuietStat(t, c, quiets[i], -bonus);
    StackEntry& e = t.stack[ply];
    if (e.killers[0] != best) {
        e.killers[1] = e.killers[0];
        e.killers[0] = best;
    }
    const Move previous = ply > 0 ? t.stack[ply - 1].move : 0;
    if (previous) t.counterMoves[s][board.squares[moveTo(previous)]][moveTo(previous)] = best;
}

void updateCaptureStat(PlayThread& t, Move m, int bonus) {
    updateStat(t.captureHistory[board.squares[moveFrom(m)]][moveTo(m)][moveCaptured(m)], bonus);
}

// ---------------------------------------------------------------- quiescence

// A static score replaced by the table's score when the table's bound says
// the position is worth more (less) than it.
int sharpened(const PlayTableEntry& entry, int tableScore, int eval) {
    if (isMateScore(tableScore)) return eval;
    const bool better = entry.bound == TABLE_EXACT || (entry.bound == TABLE_LOWER) == (tableScore > eval);
    return better ? tableScore : eval;
}

int quiesce(PlayThread& t, int alpha, int beta) {
    const int ply = board.ply;
    t.pvLength[ply] = ply;
    plyEnd[ply] = plyEnd[ply - 1];   // children searched before this node's list is made start where it would
    ++t.nodes;
    if (checkStop(t)) return 0;
    if (ply > t.selDepth) t.selDepth = ply;
    // The fifty-move rule: quiet evasions count toward it here too.
    if (t.stack[ply].reversible >= FIFTY_MOVE_RULE_PLIES) return DRAW_SCORE;
    if (ply >= PLAY_MAX_PLY) return evaluate(alpha, beta);
    const bool pvNode = beta - alpha > 1;

    const KingShield shield = kingShield();
    const bool inCheck = shield.checkers != 0;
    const HashKey key = t.stack[ply].key;
    PlayTableEntry entry{};
    const bool hit = playTableProbe(key, entry);
    const int tableScore = hit ? fromTable(entry.score, ply) : 0;
    if (hit && !pvNode &&
        (entry.bound == TABLE_EXACT || (entry.bound == TABLE_LOWER && tableScore >= beta) ||
         (entry.bound == TABLE_UPPER && tableScore <= alpha)))
        return tableScore;

    int bestScore = -INFINITE_SCORE;
    int standPat = NO_EVAL;
    if (!inCheck) {
        // The static score the table keeps, or the lazy evaluation's in a
        // window moved by the correction; the table's bound sharpens it.
        if (hit && entry.staticEval != PLAY_TABLE_NO_EVAL) {
            standPat = corrected(t, entry.staticEval);
        } else {
            const int shift = correction(t);
            standPat = evaluate(alpha - shift, beta - shift) + shift;
        }
        if (hit) standPat = sharpened(entry, tableScore, standPat);
        if (standPat >= beta) return standPat;
        if (standPat > alpha) alpha = standPat;
        bestScore = standPat;
    }

    Move tableMove = hit ? entry.move : 0;
    if (tableMove && (!isUsable(tableMove) || !isLegalWith(tableMove, shield) || (!inCheck && !isTactical(tableMove))))
        tableMove = 0;
    Picker picker;
    startPicker(picker, inCheck ? EVASION_TABLE_MOVE : QUIESCENCE_TABLE_MOVE, tableMove);
    const int startAlpha = alpha;
    Move bestMove = 0;
    int legal = 0;
    while (const Move move = nextMove(t, picker)) {
        if (!inCheck) {
            // A capture that cannot lift the score to alpha, or that loses material, is left out
            // (before the legality test, which costs more).
            if (!(move & PROMOTION) && standPat + SEE_VALUES[moveCaptured(move)] + DELTA_MARGIN <= alpha) continue;
            if (!seeAtLeast(move, 0)) continue;
        }
        if (move != tableMove && !isLegalWith(move, shield)) continue;
        ++legal;
        enterChild(t, move);
        const int score = -quiesce(t, -beta, -alpha);
        leaveChild(move);
        if (t.stopped) return 0;
        if (score > bestScore) {
            bestScore = score;
            if (score > alpha) {
                bestMove = move;
                if (pvNode) updatePv(t, ply, move);
                if (score >= beta) break;
                alpha = score;
            }
        }
    }
    if (inCheck && legal == 0) return matedAt(ply);
    const int bound = bestScore >= beta ? TABLE_LOWER : bestScore > startAlpha ? TABLE_EXACT : TABLE_UPPER;
    playTableStore(key, bestMove, toTable(bestScore, ply), 0, bound, PLAY_TABLE_NO_EVAL);   // stand pat may be lazy
    return bestScore;
}

// ---------------------------------------------------------------- the main search

// `excluded`: a move left out, to see whether the others reach the bound
// without it (the node is not the table's then: no table cut-off or entry).
int search(PlayThread& t, int alpha, int beta, int depth, bool cutNode, Move excluded = 0) {
    if (depth <= 0) return quiesce(t, alpha, beta);
    const int ply = board.ply;
    const bool pvNode = beta - alpha > 1;
    t.pvLength[ply] = ply;
    plyEnd[ply] = plyEnd[ply - 1];   // children searched before this node's list is made start where it would
    ++t.nodes;
    if (checkStop(t)) return 0;
    if (ply > t.selDepth) t.selDepth = ply;

    // Draws, the ply limit, and mate-distance pruning: no line beats a mate found nearer the root.
    if (isDraw(t, ply)) return DRAW_SCORE;
    if (ply >= PLAY_MAX_PLY) return evaluate(-INFINITE_SCORE, INFINITE_SCORE);
    alpha = std::max(alpha, matedAt(ply));
    beta = std::min(beta, mateAt(ply + 1));
    if (alpha >= beta) return alpha;

    const KingShield shield = kingShield();
    const bool inCheck = shield.checkers != 0;
    StackEntry& here = t.stack[ply];
    t.stack[ply + 1].killers[0] = t.stack[ply + 1].killers[1] = 0;

    // The table: a deep enough bound ends the node outside the principal variation.
    const HashKey key = t.stack[ply].key;
    PlayTableEntry entry{};
    const bool hit = playTableProbe(key, entry);
    const int tableScore = hit ? fromTable(entry.score, ply) : 0;
    Move tableMove = hit && !excluded ? entry.move : 0;
    if (tableMove && (!isUsable(tableMove) || !isLegalWith(tableMove, shield))) tableMove = 0;
    if (hit && !excluded && !pvNode && entry.depth >= depth &&
        (entry.bound == TABLE_EXACT || (entry.bound == TABLE_LOWER && tableScore >= beta) ||
         (entry.bound == TABLE_UPPER && tableScore <= alpha))) {
        if (tableMove && tableScore >= beta && !isTactical(tableMove))
            updateQuietStats(t, ply, tableMove, depth, nullptr, 0);
        return tableScore;
    }

    // The static score, sharpened by the table's bound.
    int eval = NO_EVAL, rawEval = NO_EVAL;
    bool improving = false;
    if (inCheck) {
        here.staticEval = NO_EVAL;
    } else {
        // The table keeps the score of this search's evaluation (the same tables).
        rawEval = hit && entry.staticEval != PLAY_TABLE_NO_EVAL ? entry.staticEval : evaluate(-INFINITE_SCORE, INFINITE_SCORE);
        here.staticEval = eval = corrected(t, rawEval);
        if (hit) eval = sharpened(entry, tableScore, eval);
        improving = ply >= 2 && t.stack[ply - 2].staticEval != NO_EVAL && here.staticEval > t.stack[ply - 2].staticEval;
    }

    if (!pvNode && !inCheck && !excluded) {
        // Razoring: far below alpha near the horizon, the quiescence search decides.
        if (depth <= RAZOR_DEPTH && eval + RAZOR_MARGIN * depth <= alpha && alpha < MATE_FOUND) {
            const int score = quiesce(t, alpha - 1, alpha);
            if (score < alpha) return score;
        }
        // Reverse futility: far enough above beta, the node holds.
        if (depth <= REVERSE_FUTILITY_DEPTH && eval - REVERSE_FUTILITY_MARGIN * (depth - improving) >= beta &&
            eval < MATE_FOUND)
            return eval;
        // The null move: passing still holds beta. Not after a null move and not
        // without pieces (zugzwang).
        if (depth >= 2 && eval >= beta && ply > 0 && t.stack[ply - 1].move != 0 && beta > -MATE_FOUND &&
            hasPieces(board.sideToMove)) {
            const int reduction = NULL_MOVE_BASE_REDUCTION + depth / NULL_MOVE_DEPTH_DIVISOR +
                                  std::min((eval - beta) / NULL_MOVE_EVAL_DIVISOR, NULL_MOVE_EVAL_PLIES);
            here.move = 0;
            t.stack[ply + 1].reversible = here.reversible + 1;
            t.stack[ply + 1].doubleExtensions = here.doubleExtensions;
            pushNullMove();
            t.stack[ply + 1].key = playKey();
            const int score = -search(t, -beta, -beta + 1, depth - reduction, !cutNode);
            popNullMove();
            if (t.stopped) return 0;
            if (score >= beta) return score >= MATE_FOUND ? beta : score;
        }
    }

    // Internal iterative reduction: a node without a table move is searched shallower.
    if (depth >= IIR_DEPTH && !tableMove && !excluded && (pvNode || cutNode)) --depth;

    Picker picker;
    startPicker(picker, inCheck ? EVASION_TABLE_MOVE : TABLE_MOVE, tableMove);
    picker.continuations = continuationsAt(t, ply);
    if (!inCheck) {
        picker.killers[0] = here.killers[0];
        picker.killers[1] = here.killers[1];
        const Move previous = ply > 0 ? t.stack[ply - 1].move : 0;
        if (previous) picker.counter = t.counterMoves[board.sideToMove][board.squares[moveTo(previous)]][moveTo(previous)];
    }

    const int startAlpha = alpha;
    int bestScore = -INFINITE_SCORE;
    Move bestMove = 0;
    int moveCount = 0;
    Move quiets[64], captures[32];
    int quietCount = 0, captureCount = 0;
    const bool canPrune = ply > 0 && hasPieces(board.sideToMove);
    const int lateMoveLimit = (3 + depth * depth) / (improving ? 1 : 2);
    picker.checks = checkSquares();

    while (const Move move = nextMove(t, picker)) {
        if (move == excluded || (move != tableMove && !isLegalWith(move, shield))) continue;
        ++moveCount;
        const bool tactical = isTactical(move);
        const bool special = move == picker.killers[0] || move == picker.killers[1] || move == picker.counter;
        const int historyScore = tactical ? 0 : quietStat(t, picker.continuations, move);
        int reduction = depth >= LMR_MIN_DEPTH ? lmrTable[std::min(depth, PLAY_MAX_DEPTH)][std::min(moveCount, 63)] : 0;

        // Shallow pruning, once a move has kept the node out of a mate; checks are kept.
        if (canPrune && bestScore > -MATE_FOUND && !givesCheck(move, picker.checks)) {
            const int reducedDepth = std::max(depth - 1 - reduction, 0);
            if (!tactical) {
                if (moveCount >= lateMoveLimit) {
                    picker.skipQuiets = !inCheck;   // the evasions come in one list
                    continue;
                }
                if (reducedDepth <= HISTORY_PRUNE_DEPTH && historyScore < -HISTORY_PRUNE_MARGIN * depth) continue;
                if (!inCheck && reducedDepth <= FUTILITY_DEPTH && alpha < MATE_FOUND &&
                    here.staticEval + FUTILITY_BASE + FUTILITY_MARGIN * reducedDepth <= alpha)
                    continue;
                if (reducedDepth <= SEE_PRUNE_DEPTH && !seeAtLeast(move, -QUIET_SEE_MARGIN * reducedDepth * reducedDepth))
                    continue;
            } else if (depth <= SEE_PRUNE_DEPTH && !seeAtLeast(move, -CAPTURE_SEE_MARGIN * depth)) {
                continue;
            }
        }

        // Singular extension: the table move is searched a ply deeper when
        // every other move falls well short of its score at half the depth
        // (two plies outside the principal variation when they fall far short).
        // When even the others reach beta, the node holds without it. Tried
        // while the table move is the first move out, before any list is made
        // at this ply (the test search makes its lists in the same place).
        int extension = 0;
        if (move == tableMove && depth >= SINGULAR_DEPTH && ply > 0 && ply < 2 * t.rootDepth &&
            entry.depth >= depth - SINGULAR_TABLE_PLIES && (entry.bound & TABLE_LOWER) && !isMateScore(tableScore)) {
            const int singularBeta = tableScore - SINGULAR_MARGIN * depth;
            const int score = search(t, singularBeta - 1, singularBeta, (depth - 1) / 2, cutNode, move);
            if (t.stopped) return 0;
            if (score < singularBeta)
                extension = !pvNode && score < singularBeta - DOUBLE_EXTENSION_MARGIN &&
                                    here.doubleExtensions < MAX_DOUBLE_EXTENSIONS
                                ? 2
                                : 1;
            else if (singularBeta >= beta) return singularBeta;
        }

        enterChild(t, move);
        if (extension == 2) ++t.stack[ply + 1].doubleExtensions;
        const bool givesCheck = inCheckAfterMove();
        const int newDepth = depth - 1 + std::max(extension, givesCheck ? 1 : 0);
        int score;
        // Quiet moves and captures that lose material are searched shallower first.
        const bool losingCapture = tactical && picker.stage == BAD_CAPTURES;
        if (depth >= LMR_MIN_DEPTH && moveCount > 1 + (pvNode ? 1 : 0) && (!tactical || losingCapture)) {
            if (pvNode) --reduction;
            if (cutNode) ++reduction;
            if (!improving) ++reduction;
            if (special) --reduction;
            if (givesCheck) --reduction;
            reduction -= historyScore / HISTORY_REDUCTION_DIVISOR;
            const int reduced = std::clamp(newDepth - reduction, 1, newDepth);
            score = -search(t, -alpha - 1, -alpha, reduced, true);
            if (score > alpha && reduced < newDepth) score = -search(t, -alpha - 1, -alpha, newDepth, !cutNode);
        } else if (!pvNode || moveCount > 1) {
            score = -search(t, -alpha - 1, -alpha, newDepth, !cutNode);
        } else {
            score = alpha + 1;   // the first move of a principal variation node: the full window below
        }
        if (pvNode && (moveCount == 1 || (score > alpha && score < beta)))
            score = -search(t, -beta, -alpha, newDepth, false);
        leaveChild(move);
        if (t.stopped) return 0;

        if (score > bestScore) {
            bestScore = score;
            if (score > alpha) {
                bestMove = move;
                if (pvNode) updatePv(t, ply, move);
                if (score >= beta) break;
                alpha = score;
            }
        }
        if (move != bestMove) {
            if (!tactical && quietCount < 64) quiets[quietCount++] = move;
            else if (tactical && captureCount < 32) captures[captureCount++] = move;
        }
    }

    if (moveCount == 0) return excluded ? alpha : inCheck ? matedAt(ply) : DRAW_SCORE;

    if (bestScore >= beta) {
        const int bonus = historyBonus(depth);
        if (!isTactical(bestMove)) updateQuietStats(t, ply, bestMove, depth, quiets, quietCount);
        else updateCaptureStat(t, bestMove, bonus);
        for (int i = 0; i < captureCount; ++i) updateCaptureStat(t, captures[i], -bonus);
    }
    if (excluded) return bestScore;
    const int bound = bestScore >= beta ? TABLE_LOWER : bestScore > startAlpha ? TABLE_EXACT : TABLE_UPPER;
    // A quiet result the static score did not foresee corrects it.
    if (!inCheck && !(bestMove && isTactical(bestMove)) && !isMateScore(bestScore) &&
        !(bound == TABLE_LOWER && bestScore <= here.staticEval) && !(bound == TABLE_UPPER && bestScore >= here.staticEval))
        updateCorrection(t, depth, bestScore - rawEval);
    playTableStore(key, bestMove, toTable(bestScore, ply), depth, bound, inCheck ? PLAY_TABLE_NO_EVAL : rawEval);
    return bestScore;
}

// ---------------------------------------------------------------- the root

// Searches the root moves from the current line on; each move's score is
// kept with it (moves that do not raise alpha get -INFINITE_SCORE).
int searchRootMoves(PlayThread& t, int alpha, int beta, int depth) {
    int bestScore = -INFINITE_SCORE;
    t.pvLength[0] = 0;
    for (int i = t.lineIndex; i < t.rootCount; ++i) {
        RootMove& rm = t.rootMoves[i];
        const Move move = rm.move;
        const bool first = i == t.lineIndex;
        t.rootDepth = depth;
        t.rootMove = move;
        t.rootMoveNumber = i + 1;
        t.selDepth = 0;
        ++t.nodes;
        enterChild(t, move);
        const bool givesCheck = inCheckAfterMove();
        const int newDepth = depth - 1 + (givesCheck ? 1 : 0);
        int score;
        if (first) {
            score = -search(t, -beta, -alpha, newDepth, false);
        } else {
            const int reduction = depth >= LMR_MIN_DEPTH && i - t.lineIndex >= 3 && !isTactical(move) && !givesCheck;
            score = -search(t, -alpha - 1, -alpha, newDepth - reduction, true);
            if (score > alpha && reduction) score = -search(t, -alpha - 1, -alpha, newDepth, false);
            if (score > alpha && score < beta) score = -search(t, -beta, -alpha, newDepth, false);
        }
        leaveChild(move);
        if (t.stopped) return bestScore;

        if (first || score > alpha) {
            rm.score = score;
            rm.selDepth = t.selDepth;
            rm.bound = score <= alpha ? PLAY_UPPER : score >= beta ? PLAY_LOWER : PLAY_EXACT;
            rm.pv[0] = move;
            rm.pvLength = 1;
            for (int p = 1; p < t.pvLength[1]; ++p) rm.pv[rm.pvLength++] = t.pv[1][p];
        } else {
            rm.score = -INFINITE_SCORE;
        }
        if (score > bestScore) {
            bestScore = score;
            if (score > alpha) {
                alpha = score;
                if (score >= beta) break;
            }
        }
    }
    return bestScore;
}

// Orders root moves from `from` on by score, keeping the order of equals.
void sortRootMoves(PlayThread& t, int from) {
    std::stable_sort(t.rootMoves + from, t.rootMoves + t.rootCount,
                     [](const RootMove& a, const RootMove& b) { return a.score > b.score; });
}

// Reversible plies that lead to the root, from the game record.
int reversiblePliesAtRoot(const PlayRequest& request) {
    int n = 0;
    for (int i = gameRecord.count - 1; i >= 0; --i) {
        if (!isReversible(gameRecord.moves[i])) return n;
        ++n;
    }
    return n + request.reversiblePliesBefore;
}

bool allowedAtRoot(const PlayRequest& request, Move move) {
    if (request.searchMoveCount <= 0) return true;
    for (int i = 0; i < request.searchMoveCount; ++i)
        if (request.searchMoves[i] == move) return true;
    return false;
}

void report(const PlayThread& t, const PlayReporter& reporter, int depth, int lines) {
    if (!reporter.line) return;
    const uint64_t nodes = t.nodes + helperNodes();
    const int64_t ms = elapsed();
    const int hashfull = playTableHashfull();
    for (int i = 0; i < lines; ++i) {
        const RootMove& rm = t.rootMoves[i];
        const bool searched = rm.score != -INFINITE_SCORE;
        const int score = searched ? rm.score : rm.previousScore;
        if (score == -INFINITE_SCORE) continue;
        reporter.line(PlayLineReport{depth, std::max(rm.selDepth, depth), i + 1, score, searched ? rm.bound : PLAY_EXACT,
                                     nodes, ms, hashfull, rm.pv, rm.pvLength});
    }
}

// Ages the ordering statistics between searches: what was learned last move
// still orders, but counts less than what this search learns.
void ageStatistics(PlayThread& t) {
    for (auto& colour : t.history)
        for (auto& from : colour)
            for (int& entry : from) entry /= 2;
    for (StackEntry& e : t.stackStorage) e = StackEntry{0, 0, NO_EVAL, {0, 0}, 0, 0, 0};
}

}  // namespace

// ---------------------------------------------------------------- public

namespace {

void clearStatistics(PlayThread& t) {
    std::fill(&t.history[0][0][0], &t.history[0][0][0] + sizeof(t.history) / sizeof(int), 0);
    std::fill(&t.captureHistory[0][0][0], &t.captureHistory[0][0][0] + sizeof(t.captureHistory) / sizeof(int), 0);
    std::fill(&t.counterMoves[0][0][0], &t.counterMoves[0][0][0] + sizeof(t.counterMoves) / sizeof(Move), Move(0));
    std::fill(&t.continuation[0][0][0][0][0][0],
              &t.continuation[0][0][0][0][0][0] + sizeof(t.continuation) / sizeof(int16_t), int16_t(0));
    std::fill(&t.pawnCorrection[0][0], &t.pawnCorrection[0][0] + sizeof(t.pawnCorrection) / sizeof(int16_t), int16_t(0));
}

}  // namespace

void playNewGame() {
    playTableClear();
    clearStatistics(mainThread);
    for (const auto& h : helperThreads) clearStatistics(*h);
}

namespace {

// Sets up the thread's board from the root position and its root moves;
// false when there is nothing to search.
bool setUpRoot(PlayThread& t, const PlayRequest& request) {
    threaded::setUpRootPosition(rootPosition);
    // A helper's own pawn table starts empty (the first preparation clears
    // only the table of the thread that makes it).
    static thread_local bool pawnTableReady = false;
    if (!pawnTableReady && t.index != 0) clearPawnTable();
    pawnTableReady = true;
    t.nodes = 0;
    t.sharedNodes.store(0, std::memory_order_relaxed);
    t.stopped = false;
    t.selDepth = 0;
    t.completed.move = 0;
    t.completed.score = -INFINITE_SCORE;
    t.completedDepth = 0;
    if (gameRecord.count + PLAY_MAX_PLY + 1 >= RECORD_SIZE) return false;   // no room for the line

    prepareEvaluation();
    ageStatistics(t);
    t.stack[0].reversible = reversiblePliesAtRoot(request);

    // The legal root moves, as many as were allowed.
    plyEnd[0] = plyEnd[-1];
    generateCaptures();
    generateQuietMoves();
    dropIllegalRootMoves();
    t.rootCount = 0;
    for (int i = plyEnd[-1]; i < plyEnd[0] && t.rootCount < PLAY_MAX_ROOT_MOVES; ++i)
        if (allowedAtRoot(request, moveStack[i]))
            t.rootMoves[t.rootCount++] = RootMove{moveStack[i], -INFINITE_SCORE, -INFINITE_SCORE, 0, PLAY_EXACT, {moveStack[i]}, 1};
    if (t.rootCount == 0) return false;

    // The table's move first.
    PlayTableEntry entry{};
    if (playTableProbe(playKey(), entry))
        for (int i = 1; i < t.rootCount; ++i)
            if (t.rootMoves[i].move == entry.move) std::rotate(t.rootMoves, t.rootMoves + i, t.rootMoves + i + 1);
    return true;
}

// One iteration at `depth` over `lines` lines, with aspiration windows.
void searchIteration(PlayThread& t, int depth, int lines) {
    for (int i = 0; i < t.rootCount; ++i) t.rootMoves[i].previousScore = t.rootMoves[i].score;
    for (t.lineIndex = 0; t.lineIndex < lines && !t.stopped; ++t.lineIndex) {
        const int previous = t.rootMoves[t.lineIndex].previousScore;
        int delta = ASPIRATION_WINDOW;
        int alpha = -INFINITE_SCORE, beta = INFINITE_SCORE;
        if (depth >= ASPIRATION_DEPTH && previous != -INFINITE_SCORE && !isMateScore(previous)) {
            alpha = std::max(previous - delta, -INFINITE_SCORE);
            beta = std::min(previous + delta, INFINITE_SCORE);
        }
        for (;;) {
            const int score = searchRootMoves(t, alpha, beta, depth);
            sortRootMoves(t, t.lineIndex);
            if (t.stopped) break;
            if (score <= alpha) {
                beta = (alpha + beta) / 2;
                alpha = std::max(score - delta, -INFINITE_SCORE);
            } else if (score >= beta) {
                beta = std::min(score + delta, INFINITE_SCORE);
            } else {
                break;
            }
            delta += delta / 2;
        }
        // The lines above this one keep their order: sort only what is below.
        std::stable_sort(t.rootMoves, t.rootMoves + t.lineIndex + 1,
                         [](const RootMove& a, const RootMove& b) { return a.score > b.score; });
    }
}

void recordCompleted(PlayThread& t, int depth) {
    t.completed = t.rootMoves[0];
    t.completedDepth = depth;
}

// A helper's search: one line, no clock and no reports, until the main
// thread stops it. Every other helper starts a ply deeper, so that the
// threads do not all search the same depths at the same time.
void helperSearch(int helper) {
    PlayThread& t = *helperThreads[size_t(helper)];
    if (!setUpRoot(t, *rootRequest)) return;
    const int deepest = std::clamp(rootRequest->limits.depth, 1, PLAY_MAX_DEPTH);
    for (int depth = 1 + t.index % 2; depth <= deepest && !t.stopped; ++depth) {
        searchIteration(t, depth, 1);
        if (!t.stopped) recordCompleted(t, depth);
    }
    t.sharedNodes.store(t.nodes, std::memory_order_relaxed);
}

}  // namespace

PlayResult playSearch(const PlayRequest& request, PlayControl& control, const PlayReporter& reporter) {
    static bool reductionsReady = false;
    if (!reductionsReady) {
        initReductions();
        reductionsReady = true;
    }
    PlayThread& t = mainThread;
    PlayResult result;
    searchClock = PlayClock{clockMilliseconds(), request.limits, &control, control.pondering.load(),
                              &reporter, 0};
    ::takeRootPosition(rootPosition);   // the engine's position, for every thread
    rootRequest = &request;
    playTableNewSearch();
    if (!setUpRoot(t, request)) return result;

    const int lines = std::clamp(request.lines, 1, std::min(t.rootCount, PLAY_MAX_LINES));
    const int deepest = std::clamp(request.limits.depth, 1, PLAY_MAX_DEPTH);
    helpersStop.store(false);
    // The helpers' counts start from zero here, not when each helper gets to
    // its first clock reading: the first reports must not count the last search.
    for (const auto& h : helperThreads) h->sharedNodes.store(0, std::memory_order_relaxed);
    startHelpers(helperSearch);
    Move lastBest = 0;
    int stableIterations = 0, lastScore = 0;
    for (int depth = 1; depth <= deepest; ++depth) {
        searchIteration(t, depth, lines);
        if (t.stopped && depth > 1) break;
        result.depth = depth;
        recordCompleted(t, depth);
        report(t, reporter, depth, lines);
        if (t.stopped) break;
        // The clock: no new iteration once the share of the soft budget that
        // fits how settled the search is has passed.
        const RootMove& best = t.rootMoves[0];
        stableIterations = best.move == lastBest ? stableIterations + 1 : 0;
        const int drop = depth > 1 ? lastScore - best.score : 0;
        lastBest = best.move;
        lastScore = best.score;
        if (!control.pondering && !searchClock.limits.wholeSpan &&
            searchClock.limits.softMilliseconds != PLAY_NO_TIME_LIMIT &&
            elapsed() * 100 >= searchClock.limits.softMilliseconds * playTimeScale(stableIterations, drop))
            break;
        if (!control.pondering && isMateScore(best.score) && depth >= 2 * (MATE_SCORE - std::abs(best.score)) + 2)
            break;
    }

    // An interrupted iteration: the lines once more, with the clock and nodes at the end.
    if (t.stopped && result.depth > 0) report(t, reporter, result.depth, lines);

    helpersStop.store(true);
    waitForHelpers();

    const RootMove& best = t.rootMoves[0];
    result.best = best.move;
    result.ponder = best.pvLength > 1 ? best.pv[1] : 0;
    result.score = best.score != -INFINITE_SCORE ? best.score : best.previousScore;
    // A helper that completed a deeper iteration without a lower score
    // speaks for the search (one line only: the lines are the main thread's).
    // Its line is reported, so that the last line shown begins with the move.
    const PlayThread* speaker = nullptr;
    if (lines == 1)
        for (const auto& h : helperThreads)
            if (h->completedDepth > result.depth && h->completed.score >= result.score && h->completed.move != 0) {
                speaker = h.get();
                const RootMove& line = h->completed;
                result.best = line.move;
                result.ponder = line.pvLength > 1 ? line.pv[1] : 0;
                result.score = line.score;
                result.depth = h->completedDepth;
            }
    if (speaker && reporter.line) {
        const RootMove& line = speaker->completed;
        reporter.line(PlayLineReport{result.depth, std::max(line.selDepth, result.depth), 1, line.score, line.bound,
                                     t.nodes + helperNodes(), elapsed(), playTableHashfull(), line.pv, line.pvLength});
    }
    result.nodes = t.nodes + helperNodes();
    return result;
}

void playSetThreads(int count) {
    count = std::clamp(count, 1, PLAY_MAX_THREADS);
    setHelperCount(0);
    helperThreads.clear();
    for (int i = 1; i < count; ++i) {
        helperThreads.push_back(std::make_unique<PlayThread>());
        helperThreads.back()->index = i;
    }
    setHelperCount(count - 1);
}
