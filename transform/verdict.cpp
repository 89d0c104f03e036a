#include "transform/verdict.h"

namespace solvari {

Verdict classifyLine(Engine& engine, int n) {
    if (n < 0 || n > engine.targetLine) return VERDICT_OPEN;
    const EquationLine& l = engine.line(n);
    if (l.count != 3) return VERDICT_OPEN;
    const Term& t0 = l.terms[0];
    const Term& t1 = l.terms[1];
    const Term& t2 = l.terms[2];
    if (t0.den == 1 && t0.num == 1 && t0.kind == engine.letter && t1.kind == KIND_EQUALS && t2.kind == KIND_NUMBER) {
        engine.line(ANSWER_LINE) = l;
        return VERDICT_SOLVED;
    }
    if (t0.kind == KIND_NUMBER && t2.kind == KIND_NUMBER)
        return sameValue(t0, t2) ? VERDICT_ALL_VALUES : VERDICT_NO_SOLUTION;
    return VERDICT_OPEN;
}

bool verdictAgrees(const Engine& engine, Verdict verdict, const SolutionSet& question) {
    switch (verdict) {
        case VERDICT_SOLVED: {
            const auto answer = solutionSetOf(engine.line(ANSWER_LINE));
            return answer && question.kind == SolutionSet::Kind::One && *answer == question;
        }
        case VERDICT_NO_SOLUTION: return question.kind == SolutionSet::Kind::None;
        case VERDICT_ALL_VALUES: return question.kind == SolutionSet::Kind::All;
        case VERDICT_OPEN: break;
    }
    return false;
}

}  // namespace solvari
