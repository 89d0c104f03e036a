#pragma once
#include <string>

#include "engine/engine.h"

namespace solvari {

// Whether two lines are the same equation written the same way: the same kinds in the same
// order with the same values (1/2 equals 2/4, 0/2 equals 0/1). The sentence is not compared.
bool sameWrittenLine(const EquationLine& a, const EquationLine& b);

// The first line 1..n-1 of the page that line n repeats, or 0 when there is none.
int repeatedLine(const Engine& engine, int n);

// "③式は①式と同じ式です" (a line without a mark reads この式).
std::string repeatedLineMessage(int n, int earlier);

}  // namespace solvari
