#include "transform/solver.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>

#include "engine/format.h"
#include "transform/sentences.h"
#include "transform/verdict.h"

namespace solvari {
namespace {

int countOpenBrackets(const EquationLine& l) {
    int n = 0;
    for (int i = 0; i < l.count; ++i) n += isOpenBracket(l.terms[static_cast<size_t>(i)].kind) ? 1 : 0;
    return n;
}

bool hasValue(const Term& t) { return t.kind == KIND_NUMBER || t.kind == KIND_BAR || isLetterKind(t.kind); }

std::string exactValue(Term t) {
    if (t.num == 0) return "0";
    const int64_t g = std::gcd(static_cast<int64_t>(t.num), static_cast<int64_t>(t.den));
    const int64_t num = t.num / g;
    const int64_t den = t.den / g;
    return den == 1 ? std::to_string(num) : std::to_string(num) + "/" + std::to_string(den);
}

class Worker {
public:
    Worker(Engine& e, Solution& s, int lastLine) : e_(e), s_(s), lastLine_(lastLine) {}

    void run() {
        const bool done = removeBrackets() && clearFractions() && transpose() && collect() && divide();
        if (!done) return;
        finish();
    }

private:
    Engine& e_;
    Solution& s_;
    int lastLine_;
    int cur_ = QUESTION_LINE;

    bool fail(const char* why) {
        s_.failure = why;
        return false;
    }
    bool decided() const { return lineVerdict(e_.line(cur_), e_.letter) != Outcome::Open; }

    // Reserves the next line; false (with the reason) when the page has no room left.
    bool reserve() {
        if (cur_ + 1 > lastLine_) return fail(SOLVE_TOO_MANY_LINES);
        e_.targetLine = cur_ + 1;
        e_.clearLine(e_.targetLine);
        e_.line(e_.targetLine).text.clear();
        return true;
    }
    void withdraw() {
        e_.clearLine(e_.targetLine);
        e_.targetLine = cur_;
    }
    void accept(Operation op, const std::string& operand) {
        const int source = cur_;
        cur_ = e_.targetLine;
        EquationLine& l = e_.line(cur_);
        l.text = stepSentence(op, source, 0, false, operand);
        s_.lines.push_back(SolvedLine{cur_, op, l.text, lineToText(l, e_.hasDecimal), operand});
    }

    bool removeBrackets() {
        while (!decided() && countOpenBrackets(e_.line(cur_)) > 0) {
            if (!reserve()) return false;
            const OpStatus st = e_.removeParentheses(cur_);
            if (st == OpStatus::Refused) return fail(SOLVE_REFUSED);
            // An unbalanced group keeps its bracket for ever; stop rather than loop.
            if (st != OpStatus::Done || countOpenBrackets(e_.line(e_.targetLine)) >= countOpenBrackets(e_.line(cur_))) {
                withdraw();
                return fail(SOLVE_BRACKETS_STUCK);
            }
            accept(Operation::Brackets, "");
        }
        return true;
    }

    bool clearFractions() {
        if (decided()) return true;
        int64_t factor = 1;
        const EquationLine& l = e_.line(cur_);
        for (int i = 0; i < l.count; ++i) {
            const Term& t = l.terms[static_cast<size_t>(i)];
            if (!hasValue(t) || t.den <= 0 || t.num % t.den == 0) continue;
            const int64_t den = t.den / std::gcd(static_cast<int64_t>(t.num), static_cast<int64_t>(t.den));
            factor = std::lcm(factor, den);
            // Too large to clear: collect first and divide by the fraction instead.
            if (factor > INT32_MAX) return true;
        }
        if (factor == 1) return true;
        // Decimals are cleared the way they are taught: by 10, 100, ... (0.2x+1=0.6x-3 times 10,
        // not 5), as long as a power of ten clears every denominator.
        if (e_.hasDecimal) {
            for (int64_t ten = 10; ten <= 100000; ten *= 10) {
                if (ten % factor == 0) {
                    factor = ten;
                    break;
                }
            }
        }
        if (!reserve()) return false;
        const Term operand{1, static_cast<int32_t>(factor), KIND_NUMBER};
        if (e_.scaleLine(cur_, '*', operand) == OpStatus::Refused) {
            // A product outgrew the numbers: collecting first may keep them small
            // (3(-81261x)=53x-8.3121x), so go on without clearing and say nothing of it.
            e_.takeDiagnostics();
            withdraw();
            return true;
        }
        accept(Operation::Multiply, operandText(operand, e_.hasDecimal));
        return true;
    }

