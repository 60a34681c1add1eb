// Draw detection by repeated positions and by long reversible stretches.
#include "board/board.h"
#include "board/makemove.h"
#include "search/search.h"

namespace {

constexpr int FIFTY_MOVE_PLIES = 50;

bool resetsCount(Move m) { return m == 0 || (m & CAPTURE_OR_PROMOTION) || isPawnPush(m); }

}  // namespace

bool isRepetition() {
    const int count = gameRecord.count;
    const int n = count + board.ply;   // next record slot; the current key is at n - 1
    bool seenBeforeRoot = false;
    for (int k = 1;; ++k) {
        if (n - k - 1 < 0) {
            // The record's start, every move since reversible: a set-up
            // position's halfmove clock goes on counting them.
            const int before = gameRecord.reversibleBefore;
            if (before == 0 || (n - k == 0 && resetsCount(gameRecord.moves[0]))) return false;
            return count + before > FIFTY_MOVE_PLIES;
        }
        const Move m = gameRecord.moves[n - k];
        // Nothing before a null move, capture, promotion or pawn push can repeat.
        if (resetsCount(m)) return false;
        if (gameRecord.keys[n - k - 1] == board.hashKey) {
            // Within the search tree once is enough; in the game before the root, twice.
            if (k <= board.ply || seenBeforeRoot) return true;
            seenBeforeRoot = true;
        }
        if (n - k < count - FIFTY_MOVE_PLIES) return true;   // more than 50 reversible half-moves
    }
}
