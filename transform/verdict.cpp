#include "transform/verdict.h"

namespace solvari {

Outcome lineVerdict(const EquationLine& l, char letter) {
    if (l.count != 3) return Outcome::Open;
    const Term& t0 = l.terms[0];
    const Term& t1 = l.terms[1];
    const Term& t2 = l.terms[2];
    if (t1.kind != KIND_EQUALS || t0.den == 0 || t2.den == 0) return Outcome::Open;
    if (t0.den == 1 && t0.num == 1 && t0.kind == letter && t2.kind == KIND_NUMBER) return Outcome::Solved;
    if (t0.kind == KIND_NUMBER && t2.kind == KIND_NUMBER)
        return sameValue(t0, t2) ? Outcome::AllValues : Outcome::NoSolution;
    return Outcome::Open;
}

Outcome classifyLine(Engine& engine, int n) {
    if (n < 0 || n > engine.targetLine) return Outcome::Open;
    const Outcome v = lineVerdict(engine.line(n), engine.letter);
    if (v == Outcome::Solved) engine.line(ANSWER_LINE) = engine.line(n);
    return v;
}

bool verdictAgrees(const Engine& engine, Outcome verdict, const SolutionSet& question) {
    switch (verdict) {
        case Outcome::Solved: {
            const auto answer = solutionSetOf(engine.line(ANSWER_LINE));
            return answer && question.kind == Outcome::Solved && *answer == question;
        }
        case Outcome::NoSolution: return question.kind == Outcome::NoSolution;
        case Outcome::AllValues: return question.kind == Outcome::AllValues;
        case Outcome::Open: break;
    }
    return false;
}

}  // namespace solvari
