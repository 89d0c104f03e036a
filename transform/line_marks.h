#pragma once
#include <string>

namespace solvari {

// The label of line n in sentences and on the page: "0" for 0, "①".."⑭" for 1..14, "" otherwise.
// Lines 13 and 14 get labels too, so a 14-line page never writes a sentence without its line.
std::string lineMark(int n);

}  // namespace solvari
