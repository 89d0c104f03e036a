#include "transform/hint.h"

#include <cstdint>
#include <vector>

#include "engine/format.h"
#include "transform/line_marks.h"
#include "transform/operations.h"
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
        // The solver never adds to both sides: its hints move terms with 移項 instead.
        case Operation::Add:
        case Operation::Subtract:
        case Operation::None: break;
    }
    return HINT_NONE;
}

namespace {

// The keypad operand that means value t: the text a student types ("12", "3分の2", "0.25",
// "-1030.1"), or "" when the keypad cannot take it (more than four digits, a decimal of more
// than six digits). A fraction is named as a fraction unless only its decimal form fits.
std::string typedOperand(Term t, bool decimals) {
    Engine reader;
    auto takes = [&](const std::string& text) {
        std::vector<Diagnostic> said;
        const Term r = reader.parseOperand(text, said);
        return r.den != 0 && said.empty() && r.kind == KIND_NUMBER && sameValue(r, t);
    };
    const Term v = reduceTerm(t.den, t.num, KIND_NUMBER);
    std::string text = operandText(v, decimals);
    if (takes(text)) return text;
    if (!decimals && takes(operandText(v, true))) return operandText(v, true);
    return "";
}

// A number the keypad takes that m (m > 1) can be multiplied or divided by in stages: m
// itself when it has at most four digits, else its largest factor of at most four digits (a
// power of ten split into powers of ten), else m/10 as a decimal (10301 = 1030.1 × 10).
std::optional<Term> stageOf(int64_t m) {
    if (m <= 9999) return Term{1, static_cast<int32_t>(m), KIND_NUMBER};
    int64_t p = m;
    while (p % 10 == 0) p /= 10;
    if (p == 1) return Term{1, 1000, KIND_NUMBER};  // 10000 = 1000 × 10
    for (int64_t d = 9999; d > 1; --d)
        if (m % d == 0) return Term{1, static_cast<int32_t>(d), KIND_NUMBER};
    if (m <= 999999) return Term{10, static_cast<int32_t>(m), KIND_NUMBER};
    return std::nullopt;
}

struct Plan {
    Operation operation = Operation::None;
    Term operand = ZERO_TERM;
    std::string typed;  // as the keypad takes it; "" for steps without an operand
};

// Whether the step can be carried out from the line and changes it (nothing refused, nothing
// too large, not the same line again).
bool stepWorks(const Engine& engine, const EquationLine& line, const Plan& p) {
    Engine scratch;
    scratch.letter = engine.letter;
    scratch.hasDecimal = engine.hasDecimal;
    scratch.line(QUESTION_LINE) = line;
    scratch.targetLine = QUESTION_LINE + 1;
    const StepResult r = applyOperation(scratch, Step{p.operation, QUESTION_LINE, 0, false, p.operand, p.typed});
    return r.written && !r.askCorrection && !sameLine(scratch.line(QUESTION_LINE + 1), line);
}

// The line as letter-term = number (a·x = b), with a.
std::optional<Term> soleCoefficient(const EquationLine& l, char letter) {
    if (l.count != 3 || l.terms[0].kind != letter || l.terms[0].num == 0 || l.terms[1].kind != KIND_EQUALS ||
        l.terms[2].kind != KIND_NUMBER)
        return std::nullopt;
    return reduceTerm(l.terms[0].den, l.terms[0].num, KIND_NUMBER);
}

// Steps a student can enter, for when the solver's way names a number the keypad does not
// take: brackets off, transpose and collect first; then, on a·x = b, divide by a as typed, or
// clear a's denominator and divide by its numerator, each in stages if need be. Every stage
// makes a's numerator or denominator smaller, so following these hints ends.
std::optional<Plan> keypadPlan(const Engine& engine, const EquationLine& line) {
    const bool dec = engine.hasDecimal;
    std::vector<Plan> tries;
    auto add = [&](Operation op, Term operand) {
        const std::string t = typedOperand(operand, dec);
        if (!t.empty()) tries.push_back({op, operand, t});
    };
    if (const std::optional<Term> a = soleCoefficient(line, engine.letter)) {
        add(Operation::Divide, *a);
        const int64_t num = a->num < 0 ? -static_cast<int64_t>(a->num) : a->num;
        if (a->den > 1) {
            if (const std::optional<Term> f = stageOf(a->den)) add(Operation::Multiply, *f);
        } else if (const std::optional<Term> f = stageOf(num)) {
            add(Operation::Divide, a->num < 0 ? Term{f->den, -f->num, KIND_NUMBER} : *f);
        }
    } else {
        tries.push_back({Operation::Brackets, ZERO_TERM, ""});
        tries.push_back({Operation::Transpose, ZERO_TERM, ""});
        tries.push_back({Operation::Collect, ZERO_TERM, ""});
    }
    for (const Plan& p : tries)
        if (stepWorks(engine, line, p)) return p;
    return std::nullopt;
}

// Whether the keypad takes every number the solver's way names.
bool typeable(const Solution& s) {
    Engine reader;
    for (const SolvedLine& l : s.lines) {
        if (l.operand.empty()) continue;
        std::vector<Diagnostic> said;
        const Term t = reader.parseOperand(l.operand, said);
        if (t.den == 0 || !said.empty()) return false;
    }
    return true;
}

}  // namespace

std::optional<Hint> hintFor(const Engine& engine, int n) {
    if (n < QUESTION_LINE || n > LAST_WORK_LINE) return std::nullopt;
    Engine scratch;  // what it says while it solves is not the student's business
    scratch.letter = engine.letter;
    scratch.hasDecimal = engine.hasDecimal;
    const EquationLine& line = engine.line(n);
    const Solution s = solveLine(scratch, line);
    Hint h;
    if (s.lines.size() < 2 && (s.kind == Outcome::NoSolution || s.kind == Outcome::AllValues)) {
        // 整理 would only write the line again: the verdict is what is missing
        h.sentence = HINT_CHOICE;
        return h;
    }
    if (s.lines.size() < 2 && s.kind == Outcome::Solved) {
        h.sentence = HINT_SOLVED;
        return h;
    }
    // The hint names only what the keypad takes, all the way to the answer: the solver's step
    // while its whole way can be typed, else another way there.
    if (s.kind != Outcome::Open && typeable(s)) {
        h.operation = s.lines[1].operation;
        h.operand = s.lines[1].operand;
    } else {
        const std::optional<Plan> p = keypadPlan(engine, line);
        if (!p) return std::nullopt;
        h.operation = p->operation;
        h.operand = p->typed;
    }
    h.sentence = hintSentence(h.operation, n, h.operand);
    return h;
}

}  // namespace solvari
