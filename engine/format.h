#pragma once
#include <string>

#include "engine/engine.h"

namespace solvari {

// The magnitude of a value in decimal notation, or "" when the value is 0, has den 1, or
// needs more than four decimals. Never carries a sign: 1/4 -> "0.25", 4/2 -> "2".
std::string formatDecimal(Term t);

// Whether a positive term i of a line shows "+": not at the start of the line or of a side,
// nor right after an opening bracket.
bool needsPlusSign(const EquationLine& line, int i);

// A one-line plain-text form of a line for tests, diagnostics and the checker:
// 2x-3=5, 1/2x=3, -(x+1)=2, 1|2(x+1)=3, and 0.5x=2 while decimals are shown.
std::string lineToText(const EquationLine& line, bool showDecimals);

// The text of a value as a student types it on the keypad: 3, -3, 3分の2, 0.5.
std::string operandText(Term value, bool showDecimals);

// A term as numerator, kind byte and denominator ("3/4", "2x1", "0=1"): the stack view's rows.
// The corner-bracket kinds show as ｢ and ｣.
std::string termDump(Term t);

// Every term of a line as termDump, separated by single blanks.
std::string lineDump(const EquationLine& line);

}  // namespace solvari
