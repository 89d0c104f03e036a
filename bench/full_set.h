#pragma once
// A full-size question set for the benchmarks: 20 units of 7 questions of every kind the
// solver meets.
#include <array>
#include <string>
#include <vector>

namespace solvari::bench {

inline std::vector<std::string> fullSetLines() {
    static const std::array<const char*, 14> kinds = {
        "2x+3=7",          "5x=3x+8",        "3(x-2)=x+4",      "-(3x-2)=-(x-6)",  "2(3(x+1)-4)=10",
        "3{x-2(x-1)}=x+2", "0.2x+1=0.6x-3",  "1/2x+1/3x=5",     "1|3(x+2)=1|2(x-1)", "3y-5=10",
        "9x-2=3x+1",       "2x+1=2x+3",      "3(x+2)=3x+6",     "1.2x-0.4=2x+2"};
    std::vector<std::string> lines;
    size_t k = 0;
    for (int u = 1; u <= 20; ++u) {
        lines.push_back("<<単元" + std::to_string(u));
        for (int q = 1; q <= 7; ++q) lines.push_back(kinds[k++ % kinds.size()]);
        lines.push_back(">>");
    }
    return lines;
}

}  // namespace solvari::bench
