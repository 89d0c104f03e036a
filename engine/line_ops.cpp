// Algebra on whole lines. Each operation reads copies of its source lines and writes line
// targetLine; the order of the terms it writes is part of what it promises.
#include "engine/engine.h"

namespace solvari {

void Engine::appendSide(int lineIndex, Term numberSum, Term letterSum) {
    if (letterSum.num != 0) appendTerm(lineIndex, letterSum);
    if (numberSum.num != 0 || letterSum.num == 0) appendTerm(lineIndex, numberSum);
}

// Writes the collected form of source into targetLine (which must be empty).
void Engine::collectInto(const EquationLine& source) {
    Term letterSum{1, 0, letter};
    Term numberSum = ZERO_TERM;
    for (int i = 0; i < source.count; ++i) {
        const Term& t = source.terms[static_cast<size_t>(i)];
        if (t.kind == KIND_NUMBER) {
            numberSum = addTerms(numberSum, t);
        } else if (t.kind == KIND_EQUALS) {
            appendSide(targetLine, numberSum, letterSum);
            appendTerm(targetLine, Term{1, 0, KIND_EQUALS});
            letterSum = Term{1, 0, letter};
            numberSum = ZERO_TERM;
        } else if (t.kind == letter) {
            letterSum = addTerms(letterSum, t);
        }
    }
    appendSide(targetLine, numberSum, letterSum);
}

OpStatus Engine::collectLikeTerms(int a) {
    beginOp();
    const EquationLine copy = line(a);
    clearLine(targetLine);
    collectInto(copy);
    return finishOp(OpStatus::Done);
}

OpStatus Engine::combineLines(int a, int b) { return combineCopies(line(a), line(b)); }

// Line b is negated in a copy, so it needs no restoring, and a line minus itself is 0 = 0.
OpStatus Engine::subtractLines(int a, int b) {
    EquationLine negated = line(b);
    for (int i = 0; i < negated.count; ++i) {
        Term& t = negated.terms[static_cast<size_t>(i)];
        t.num = -t.num;
    }
    return combineCopies(line(a), negated);
}

OpStatus Engine::combineCopies(EquationLine first, EquationLine second) {
    beginOp();
    clearLine(COLLECT_BUFFER);
    clearLine(targetLine);
    for (const EquationLine* src : {&first, &second}) {
        bool right = false;
        for (int i = 0; i < src->count; ++i) {
            const Term& t = src->terms[static_cast<size_t>(i)];
            if (t.kind == KIND_EQUALS) right = true;
            else appendTerm(right ? COLLECT_BUFFER : targetLine, t);
        }
    }
    appendTerm(targetLine, Term{1, 0, KIND_EQUALS});
    const EquationLine& buffer = line(COLLECT_BUFFER);
    for (int i = 0; i < buffer.count; ++i) appendTerm(targetLine, buffer.terms[static_cast<size_t>(i)]);
    const EquationLine combined = line(targetLine);
    clearLine(targetLine);
    collectInto(combined);
    return finishOp(OpStatus::Done);
}

OpStatus Engine::transposeTerms(int a) {
    beginOp();
    const EquationLine source = line(a);
    clearLine(COLLECT_BUFFER);
    clearLine(targetLine);
    bool moved = false;
    bool right = false;
    for (int i = 0; i < source.count; ++i) {
        Term t = source.terms[static_cast<size_t>(i)];
        Term negated{t.den, -t.num, t.kind};
        if (t.kind == KIND_NUMBER && t.num != 0) {
            appendTerm(COLLECT_BUFFER, right ? t : negated);
            if (!right) moved = true;
        } else if (t.kind == KIND_EQUALS) {
            right = true;
        } else if (isLetterKind(t.kind)) {
            appendTerm(targetLine, right ? negated : t);
            if (right) moved = true;
        }
    }
    appendTerm(targetLine, Term{1, 0, KIND_EQUALS});
    const EquationLine& buffer = line(COLLECT_BUFFER);
    if (buffer.count == 0) appendTerm(targetLine, ZERO_TERM);
    for (int i = 0; i < buffer.count; ++i) appendTerm(targetLine, buffer.terms[static_cast<size_t>(i)]);
    return finishOp(moved ? OpStatus::Done : OpStatus::NoChange);
}

OpStatus Engine::addToBothSides(int a, char op, Term operand) {
    beginOp();
    if (op == '-') operand.num = -operand.num;
    auto startLetter = [&] { return operand.kind == letter ? operand : Term{1, 0, letter}; };
    auto startNumber = [&] { return operand.kind == KIND_NUMBER ? operand : ZERO_TERM; };
    const EquationLine source = line(a);
    Term letterSum = startLetter();
    Term numberSum = startNumber();
    for (int i = 0; i < source.count; ++i) {
        const Term& t = source.terms[static_cast<size_t>(i)];
        if (t.kind == KIND_NUMBER) {
            numberSum = addTerms(numberSum, t);
        } else if (t.kind == letter) {
            letterSum = addTerms(letterSum, t);
        } else if (t.kind == KIND_EQUALS) {
            appendSide(targetLine, numberSum, letterSum);
            appendTerm(targetLine, Term{1, 0, KIND_EQUALS});
            letterSum = startLetter();
            numberSum = startNumber();
        }
    }
    appendSide(targetLine, numberSum, letterSum);
    return finishOp(OpStatus::Done);
}

OpStatus Engine::scaleLine(int a, char op, Term operand) {
    beginOp();
    const EquationLine source = line(a);
    int depth = 0;
    for (int i = 0; i < source.count; ++i) {
        const Term& t = source.terms[static_cast<size_t>(i)];
        if (isOpenBracket(t.kind)) ++depth;
        else if (isCloseBracket(t.kind)) --depth;
        if (depth != 0) {
            appendTerm(targetLine, t);
        } else if (op == '*') {
            appendTerm(targetLine, multiplyTerms(t, operand));
        } else {
            Term q = divideTerms(t, operand);
            q.kind = t.kind;  // a zero divisor's fallback takes the letter's kind; keep the term's
            appendTerm(targetLine, q);
        }
    }
    return finishOp(OpStatus::Done);
}

OpStatus Engine::removeParentheses(int a) {
    const EquationLine source = line(a);
    bool hasBracket = false;
    for (int i = 0; i < source.count; ++i) hasBracket = hasBracket || isOpenBracket(source.terms[static_cast<size_t>(i)].kind);
    if (!hasBracket) return OpStatus::NoChange;

    beginOp();
    clearLine(targetLine);
    clearLine(GROUP_BUFFER);
    int openIndex = -1;
    for (int i = 0; i < source.count && !tooLong_; ++i) {
        const Term& t = source.terms[static_cast<size_t>(i)];
        if (isOpenBracket(t.kind)) {
            appendTerm(targetLine, t);
            openIndex = i;
        } else if (isCloseBracket(t.kind) && openIndex >= 0) {
            clearLine(GROUP_BUFFER);
            for (int k = openIndex + 1; k < i; ++k) appendTerm(GROUP_BUFFER, popTerm(targetLine));
            popTerm(targetLine);  // the opening bracket
            // a group at the very start of a line has no coefficient term: it counts as 1
            Term coefficient = line(targetLine).count > 0 ? popTerm(targetLine) : ONE_TERM;
            EquationLine& group = line(GROUP_BUFFER);
            for (int k = group.count - 1; k >= 0; --k) {
                Term& g = group.terms[static_cast<size_t>(k)];
                appendTerm(targetLine, multiplyTerms(g, coefficient));
            }
            openIndex = -1;
        } else {
            appendTerm(targetLine, t);
        }
    }
    return finishOp(OpStatus::Done);
}

}  // namespace solvari
