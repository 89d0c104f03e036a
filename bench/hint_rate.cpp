// How often a student who only follows the hints reaches the answer within the page's 13
// lines, on random questions a·x+b=c·x+d (and k(a·x+b)=c·x+d) with numbers of at most two
// digits whose answers fit four digits. Prints the rate per kind and the first failures.
//   bench_hint_rate [questions per kind, default 10000] [seed]
#include <cstdio>
#include <cstdlib>
#include <map>

#include "tests/support/follow_hints.h"

int main(int argc, char** argv) {
    using namespace solvari::testing;
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 20261207u;
    const char* names[] = {"", "no hint", "keypad refuses", "step refused", "more than 13 lines", ""};
    for (const bool bracket : {false, true}) {
        HintQuestionMaker maker(seed + (bracket ? 1 : 0));
        std::map<HintWalk, int> tally;
        int shown = 0;
        for (int i = 0; i < count; ++i) {
            const std::string q = maker.next(bracket);
            const HintWalkResult r = followHints(q);
            ++tally[r.outcome];
            if (r.outcome != HintWalk::Reached && shown++ < 5)
                std::printf("  %-38s %s (%s)\n", q.c_str(), names[static_cast<int>(r.outcome)], r.stuckAt.c_str());
        }
        std::printf("%s: %d of %d reached (%.2f %%)", bracket ? "k(ax+b)=cx+d" : "ax+b=cx+d", tally[HintWalk::Reached],
                    count, 100.0 * tally[HintWalk::Reached] / count);
        for (const auto& [k, n] : tally)
            if (k != HintWalk::Reached) std::printf("; %s %d", names[static_cast<int>(k)], n);
        std::printf("\n");
    }
    return 0;
}
