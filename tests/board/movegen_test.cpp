// Move generation: exact lists and words in the engine's order, en passant and
// castling rules, the ply limit and isPseudoLegal.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "board/attacks.h"
#include "board/board.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "support/position.h"
#include "board/perft_data.h"

namespace {

constexpr int sq(const char* text) { return squareOfText(text); }

std::vector<Move> currentList() {
    return std::vector<Move>(moveStack + plyEnd[board.ply - 1], moveStack + plyEnd[board.ply]);
}

std::vector<Move> captures() {
    plyEnd[board.ply] = plyEnd[board.ply - 1];
    generateCaptures();
    return currentList();
}

std::vector<Move> quietMoves() {
    plyEnd[board.ply] = plyEnd[board.ply - 1];
    generateQuietMoves();
    return currentList();
}

std::vector<Move> allMoves() {
    generateAllMoves();
    return currentList();
}

bool contains(const std::vector<Move>& list, Move m) { return std::find(list.begin(), list.end(), m) != list.end(); }

Move push(const char* from, const char* to) { return encodeMove(sq(from), sq(to), 1, 0, QUIET); }
Move quiet(const char* from, const char* to) { return encodeMove(sq(from), sq(to), 0, 0, QUIET); }
Move capture(const char* from, const char* to, int captured) {
    return encodeMove(sq(from), sq(to), 0, captured, CAPTURE);
}
Move enPassant(const char* from, const char* to) { return encodeMove(sq(from), sq(to), 0, PAWN, CAPTURE | EN_PASSANT); }
Move castleLong(const char* from) { return encodeMove(sq(from), sq(from) - 2, 0, 0, CASTLE_LONG); }
Move castleShort(const char* from) { return encodeMove(sq(from), sq(from) + 2, 0, 0, CASTLE_SHORT); }

class MoveGen : public ::testing::Test {
protected:
    void SetUp() override { board.ply = 0; }
    void TearDown() override { board.ply = 0; }
};

TEST_F(MoveGen, InitialPositionInGenerationOrder) {
    newGame();
    EXPECT_TRUE(captures().empty());
    const std::vector<Move> expected = {
        push("a2", "a3"), push("b2", "b3"), push("c2", "c3"), push("d2", "d3"),
        push("e2", "e3"), push("f2", "f3"), push("g2", "g3"), push("h2", "h3"),
        push("a2", "a4"), push("b2", "b4"), push("c2", "c4"), push("d2", "d4"),
        push("e2", "e4"), push("f2", "f4"), push("g2", "g4"), push("h2", "h4"),
        quiet("b1", "a3"), quiet("b1", "c3"), quiet("g1", "f3"), quiet("g1", "h3")};
    EXPECT_EQ(quietMoves(), expected);
    EXPECT_EQ(allMoves(), expected);
    // The words themselves: a quiet pawn push is from << 6 | to | 0x04001000.
    EXPECT_EQ(expected[0], Move(48 << 6 | 40 | 0x04001000));
    EXPECT_EQ(expected[16], Move(57 << 6 | 40 | 0x04000000));
}

TEST_F(MoveGen, PromotionsQueenThenKnightInTargetOrder) {
    ASSERT_TRUE(setPosition("r1r4k/1P6/8/8/8/8/8/4K3 w - -"));
    const Move both = CAPTURE | PROMOTION;
    const std::vector<Move> expected = {
        encodeMove(sq("b7"), sq("a8"), QUEEN, ROOK, both), encodeMove(sq("b7"), sq("a8"), KNIGHT, ROOK, both),
        encodeMove(sq("b7"), sq("c8"), QUEEN, ROOK, both), encodeMove(sq("b7"), sq("c8"), KNIGHT, ROOK, both),
        encodeMove(sq("b7"), sq("b8"), QUEEN, 0, PROMOTION), encodeMove(sq("b7"), sq("b8"), KNIGHT, 0, PROMOTION)};
    EXPECT_EQ(captures(), expected);
    // The push to b8 is not a quiet move.
    for (Move m : quietMoves()) EXPECT_NE(moveFrom(m), sq("b7"));
}

TEST_F(MoveGen, BlackPromotionsAndCapturesInOrder) {
    // Black pawn g2 takes on f1 or h1 or pushes to g1; the pawn on c4 takes b3 or d3.
    ASSERT_TRUE(setPosition("k7/8/8/8/2p5/1N1B4/6p1/K4R1Q b - -"));
    const Move both = CAPTURE | PROMOTION;
    const std::vector<Move> expected = {
        capture("c4", "d3", BISHOP),  // offset -9 first: targets to the pawn's right (higher file)
        encodeMove(sq("g2"), sq("h1"), QUEEN, QUEEN, both), encodeMove(sq("g2"), sq("h1"), KNIGHT, QUEEN, both),
        capture("c4", "b3", KNIGHT),
        encodeMove(sq("g2"), sq("f1"), QUEEN, ROOK, both), encodeMove(sq("g2"), sq("f1"), KNIGHT, ROOK, both),
        encodeMove(sq("g2"), sq("g1"), QUEEN, 0, PROMOTION), encodeMove(sq("g2"), sq("g1"), KNIGHT, 0, PROMOTION)};
    EXPECT_EQ(captures(), expected);
}

TEST_F(MoveGen, PieceCapturesByTypeThenSquare) {
    // White: knight c3, bishop b2, rook a4, queen h4, king e1 among black pieces.
    ASSERT_TRUE(setPosition("4k3/8/8/3p4/R3r2Q/n1N5/1B1p4/4K3 w - -"));
    const std::vector<Move> expected = {
        capture("c3", "d5", PAWN), capture("c3", "e4", ROOK), capture("b2", "a3", KNIGHT),
        capture("a4", "e4", ROOK), capture("a4", "a3", KNIGHT), capture("h4", "e4", ROOK),
        capture("e1", "d2", PAWN)};
    EXPECT_EQ(captures(), expected);
    EXPECT_EQ(expected[0], Move(sq("c3") << 6 | sq("d5") | PAWN << 15 | 0x08000000));
}

TEST_F(MoveGen, EnPassantOnlyRightAfterTheDoubleStep) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 d7d5 e4e5 f7f5"));
    std::vector<Move> list = captures();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0], enPassant("e5", "f6"));
    EXPECT_EQ(list[0], Move(sq("e5") << 6 | sq("f6") | 0x18008000));
    EXPECT_TRUE(isPseudoLegal(list[0]));

    // A null move (record word 0) on each side: no last move, no en passant.
    gameRecord.moves[gameRecord.count] = 0;
    gameRecord.moves[gameRecord.count + 1] = 0;
    plyEnd[0] = plyEnd[1] = 0;
    board.ply = 2;
    EXPECT_FALSE(contains(captures(), enPassant("e5", "f6")));
    EXPECT_FALSE(isPseudoLegal(enPassant("e5", "f6")));
    board.ply = 0;

    // Any other last move: none either.
    ASSERT_TRUE(playMoves("g1f3 b8c6"));
    EXPECT_FALSE(contains(captures(), enPassant("e5", "f6")));
    EXPECT_FALSE(isPseudoLegal(enPassant("e5", "f6")));

    // A single step onto the square beside the pawn is no double step.
    newGame();
    ASSERT_TRUE(playMoves("e2e4 f7f6 e4e5 f6f5"));
    for (Move m : captures()) EXPECT_FALSE(m & EN_PASSANT);
}

