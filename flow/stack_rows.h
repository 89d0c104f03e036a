#pragma once
#include <string>
#include <vector>

#include "engine/engine.h"

namespace solvari {

// The rows of the stack contents window for the lines now on the page (1..targetLine): each
// line's text, one row per term ("3/4  ", numerator, kind, denominator and two blanks), then a
// separator of 20 dashes followed by the line's label. No line on the page gives no row.
std::vector<std::string> stackRows(const Engine& engine);

}  // namespace solvari
