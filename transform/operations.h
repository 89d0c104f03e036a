#pragma once
#include <string>

#include "engine/engine.h"
#include "transform/operation.h"

namespace solvari {

// One step as the student built it.
struct Step {
    Operation operation = Operation::None;
    int firstLine = 0;          // line A
    int secondLine = 0;         // line B, for adding or subtracting two lines
    bool lineOperand = false;   // the operand is line B (the last input was a line)
    Term operand = ZERO_TERM;   // the keypad operand, parsed
    std::string operandText;    // the keypad text exactly as typed
};

// Carries out a step into line engine.targetLine (already reserved and empty): refuses it with
// its fixed message, or has the engine write the new line and stores the step's sentence as the
// line's text. Returns false when the step was refused (by its checks, by the student's
// "correct it" answer, or because a number or the line outgrew its limits).
bool applyOperation(Engine& engine, Prompter& prompter, const Step& step);

}  // namespace solvari