TEST_F(MoveGen, BlackEnPassantFromBothSides) {
    // White has just played e2e4 past the black pawns on d4 and f4.
    ASSERT_TRUE(setPosition("4k3/8/8/8/3pPp2/8/8/4K3 b - e3"));
    const std::vector<Move> list = captures();
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0], enPassant("d4", "e3"));
    EXPECT_EQ(list[1], enPassant("f4", "e3"));
}

TEST_F(MoveGen, DoublePushNeedsBothSquaresFree) {
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/4n3/4P3/4K3 w - -"));
    for (Move m : quietMoves()) EXPECT_NE(moveFrom(m), sq("e2"));
    ASSERT_TRUE(setPosition("4k3/8/8/8/4n3/8/4P3/4K3 w - -"));
    const std::vector<Move> list = quietMoves();
    EXPECT_TRUE(contains(list, push("e2", "e3")));
    EXPECT_FALSE(contains(list, push("e2", "e4")));
    // Black from its own second row.
    ASSERT_TRUE(setPosition("4k3/3p4/8/8/8/8/8/4K3 b - -"));
    EXPECT_TRUE(contains(quietMoves(), push("d7", "d5")));
}

TEST_F(MoveGen, CastlingLongBeforeShortAtTheEnd) {
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"));
    std::vector<Move> list = quietMoves();
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[list.size() - 2], castleLong("e1"));
    EXPECT_EQ(list.back(), castleShort("e1"));
    EXPECT_EQ(castleLong("e1"), Move(60 << 6 | 58 | 0x40000000));
    EXPECT_EQ(castleShort("e1"), Move(60 << 6 | 62 | 0x80000000));
    flipSides();
    list = quietMoves();
    EXPECT_EQ(list[list.size() - 2], castleLong("e8"));
    EXPECT_EQ(list.back(), castleShort("e8"));
}

