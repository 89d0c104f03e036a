#pragma once
// A student who does nothing but follow the hints: from the question, ask for a hint, type
// its operand on the keypad exactly as the hint names it, execute, and repeat until the line
// is the answer. Shared by the hint tests and the hint-rate harness in bench/.
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/solution_set.h"
#include "transform/hint.h"
#include "transform/operations.h"
#include "transform/verdict.h"

namespace solvari::testing {

enum class HintWalk { Reached, NoHint, KeypadRefuses, StepRefused, TooManyLines, NotAQuestion };

struct HintWalkResult {
    HintWalk outcome = HintWalk::NotAQuestion;
    int lines = 0;            // lines on the page at the end
    std::string stuckAt;      // the hint or line where the walk stopped
};

// lastLine: the newest line the walk may write (the page's 13 lines by default).
inline HintWalkResult followHints(const std::string& question, int lastLine = 13) {
    HintWalkResult r;
    Engine e;
    std::vector<Diagnostic> said;
    if (!e.parseEquation(QUESTION_LINE, question, said)) return r;
    const std::optional<SolutionSet> asked = solutionSetOf(e.line(QUESTION_LINE));
    if (!asked) return r;
    e.targetLine = QUESTION_LINE;
    for (;;) {
        const int n = e.targetLine;
        r.lines = n;
        const Outcome v = classifyLine(e, n);
        if (v != Outcome::Open && verdictAgrees(e, v, *asked)) {
            r.outcome = HintWalk::Reached;
            return r;
        }
        if (n >= lastLine) {
            r.outcome = HintWalk::TooManyLines;
            return r;
        }
        const std::optional<Hint> h = hintFor(e, n);
        if (!h) {
            r.outcome = HintWalk::NoHint;
            return r;
        }
        r.stuckAt = h->sentence;
        Term operand = ZERO_TERM;
        if (!h->operand.empty()) {
            std::vector<Diagnostic> typed;
            operand = e.parseOperand(h->operand, typed);
            if (operand.den == 0 || !typed.empty()) {
                r.outcome = HintWalk::KeypadRefuses;
                return r;
            }
        }
        e.targetLine = n + 1;
        e.clearLine(e.targetLine);
        const StepResult step = applyOperation(e, Step{h->operation, n, 0, false, operand, h->operand});
        const std::optional<SolutionSet> now = step.written ? solutionSetOf(e.line(n + 1)) : std::nullopt;
        if (!step.written || !now || !(*now == *asked)) {
            r.outcome = HintWalk::StepRefused;
            return r;
        }
    }
}

// Random questions a·x+b=c·x+d (or k(a·x+b)=c·x+d) whose numbers are integers, fractions or
// decimals of at most two digits each, keeping those whose answer is one value with numerator
// and denominator of at most four digits.
class HintQuestionMaker {
public:
    explicit HintQuestionMaker(unsigned seed) : rng_(seed) {}

    std::string next(bool bracket) {
        for (;;) {
            const bool decimals = pick(0, 2) == 0;  // integers mixed with fractions or with decimals
            std::string left = coefficient(decimals) + "x" + signed_(number(decimals));
            if (bracket) left = std::to_string(pick(2, 99)) + "(" + left + ")";
            const std::string q = left + "=" + coefficient(decimals) + "x" + signed_(number(decimals));
            if (fits(q)) return q;
        }
    }

private:
    std::mt19937 rng_;
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    std::string number(bool decimals) {
        const int kind = pick(0, 2);
        if (kind == 0) return std::to_string(pick(1, 99));
        if (kind == 1 && !decimals) return std::to_string(pick(1, 99)) + "/" + std::to_string(pick(2, 99));
        if (kind == 1 || decimals) {
            if (pick(0, 1) == 0) return std::to_string(pick(0, 9)) + "." + std::to_string(pick(1, 9));
            return "0." + std::to_string(pick(0, 9)) + std::to_string(pick(1, 9));
        }
        return std::to_string(pick(1, 99));
    }
    std::string coefficient(bool decimals) {
        std::string c = (pick(0, 1) ? "-" : "") + number(decimals);
        return c == "1" ? "" : c == "-1" ? "-" : c;
    }
    std::string signed_(const std::string& n) { return (pick(0, 1) ? "+" : "-") + n; }
    static bool fits(const std::string& q) {
        Engine e;
        std::vector<Diagnostic> said;
        if (!e.parseEquation(QUESTION_LINE, q, said)) return false;
        const std::optional<SolutionSet> s = solutionSetOf(e.line(QUESTION_LINE));
        if (!s || s->kind != Outcome::Solved) return false;
        const Wide num = s->value.num < 0 ? -s->value.num : s->value.num;
        return num <= 9999 && s->value.den <= 9999;
    }
};

}  // namespace solvari::testing
