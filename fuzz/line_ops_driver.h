#pragma once
// Runs every line operation on what a reader produced, and checks the invariants that must
// hold whatever the input: no line above 30 terms, no zero denominator in a number term.
#include <cstdlib>

#include "engine/engine.h"

namespace solvari::fuzz {

inline void checkLine(const Engine& e, int i) {
    const EquationLine& l = e.line(i);
    if (l.count < 0 || l.count > LINE_CAPACITY) std::abort();
    for (int k = 0; k < l.count; ++k) {
        const Term& t = l.terms[static_cast<size_t>(k)];
        if ((t.kind == KIND_NUMBER || isLetterKind(t.kind)) && t.den == 0) std::abort();
        if (t.num == INT32_MIN || t.den == INT32_MIN) std::abort();
    }
}

inline void runAllOperations(Engine& e, int source, Term operand) {
    const char ops[] = {'K', 'I', 'S', '*', '/', '+', '-', 'c', 'd'};
    int target = source + 1;
    for (char op : ops) {
        if (target > LAST_WORK_LINE) break;
        e.targetLine = target;
        e.clearLine(target);
        OpStatus s = OpStatus::Done;
        switch (op) {
            case 'K': s = e.removeParentheses(source); break;
            case 'I': s = e.transposeTerms(source); break;
            case 'S': s = e.collectLikeTerms(source); break;
            case '*': if (operand.num != 0) s = e.scaleLine(source, '*', operand); break;
            case '/': if (operand.num != 0) s = e.scaleLine(source, '/', operand); break;
            case '+': s = e.addToBothSides(source, '+', operand); break;
            case '-': s = e.addToBothSides(source, '-', operand); break;
            case 'c': s = e.combineLines(source, source); break;
            default: s = e.subtractLines(source, source); break;
        }
        if (s == OpStatus::Refused && e.line(target).count != 0) std::abort();
        checkLine(e, target);
        checkLine(e, source);
        ++target;
    }
}

}  // namespace solvari::fuzz
