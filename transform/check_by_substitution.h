#pragma once
#include <string>

#include "engine/engine.h"
#include "engine/solution_set.h"

namespace solvari {

// The check shown under the answer: the answer put into the question line and both sides
// worked out exactly, "検算：x=3 のとき 左辺＝6，右辺＝6"; for no solution the two numbers the
// sides can never match, "どんな x でも 0＝5 にはなりません"; for every value "どんな x でも
// 成り立ちます". Values read as decimals in a question written with decimals (when four
// places hold them), else as reduced fractions ("-3/2"). "" when the question does not
// read as a linear equation or the set does not fit it.
std::string checkBySubstitution(const EquationLine& question, const SolutionSet& set, char letter, bool decimals);

// A value as the check writes it: "6", "-3/2", "0.25" (decimals only when asked).
std::string checkValueText(const Rational& r, bool decimals);

}  // namespace solvari
