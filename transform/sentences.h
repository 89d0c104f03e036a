#pragma once
#include <string>

#include "transform/operation.h"

namespace solvari {

// The sentence written above a new line: what was done to which line(s). lineOperand tells
// that the operand of ＋ or － is line b rather than the keypad text, which is quoted exactly
// as typed.
std::string stepSentence(Operation op, int lineA, int lineB, bool lineOperand, const std::string& operandText);

}  // namespace solvari
