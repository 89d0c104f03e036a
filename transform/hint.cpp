#include "transform/hint.h"

#include "transform/line_marks.h"
#include "transform/solver.h"

namespace solvari {

std::string hintSentence(Operation op, int n, const std::string& operand) {
    const std::string head = "ヒント：" + lineMark(n) + "式";
    switch (op) {
        case Operation::Brackets: return head + "のかっこをはずしてみましょう";
        case Operation::Transpose: return head + "を移項してみましょう";
        case Operation::Collect: return head + "を整理してみましょう";
        case Operation::Multiply: return head + "の両辺を" + operand + "倍してみましょう";
        case Operation::Divide: return head + "の両辺を" + operand + "で割ってみましょう";
        case Operation::Add: return head + "の両辺に" + operand + "をたしてみましょう";
        case Operation::Subtract: return head + "の両辺から" + operand + "をひいてみましょう";
        case Operation::None: break;
    }
    return HINT_NONE;
}

std::optional<Hint> hintFor(const Engine& engine, int n) {
    if (n < QUESTION_LINE || n > LAST_WORK_LINE) return std::nullopt;
    Engine scratch;  // what it says while it solves is not the student's business
    scratch.letter = engine.letter;
    scratch.hasDecimal = engine.hasDecimal;
    const Solution s = solveLine(scratch, engine.line(n));
    Hint h;
    if (s.lines.size() >= 2) {
        h.operation = s.lines[1].operation;
        h.operand = s.lines[1].operand;
    } else if (s.kind == SolutionKind::NoSolution || s.kind == SolutionKind::Infinite) {
        h.operation = Operation::Collect;
    } else {
        return std::nullopt;
    }
    h.sentence = hintSentence(h.operation, n, h.operand);
    return h;
}

}  // namespace solvari
