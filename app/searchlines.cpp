#include "app/searchlines.h"

#include <cstdio>

#include "board/notation.h"

namespace {

constexpr int PV_MOVES_SHOWN = 10;

void printInfoLine(const SearchReport& r) {
    const int rate = r.seconds >= 1 ? int(uint32_t(r.nodes / uint64_t(r.seconds))) : 0;
    char text[8] = "";
    formatMove(r.move, text);
    std::printf("# d:%d, mv:%s,score:%d,p/s:%d,rep:%d,chk:%d,recap:%d,time:%d\n", r.depth, text, r.score, rate,
                r.repetitions, r.checkExtensions, r.recaptures, r.seconds);
}

void printNewBest(const SearchReport& r) {
    printInfoLine(r);
    std::fputs("# pv: ", stdout);
    for (int i = 0; i < PV_MOVES_SHOWN && i < r.pvLength; ++i) {
        char text[8] = "";
        formatMove(r.pv[i], text);
        std::printf("%s ", text);
    }
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

void printResult(const SearchReport& r) {
    printInfoLine(r);
    std::fflush(stdout);
}

void printDrawWarning() { std::fputs("# WARNING! game draw!\n", stderr); }

}  // namespace

const SearchReporter PRINTING_REPORTER = {printNewBest, printResult, printDrawWarning};