TEST_F(MoveGen, RookThatMovedGivesUpItsSideEvenWhenBack) {
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"));
    ASSERT_TRUE(playMoves("a1b1 a8b8 b1a1 b8a8"));
    EXPECT_EQ(board.leftRookMoved[WHITE], 1);
    std::vector<Move> list = quietMoves();
    EXPECT_FALSE(contains(list, castleLong("e1")));
    EXPECT_EQ(list.back(), castleShort("e1"));
    // The same through the counter of the set-up: no long right for White.
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R w Kkq -"));
    list = quietMoves();
    EXPECT_FALSE(contains(list, castleLong("e1")));
    EXPECT_EQ(list.back(), castleShort("e1"));
    // A king that moved and came back castles no more.
    ASSERT_TRUE(setPosition("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"));
    ASSERT_TRUE(playMoves("e1d1 e8d8 d1e1 d8e8"));
    for (Move m : quietMoves()) EXPECT_FALSE(m & CASTLING);
}

TEST_F(MoveGen, CastlingRefusedThroughAttackedOrBlockedSquares) {
    struct Case {
        const char* fen;
        bool canLong, canShort;
    } cases[] = {
        {"4k3/8/8/8/8/8/8/R3K2R w KQ -", true, true},
        {"4r1k1/8/8/8/8/8/8/R3K2R w KQ -", false, false},   // in check
        {"3r2k1/8/8/8/8/8/8/R3K2R w KQ -", false, true},    // d1 attacked: the king passes it
        {"2r3k1/8/8/8/8/8/8/R3K2R w KQ -", false, true},    // c1 attacked: the king lands there
        {"1r4k1/8/8/8/8/8/8/R3K2R w KQ -", true, true},     // only b1 attacked: long castling stands
        {"k4r2/8/8/8/8/8/8/R3K2R w KQ -", true, false},     // f1 attacked
        {"k5r1/8/8/8/8/8/8/R3K2R w KQ -", true, false},     // g1 attacked
        {"k6r/8/8/8/8/8/8/R3K2R w KQ -", true, true},       // only the rook on h1 attacked
        {"4k3/8/8/8/8/8/8/RN2K1NR w KQ -", false, false},   // b1 and g1 occupied
        {"4k3/8/8/8/8/8/8/R3K2n w KQ -", true, false},      // a knight, not a rook, on h1
        {"4k3/8/8/8/8/8/8/4K2R w KQ -", false, true},       // no rook on a1
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(setPosition(c.fen)) << c.fen;
        const std::vector<Move> list = quietMoves();
        EXPECT_EQ(contains(list, castleLong("e1")), c.canLong) << c.fen;
        EXPECT_EQ(contains(list, castleShort("e1")), c.canShort) << c.fen;
        EXPECT_EQ(canCastle(castleLong("e1")), c.canLong) << c.fen;
        EXPECT_EQ(canCastle(castleShort("e1")), c.canShort) << c.fen;
    }
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/8/8/R3K2R w KQ -"));
    EXPECT_FALSE(canCastle(quiet("e1", "f1")));  // neither flag
    board.castled[WHITE] = 1;
    EXPECT_FALSE(canCastle(castleShort("e1")));
}

