#pragma once

#include "engine/engine.h"
#include "engine/solution_set.h"

namespace solvari {

// What a line's form says (a 3-term line only): the letter with coefficient exactly 1 = a
// number is solved; number = number is no solution, or every value when the two numbers are
// equal. Numbers are compared by value, so 0/2 = 0/1 holds. The drill and the solver both
// judge by this.
Outcome lineVerdict(const EquationLine& line, char letter);

// The drill's verdict on line n of the page: lineVerdict, and a solved line is copied to
// ANSWER_LINE.
Outcome classifyLine(Engine& engine, int n);

// Whether a verdict (with the answer line classifyLine copied) says what the question's own
// solution set says; the drill accepts no other.
bool verdictAgrees(const Engine& engine, Outcome verdict, const SolutionSet& question);

}  // namespace solvari
