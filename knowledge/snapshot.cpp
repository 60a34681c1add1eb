// Castling signature and the exact position snapshot shared by the opening
// book and the teach table.
#include "knowledge/knowledge.h"

bool canStillCastleLong(int colour) {
    return board.castled[colour] == 0 && board.kingMoved[colour] == 0 && board.leftRookMoved[colour] == 0;
}

bool canStillCastleShort(int colour) {
    return board.castled[colour] == 0 && board.kingMoved[colour] == 0 && board.rightRookMoved[colour] == 0;
}

int castlingSignature() {
    return (canStillCastleLong(WHITE) ? 1 : 0) | (canStillCastleShort(WHITE) ? 2 : 0) |
           (canStillCastleLong(BLACK) ? 4 : 0) | (canStillCastleShort(BLACK) ? 8 : 0);
}

PositionSnapshot currentSnapshot() {
    PositionSnapshot s;
    fillSnapshot(s);
    return s;
}

namespace {

// Book and teach entries hold the snapshot's fields under the same names.
template <typename Entry, typename Other>
bool sameSnapshot(const Entry& a, const Other& b) {
    if (a.key != b.key || a.side != b.side || a.white != b.white || a.black != b.black) return false;
    for (int i = 0; i < 5; ++i)
        if (a.pieces[i] != b.pieces[i]) return false;
    return a.castling == b.castling;
}

// Compares with the Board directly; the key is tested first, so a chain walk
// pays for the full comparison only where the key already matches.
template <typename Entry>
bool matchesBoard(const Entry& e) {
    if (e.key != board.hashKey || e.side != board.sideToMove) return false;
    if (e.white != board.colourBits[WHITE] || e.black != board.colourBits[BLACK]) return false;
    for (int piece = PAWN; piece <= QUEEN; ++piece)
        if (e.pieces[piece - PAWN] != board.pieceBits[piece]) return false;
    return e.castling == castlingSignature();
}

}  // namespace

bool snapshotsMatch(const PositionSnapshot& a, const PositionSnapshot& b) { return sameSnapshot(a, b); }

bool bookEntryMatches(const BookEntry& entry) { return matchesBoard(entry); }

bool teachEntryMatches(const TeachEntry& entry) { return matchesBoard(entry); }

bool teachEntriesMatch(const TeachEntry& a, const TeachEntry& b) { return sameSnapshot(a, b); }
