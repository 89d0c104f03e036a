#pragma once
#include <string>

namespace solvari {

// The sentence written above a new line: what was done to which line(s). op is the pending
// operation ('*', '/', '+', '-', 'K', 'I', 'S'); lineOperand tells that the operand of '+' or
// '-' is line b rather than the keypad text. The keypad text is quoted exactly as typed.
std::string stepSentence(char op, int lineA, int lineB, bool lineOperand, const std::string& operandText);

}  // namespace solvari
