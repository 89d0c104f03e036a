#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "engine/solution_set.h"
#include "transform/operation.h"

namespace solvari {


// One line of a worked solution.
struct SolvedLine {
    int line = 0;          // LineTable index (1 = the question)
    Operation operation = Operation::None;  // None for the question
    std::string sentence;  // stepSentence(...); empty for the question
    std::string text;      // lineToText of the line
    std::string operand;   // operandText of the step's number; empty when it has none
};

struct Solution {
    bool parsed = false;
    Outcome kind = Outcome::Open;
    std::vector<SolvedLine> lines;  // the question first, then one per step
    int steps() const { return lines.empty() ? 0 : static_cast<int>(lines.size()) - 1; }
    std::string answerText;   // "【答】x=3", "【答】解なし", "【答】解は無数にある"; "" when unsolved
    std::string answerValue;  // "7", "-3/2" (reduced), "NONE", "ALL"; "" when unsolved
    std::string failure;      // why no verdict was reached ("" when one was)
    int engineError = 0;      // engineError after the parse
    // What the reader and the line operations said during the work, in order (the reader's
    // messages, a number grown too large); nothing of it has been shown.
    std::vector<Diagnostic> diagnostics;
};

// Works a question the way a careful student does it on the page, using only the engine's
// line operations: remove brackets (innermost first) until none are left; multiply both sides
// by the lcm of the denominators when a number is not an integer (in an equation written with
// decimals, by the smallest power of ten that is a multiple of it), unless a number would grow
// too large, when it collects first and divides by a fraction; transpose; collect; divide by
// the letter's coefficient when it is not 1. A transpose that moves nothing and a collect
// that changes nothing are skipped. The question goes into line 1 and the steps into lines
// 2.. of the engine's table; no step writes above LAST_WORK_LINE. The verdict compares values,
// so 0/2 = 0/1 is an identity. What the engine says on the way comes back in the
// solution's diagnostics.
// lastLine lowers the page's limit (tests); it is clamped to LAST_WORK_LINE.
Solution solveQuestion(Engine& engine, std::string_view question, int lastLine = LAST_WORK_LINE);
// The same work from a line already on a page (the hint): it goes into line 1 as it is, with
// the engine's letter and decimal mode as the caller set them.
Solution solveLine(Engine& engine, const EquationLine& line, int lastLine = LAST_WORK_LINE);

// "解けませんでした" reasons, for the checker and tests.
inline constexpr const char* SOLVE_NOT_PARSED = "問題を読み取れません";
inline constexpr const char* SOLVE_TOO_MANY_LINES = "行が足りず解けません";
inline constexpr const char* SOLVE_REFUSED = "計算できない操作があります";
inline constexpr const char* SOLVE_BRACKETS_STUCK = "かっこをはずせません";
inline constexpr const char* SOLVE_NO_VERDICT = "解の形になりません";

}  // namespace solvari