TEST_F(MoveGen, NoListAtPlyFiftyNine) {
    newGame();
    plyEnd[57] = 100;
    board.ply = 58;
    EXPECT_EQ(allMoves().size(), 20u);
    EXPECT_EQ(plyEnd[58], 120);
    board.ply = 59;
    generateAllMoves();
    EXPECT_EQ(plyEnd[59], plyEnd[58]);
}

TEST_F(MoveGen, ListsFollowTheGenerationOrderInEveryPosition) {
    // Sort keys: captures by stage (en passant, pawn +-9, pawn +-7, promotion
    // pushes, then knight..king) and square; quiet moves likewise.
    for (const std::string& fen : allPerftFens()) {
        ASSERT_TRUE(setPosition(fen)) << fen;
        const int s = board.sideToMove;
        long previous = -1;
        for (Move m : captures()) {
            const int f = moveFrom(m), t = moveTo(m), piece = board.squares[f];
            long stage;
            if (m & EN_PASSANT) stage = 0;
            else if (piece == PAWN && !(m & CAPTURE)) stage = 3;
            else if (piece == PAWN) stage = (t - f == (s == WHITE ? -9 : 9)) ? 1 : 2;
            else stage = 2 + piece;
            const long key = piece == PAWN ? stage * 10000 + t * 10 + (movePromoted(m) == KNIGHT)
                                           : stage * 10000 + f * 100 + t;
            EXPECT_GT(key, previous) << fen << " " << coordinateText(m);
            EXPECT_TRUE(m & (CAPTURE | PROMOTION)) << fen;
            EXPECT_FALSE(m & QUIET) << fen;
            previous = key;
        }
        previous = -1;
        for (Move m : quietMoves()) {
            const int f = moveFrom(m), t = moveTo(m), piece = board.squares[f];
            long key;
            if (m & CASTLE_LONG) key = 90000;
            else if (m & CASTLE_SHORT) key = 90001;
            else if (piece == PAWN) key = (std::abs(t - f) == 16 ? 10000 : 0) + t;
            else key = 20000 + piece * 10000 + f * 100 + t;
            EXPECT_GT(key, previous) << fen << " " << coordinateText(m);
            EXPECT_EQ(bool(m & QUIET), !(m & CASTLING)) << fen;
            EXPECT_EQ(movePromoted(m), piece == PAWN ? 1 : 0) << fen;
            EXPECT_FALSE(m & (CAPTURE | PROMOTION | EN_PASSANT)) << fen;
            previous = key;
        }
    }
}

// The word without the parts isPseudoLegal does not examine: the promoted
// field and QUIET of a move that does not promote.
Move examined(Move m) { return m & PROMOTION ? m : m & ~(QUIET | 0x7000u); }

TEST_F(MoveGen, IsPseudoLegalAcceptsExactlyTheGeneratedWords) {
    // Every word generated in one position is accepted in another exactly when
    // that position generates it too, up to the parts that are not examined
    // (a rook's c2-c4 is accepted for the pawn's double step).
    std::vector<std::string> fens = allPerftFens();
    std::vector<std::vector<Move>> lists;
    for (const std::string& fen : fens) {
        ASSERT_TRUE(setPosition(fen));
        lists.push_back(allMoves());
    }
    for (std::size_t b = 0; b < fens.size(); ++b) {
        ASSERT_TRUE(setPosition(fens[b]));
        std::vector<Move> here = allMoves();
        for (Move m : here) ASSERT_TRUE(isPseudoLegal(m)) << fens[b] << " " << coordinateText(m);
        for (Move& m : here) m = examined(m);
        for (const std::vector<Move>& list : lists)
            for (Move m : list)
                ASSERT_EQ(isPseudoLegal(m), contains(here, examined(m))) << fens[b] << " " << coordinateText(m) << " " << m;
    }
}