    bool transpose() {
        if (decided()) return true;
        if (!reserve()) return false;
        const OpStatus st = e_.transposeTerms(cur_);
        if (st == OpStatus::Refused) return fail(SOLVE_REFUSED);
        if (st == OpStatus::NoChange) {
            withdraw();
            return true;
        }
        accept(Operation::Transpose, "");
        return true;
    }

    bool collect() {
        if (decided()) return true;
        if (!reserve()) return false;
        if (e_.collectLikeTerms(cur_) == OpStatus::Refused) return fail(SOLVE_REFUSED);
        if (sameLine(e_.line(e_.targetLine), e_.line(cur_))) {
            withdraw();
            return true;
        }
        accept(Operation::Collect, "");
        return true;
    }

    bool divide() {
        if (decided()) return true;
        const EquationLine& l = e_.line(cur_);
        if (l.count != 3 || l.terms[0].kind != e_.letter || l.terms[0].num == 0 || l.terms[1].kind != KIND_EQUALS ||
            l.terms[2].kind != KIND_NUMBER)
            return fail(SOLVE_NO_VERDICT);
        const Term coefficient{l.terms[0].den, l.terms[0].num, KIND_NUMBER};
        if (!reserve()) return false;
        if (e_.scaleLine(cur_, '/', coefficient) == OpStatus::Refused) return fail(SOLVE_REFUSED);
        accept(Operation::Divide, operandText(coefficient, e_.hasDecimal));
        return true;
    }

    void finish() {
        const EquationLine& l = e_.line(cur_);
        s_.kind = lineVerdict(l, e_.letter);
        e_.targetLine = cur_;
        switch (s_.kind) {
            case Outcome::Solved:
                e_.line(ANSWER_LINE) = l;
                s_.answerText = "【答】" + lineToText(l, e_.hasDecimal);
                s_.answerValue = exactValue(l.terms[2]);
                break;
            case Outcome::NoSolution:
                s_.answerText = "【答】解なし";
                s_.answerValue = "NONE";
                break;
            case Outcome::AllValues:
                s_.answerText = "【答】解は無数にある";
                s_.answerValue = "ALL";
                break;
            case Outcome::Open:
                s_.failure = SOLVE_NO_VERDICT;
                break;
        }
    }
};

}  // namespace

Solution solveQuestion(Engine& engine, std::string_view question, int lastLine) {
    Solution s;
    for (int i = QUESTION_LINE; i <= LAST_WORK_LINE; ++i) {
        engine.clearLine(i);
        engine.line(i).text.clear();
    }
    engine.targetLine = QUESTION_LINE;
    s.parsed = engine.parseEquation(QUESTION_LINE, question, s.diagnostics);
    s.engineError = engine.engineError;
    if (!s.parsed) {
        s.failure = SOLVE_NOT_PARSED;
        return s;
    }
    EquationLine& q = engine.line(QUESTION_LINE);
    q.text = std::string(question);
    s.lines.push_back(SolvedLine{QUESTION_LINE, Operation::None, "", lineToText(q, engine.hasDecimal), ""});
    Worker(engine, s, std::clamp(lastLine, QUESTION_LINE, LAST_WORK_LINE)).run();
    for (Diagnostic& d : engine.takeDiagnostics()) s.diagnostics.push_back(std::move(d));
    return s;
}

Solution solveLine(Engine& engine, const EquationLine& line, int lastLine) {
    Solution s;
    for (int i = QUESTION_LINE; i <= LAST_WORK_LINE; ++i) {
        engine.clearLine(i);
        engine.line(i).text.clear();
    }
    engine.line(QUESTION_LINE) = line;
    engine.line(QUESTION_LINE).text.clear();
    engine.targetLine = QUESTION_LINE;
    s.parsed = true;
    s.lines.push_back(SolvedLine{QUESTION_LINE, Operation::None, "", lineToText(line, engine.hasDecimal), ""});
    Worker(engine, s, std::clamp(lastLine, QUESTION_LINE, LAST_WORK_LINE)).run();
    for (Diagnostic& d : engine.takeDiagnostics()) s.diagnostics.push_back(std::move(d));
    return s;
}

}  // namespace solvari
