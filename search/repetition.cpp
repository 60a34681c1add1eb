// Draw detection by repeated positions and by long reversible stretches.
#include "board/board.h"
#include "board/makemove.h"
#include "search/search.h"

bool isRepetition() {
    const int count = gameRecord.count;
    const int n = count + board.ply;   // next record slot; the current key is at n - 1
    bool seenBeforeRoot = false;
    for (int k = 1;; ++k) {
        if (n - k - 1 < 0) return false;
        const Move m = gameRecord.moves[n - k];
        // Nothing before a null move, capture, promotion or pawn push can repeat.
        if (m == 0 || (m & CAPTURE_OR_PROMOTION) || isPawnPush(m)) return false;
        if (gameRecord.keys[n - k - 1] == board.hashKey) {
            // Within the search tree once is enough; in the game before the root, twice.
            if (k <= board.ply || seenBeforeRoot) return true;
            seenBeforeRoot = true;
        }
        if (n - k < count - 50) return true;   // more than 50 reversible half-moves
    }
}