TEST_F(MoveGen, IsPseudoLegalOnRememberedMoves) {
    newGame();
    EXPECT_TRUE(isPseudoLegal(quiet("g1", "f3")));
    EXPECT_FALSE(isPseudoLegal(quiet("g8", "f6")));      // not the side to move's piece
    EXPECT_FALSE(isPseudoLegal(quiet("e4", "e5")));      // nothing on the from square
    EXPECT_FALSE(isPseudoLegal(quiet("f1", "c4")));      // the bishop's way is blocked
    EXPECT_TRUE(isPseudoLegal(push("e2", "e4")));
    EXPECT_TRUE(isPseudoLegal(quiet("e2", "e4")));       // the promoted and QUIET bits are not examined
    EXPECT_FALSE(isPseudoLegal(push("e2", "e5")));
    ASSERT_TRUE(playMoves("e2e4 g8f6"));
    EXPECT_FALSE(isPseudoLegal(push("e2", "e4")));       // the pawn has gone
    EXPECT_FALSE(isPseudoLegal(push("e4", "e6")));       // a double step from the fourth rank
    EXPECT_TRUE(isPseudoLegal(quiet("f1", "c4")));       // the bishop's way is open now
    ASSERT_TRUE(playMoves("e4e5 b8c6"));
    EXPECT_TRUE(isPseudoLegal(capture("e5", "f6", KNIGHT)));
    EXPECT_FALSE(isPseudoLegal(capture("e5", "f6", BISHOP)));   // another piece type stands there
    EXPECT_FALSE(isPseudoLegal(capture("e5", "d6", PAWN)));     // nothing to take
    EXPECT_FALSE(isPseudoLegal(push("e5", "f6")));              // a pawn does not step aside
    ASSERT_TRUE(playMoves("d2d3 f6g8"));
    EXPECT_FALSE(isPseudoLegal(capture("e5", "f6", KNIGHT)));   // the knight has left
    // A remembered non-capture onto a square that has become occupied.
    const Move queenOut = quiet("d1", "e2");
    EXPECT_TRUE(isPseudoLegal(queenOut));
    ASSERT_TRUE(playMoves("f1e2 g8f6"));
    EXPECT_FALSE(isPseudoLegal(queenOut));
    ASSERT_TRUE(setPosition("4k3/8/8/8/8/4n3/8/2B1K3 w - -"));
    EXPECT_FALSE(isPseudoLegal(quiet("c1", "e3")));
    EXPECT_TRUE(isPseudoLegal(capture("c1", "e3", KNIGHT)));
    EXPECT_FALSE(isPseudoLegal(capture("c1", "f4", KNIGHT)));   // beyond the knight
    EXPECT_FALSE(isPseudoLegal(capture("e1", "e2", NOPIECE)));  // a capture of nothing
}

TEST_F(MoveGen, IsPseudoLegalPawnRules) {
    ASSERT_TRUE(setPosition("1n2k3/2P5/7n/1p6/P7/8/8/4K3 w - -"));
    EXPECT_TRUE(isPseudoLegal(capture("a4", "b5", PAWN)));
    // A capture "to the left" of the a-file would wrap onto h6: refused.
    EXPECT_FALSE(isPseudoLegal(capture("a4", "h6", KNIGHT)));
    // Promotions: the reader's rook and bishop words are accepted as well.
    for (int piece : {KNIGHT, BISHOP, ROOK, QUEEN}) {
        EXPECT_TRUE(isPseudoLegal(encodeMove(sq("c7"), sq("c8"), piece, 0, PROMOTION))) << piece;
        EXPECT_TRUE(isPseudoLegal(encodeMove(sq("c7"), sq("b8"), piece, KNIGHT, CAPTURE | PROMOTION))) << piece;
    }
    // A pawn on the seventh row moves only by promoting, others never promote.
    EXPECT_FALSE(isPseudoLegal(push("c7", "c8")));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("a4"), sq("a5"), QUEEN, 0, PROMOTION)));
}

