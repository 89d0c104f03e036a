#include "engine/solution_set.h"

namespace solvari {
namespace {

bool isCoefficientKind(char k) { return k == KIND_NUMBER || k == KIND_BAR; }

bool pairs(char open, char close) {
    return (open == '(' && close == ')') || (open == '[' && close == ']') || (open == '{' && close == '}');
}

// Reads terms from i up to the end of the side (the '=' or the end of the line) or the closing
// bracket of the group being read (left at i, checked by the caller).
bool readSequence(const EquationLine& l, int& i, Exact& x, LinearForm& out) {
    out = {};
    while (i < l.count) {
        const Term& t = l.terms[static_cast<size_t>(i)];
        if (t.kind == KIND_EQUALS || isCloseBracket(t.kind)) return true;
        const char next = i + 1 < l.count ? l.terms[static_cast<size_t>(i + 1)].kind : '\0';
        const bool coefficient = isCoefficientKind(t.kind) && isOpenBracket(next);
        if (coefficient || isOpenBracket(t.kind)) {
            const Rational k = coefficient ? x.make(t.num, t.den) : Rational{1, 1};
            if (coefficient) ++i;
            const char open = l.terms[static_cast<size_t>(i)].kind;
            ++i;
            LinearForm inner;
            if (!readSequence(l, i, x, inner)) return false;
            if (i >= l.count || !pairs(open, l.terms[static_cast<size_t>(i)].kind)) return false;
            ++i;
            out = x.add(out, x.scale(inner, k));
        } else {
            if (isCoefficientKind(t.kind)) out.b = x.add(out.b, x.make(t.num, t.den));
            else if (isLetterKind(t.kind)) out.a = x.add(out.a, x.make(t.num, t.den));
            ++i;  // corner brackets and anything else carry no value
        }
        if (!x.ok) return false;
    }
    return true;
}

bool readSide(const EquationLine& l, int& i, Exact& x, LinearForm& out) {
    if (!readSequence(l, i, x, out)) return false;
    return i >= l.count || l.terms[static_cast<size_t>(i)].kind == KIND_EQUALS;  // no stray closer
}

}  // namespace

std::optional<LineForms> linearForms(const EquationLine& line) {
    Exact x;
    LineForms f;
    int i = 0;
    if (!readSide(line, i, x, f.left) || i >= line.count) return std::nullopt;
    ++i;  // the '='
    if (!readSide(line, i, x, f.right) || i < line.count || !x.ok) return std::nullopt;
    return f;
}

std::optional<Rational> valueAt(const LinearForm& side, const Rational& v) {
    Exact x;
    const Rational r = x.add(x.mul(side.a, v), side.b);
    if (!x.ok) return std::nullopt;
    return r;
}

std::optional<SolutionSet> solutionSetOf(const EquationLine& line) {
    const auto f = linearForms(line);
    if (!f) return std::nullopt;
    Exact x;
    const Rational a = x.sub(f->left.a, f->right.a);
    const Rational b = x.sub(f->right.b, f->left.b);
    SolutionSet s;
    if (a.num == 0) s.kind = b.num == 0 ? Outcome::AllValues : Outcome::NoSolution;
    else {
        s.kind = Outcome::Solved;
        s.value = x.div(b, a);
    }
    if (!x.ok) return std::nullopt;
    return s;
}

}  // namespace solvari
