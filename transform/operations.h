#pragma once
#include <string>
#include <vector>

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

// What a step came to. Nothing of it has been shown or asked.
struct StepResult {
    bool written = false;  // line targetLine holds the new line, its sentence as its text
    // What to tell the student, in the order it came up: the engine's refusal or notices, the
    // step's own refusal.
    std::vector<Diagnostic> diagnostics;
    // A transpose that moved nothing: the line is written, but the student is asked first
    // (ASK_NOTHING_TO_TRANSPOSE, after the diagnostics) whether to correct the step instead;
    // Yes takes it back.
    bool askCorrection = false;
};

inline constexpr const char* ASK_NOTHING_TO_TRANSPOSE = "移項する項はありません。訂正しますか";
inline constexpr const char* ASK_NOTHING_TO_TRANSPOSE_CAPTION = "確認";

// Carries out a step into line engine.targetLine (already reserved and empty): refuses it with
// its fixed message, or has the engine write the new line and stores the step's sentence as the
// line's text. Not written when the step was refused by its checks or because a number or the
// line outgrew its limits.
StepResult applyOperation(Engine& engine, const Step& step);

}  // namespace solvari