TEST_F(MoveGen, IsPseudoLegalRefusesWordsThatWouldBreakTheBoard) {
    ASSERT_TRUE(setPosition("1n2k3/2P5/8/8/8/8/8/R3K2R w KQ -"));
    for (int piece : {0, 1, 6, 7})
        EXPECT_FALSE(isPseudoLegal(encodeMove(sq("c7"), sq("c8"), piece, 0, PROMOTION))) << piece;
    EXPECT_FALSE(isPseudoLegal(push("c7", "c8") | CASTLE_SHORT));
    // Castling words: the king moves two files, one flag, nothing else.
    EXPECT_TRUE(isPseudoLegal(castleShort("e1")));
    EXPECT_TRUE(isPseudoLegal(castleLong("e1")));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("e1"), sq("h1"), 0, 0, CASTLE_SHORT)));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("e1"), sq("b1"), 0, 0, CASTLE_LONG)));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("e1"), sq("g1"), 0, 0, CASTLE_LONG)));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("e1"), sq("g1"), 0, 0, CASTLING)));
    EXPECT_FALSE(isPseudoLegal(castleShort("e1") | CAPTURE));
    EXPECT_FALSE(isPseudoLegal(castleShort("e1") | PROMOTION | Move(QUEEN) << 12));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("h1"), sq("f1"), 0, 0, CASTLE_SHORT)));  // not the king
    // Pieces carry no promotion or en passant flag.
    EXPECT_TRUE(isPseudoLegal(quiet("a1", "a5")));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("a1"), sq("a5"), QUEEN, 0, PROMOTION)));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("a1"), sq("a5"), 0, 0, EN_PASSANT)));
    EXPECT_FALSE(isPseudoLegal(encodeMove(sq("e1"), sq("e2"), 0, PAWN, CAPTURE | EN_PASSANT)));
}

TEST_F(MoveGen, IsEnPassantValid) {
    newGame();
    ASSERT_TRUE(playMoves("e2e4 d7d5 e4e5 f7f5"));
    EXPECT_TRUE(isEnPassantValid(enPassant("e5", "f6")));
    EXPECT_FALSE(isEnPassantValid(enPassant("e5", "d6")));        // d5 was not the last move
    EXPECT_FALSE(isEnPassantValid(capture("e5", "f6", PAWN)));    // no flag
    EXPECT_FALSE(isPseudoLegal(enPassant("e5", "d6")));
}

// Both lists at once are the captures followed by the quiet moves, each list
// generated alone; also with two kings and eight queens on one side.
TEST_F(MoveGen, AllMovesAreTheCapturesThenTheQuietMoves) {
    std::vector<std::string> fens = allPerftFens();
    fens.push_back("QQQQ3k/QQQQ4/8/8/8/8/1p6/K3K2R w K -");
    for (const std::string& fen : fens) {
        ASSERT_TRUE(setPosition(fen)) << fen;
        std::vector<Move> separate = captures();
        const std::vector<Move> quiet = quietMoves();
        separate.insert(separate.end(), quiet.begin(), quiet.end());
        EXPECT_EQ(allMoves(), separate) << fen;
    }
    newGame();
}

TEST_F(MoveGen, StackGuardCutsAnOverlongList) {
    newGame();
    plyEnd[0] = MOVE_STACK_CAPACITY - 5;
    board.ply = 1;
    generateAllMoves();
    EXPECT_EQ(plyEnd[1], MOVE_STACK_CAPACITY);
    board.ply = 0;
    plyEnd[0] = 0;
}

}  // namespace
