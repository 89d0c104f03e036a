// Algebra on whole lines. Each operation reads copies of its source lines and writes line
// targetLine; the order of the terms it writes is part of what it promises.
#include "engine/engine.h"

#include <vector>

namespace solvari {

void Engine::appendSide(int lineIndex, Term numberSum, Term letterSum) {
    if (letterSum.num != 0) appendTerm(lineIndex, letterSum);
    if (numberSum.num != 0 || letterSum.num == 0) appendTerm(lineIndex, numberSum);
}

// Writes the collected form of source into targetLine (which must be empty).
void Engine::collectInto(const EquationLine& source) {
    WideSum letterSum, numberSum;
    for (int i = 0; i < source.count; ++i) {
        const Term& t = source.terms[static_cast<size_t>(i)];
        if (t.kind == KIND_NUMBER) {
            numberSum.add(t);
        } else if (t.kind == KIND_EQUALS) {
            appendSide(targetLine, stored(numberSum, KIND_NUMBER), stored(letterSum, letter));
            appendTerm(targetLine, Term{1, 0, KIND_EQUALS});
            letterSum = WideSum{};
            numberSum = WideSum{};
        } else if (t.kind == letter) {
            letterSum.add(t);
        }
    }
    appendSide(targetLine, stored(numberSum, KIND_NUMBER), stored(letterSum, letter));
}

namespace {

// Index one past the group that starts at i: its coefficient (when the term at i is a number
// or bar number before an opening bracket), the brackets and everything between them. A group
// that never closes runs to the end of its side.
int groupEnd(const EquationLine& l, int i) {
    if (!isOpenBracket(l.terms[static_cast<size_t>(i)].kind)) ++i;
    int depth = 0;
    for (; i < l.count; ++i) {
        const char k = l.terms[static_cast<size_t>(i)].kind;
        if (k == KIND_EQUALS) return i;
        if (isOpenBracket(k)) ++depth;
        else if (isCloseBracket(k) && --depth == 0) return i + 1;
    }
    return i;
}

bool startsGroup(const EquationLine& l, int i) {
    const char k = l.terms[static_cast<size_t>(i)].kind;
    const char next = i + 1 < l.count ? l.terms[static_cast<size_t>(i + 1)].kind : '\0';
    return isOpenBracket(k) || ((k == KIND_NUMBER || k == KIND_BAR) && isOpenBracket(next));
}

}  // namespace

OpStatus Engine::refuse(const char* message) {
    clearLine(targetLine);
    tell(Diagnostic::information(message));
    return OpStatus::Refused;
}

OpStatus Engine::collectLikeTerms(int a) {
    // Collecting would read a group's coefficient and inner terms as loose terms.
    if (hasGroup(line(a))) return refuse(MSG_COLLECT_GROUPS);
    beginOp();
    const EquationLine copy = line(a);
    clearLine(targetLine);
    collectInto(copy);
    return finishOp(OpStatus::Done);
}

OpStatus Engine::combineLines(int a, int b) {
    if (hasGroup(line(a)) || hasGroup(line(b))) return refuse(MSG_ADD_LINES_GROUPS);
    return combineCopies(line(a), line(b));
}

// Line b is negated in a copy, so it needs no restoring, and a line minus itself is 0 = 0.
OpStatus Engine::subtractLines(int a, int b) {
    if (hasGroup(line(a)) || hasGroup(line(b))) return refuse(MSG_SUBTRACT_LINES_GROUPS);
    EquationLine negated = line(b);
    for (int i = 0; i < negated.count; ++i) {
        Term& t = negated.terms[static_cast<size_t>(i)];
        t.num = -t.num;
    }
    return combineCopies(line(a), negated);
}

// The sides are summed directly, so only the collected result has to fit in a line, however
// long the two lines are together.
OpStatus Engine::combineCopies(EquationLine first, EquationLine second) {
    beginOp();
    clearLine(targetLine);
    WideSum letterSum[2], numberSum[2];
    for (const EquationLine* src : {&first, &second}) {
        int side = 0;
        for (int i = 0; i < src->count; ++i) {
            const Term& t = src->terms[static_cast<size_t>(i)];
            if (t.kind == KIND_EQUALS) side = 1;
            else if (t.kind == KIND_NUMBER) numberSum[side].add(t);
            else if (t.kind == letter) letterSum[side].add(t);
        }
    }
    appendSide(targetLine, stored(numberSum[0], KIND_NUMBER), stored(letterSum[0], letter));
    appendTerm(targetLine, Term{1, 0, KIND_EQUALS});
    appendSide(targetLine, stored(numberSum[1], KIND_NUMBER), stored(letterSum[1], letter));
    return finishOp(OpStatus::Done);
}

OpStatus Engine::transposeTerms(int a) {
    if (hasGroup(line(a))) return refuse(MSG_TRANSPOSE_GROUPS);
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

// Terms outside groups are collected with the operand; a bracket group (with its coefficient)
// is carried through whole, in its place between the letter sum and the number sum.
OpStatus Engine::addToBothSides(int a, char op, Term operand) {
    beginOp();
    if (op == '-') operand.num = -operand.num;
    // The operand enters each side's sums by its value: a keypad fraction typed as 2分の2 is
    // written as 1, never as the 2/2 it was typed.
    auto start = [&](char kind) {
        WideSum sum;
        if (operand.kind == kind) sum.add(operand);
        return sum;
    };
    const EquationLine source = line(a);
    int i = 0;
    for (int side = 0; side < 2; ++side) {
        WideSum letterSum = start(letter);
        WideSum numberSum = start(KIND_NUMBER);
        std::vector<Term> groups;
        for (; i < source.count && source.terms[static_cast<size_t>(i)].kind != KIND_EQUALS; ++i) {
            const Term& t = source.terms[static_cast<size_t>(i)];
            if (startsGroup(source, i)) {
                const int end = groupEnd(source, i);
                groups.insert(groups.end(), source.terms.begin() + i, source.terms.begin() + end);
                i = end - 1;
            } else if (t.kind == KIND_NUMBER) {
                numberSum.add(t);
            } else if (t.kind == letter) {
                letterSum.add(t);
            }
        }
        const Term letters = stored(letterSum, letter);
        const Term numbers = stored(numberSum, KIND_NUMBER);
        if (groups.empty()) {
            appendSide(targetLine, numbers, letters);
        } else {
            if (letters.num != 0) appendTerm(targetLine, letters);
            for (const Term& g : groups) appendTerm(targetLine, g);
            if (numbers.num != 0) appendTerm(targetLine, numbers);
        }
        if (side == 0) {
            appendTerm(targetLine, Term{1, 0, KIND_EQUALS});
            ++i;  // past the '='
        }
    }
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
        if (depth != 0 || !carriesValue(t.kind)) {
            // inside a group, and '=' or a bracket anywhere: carried through unchanged
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
            // Only a number directly before the bracket is its coefficient; a group without
            // one (at the start of a line, or after a letter term) counts once.
            const EquationLine& out = line(targetLine);
            const char before = out.count > 0 ? out.terms[static_cast<size_t>(out.count - 1)].kind : '\0';
            const Term coefficient = before == KIND_NUMBER || before == KIND_BAR ? popTerm(targetLine) : ONE_TERM;
            EquationLine& group = line(GROUP_BUFFER);
            for (int k = group.count - 1; k >= 0; --k) {
                const Term& g = group.terms[static_cast<size_t>(k)];
                appendTerm(targetLine, carriesValue(g.kind) ? multiplyTerms(g, coefficient) : g);
            }
            openIndex = -1;
        } else {
            appendTerm(targetLine, t);
        }
    }
    return finishOp(OpStatus::Done);
}

}  // namespace solvari
