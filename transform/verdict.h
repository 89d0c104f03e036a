#pragma once

#include "engine/engine.h"
#include "engine/solution_set.h"

namespace solvari {

enum Verdict { VERDICT_OPEN = 0, VERDICT_SOLVED = 1, VERDICT_NO_SOLUTION = 2, VERDICT_ALL_VALUES = 3 };

// Judges line n (a 3-term line only): the letter with coefficient exactly 1 = a number is
// solved (and the line is copied to ANSWER_LINE); number = number is no solution, or every
// value when the two numbers are equal. Numbers are compared by value, so 0/2 = 0/1 holds.
Verdict classifyLine(Engine& engine, int n);

// Whether a verdict (with the answer line classifyLine copied) says what the question's own
// solution set says; the drill accepts no other.
bool verdictAgrees(const Engine& engine, Verdict verdict, const SolutionSet& question);

}  // namespace solvari
