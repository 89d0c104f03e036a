#pragma once
#include <optional>

#include "engine/engine.h"

namespace solvari {

// An exact rational in wide arithmetic: den > 0, reduced.
struct Rational {
    Wide num = 0;
    Wide den = 1;
    bool operator==(const Rational&) const = default;
};

// One side of an equation as a·x + b.
struct LinearForm {
    Rational a;  // coefficient of the unknown
    Rational b;  // constant
    bool operator==(const LinearForm&) const = default;
};

struct LineForms {
    LinearForm left, right;
};

// Arithmetic that reports instead of wrapping; `ok` turns false at the first overflow.
class Exact {
public:
    bool ok = true;

    Rational make(Wide num, Wide den) {
        if (den == 0) {
            ok = false;
            return {};
        }
        if (den < 0) {
            num = neg(num);
            den = neg(den);
        }
        Wide a = num < 0 ? -num : num, b = den;
        while (b != 0) {
            Wide r = a % b;
            a = b;
            b = r;
        }
        if (a > 1) {
            num /= a;
            den /= a;
        }
        return Rational{num, den};
    }
    Rational add(Rational x, Rational y) { return make(plus(mul(x.num, y.den), mul(y.num, x.den)), mul(x.den, y.den)); }
    Rational sub(Rational x, Rational y) { return add(x, Rational{neg(y.num), y.den}); }
    Rational mul(Rational x, Rational y) { return make(mul(x.num, y.num), mul(x.den, y.den)); }
    Rational div(Rational x, Rational y) { return make(mul(x.num, y.den), mul(x.den, y.num)); }
    LinearForm add(LinearForm x, LinearForm y) { return {add(x.a, y.a), add(x.b, y.b)}; }
    LinearForm scale(LinearForm x, Rational k) { return {mul(x.a, k), mul(x.b, k)}; }

private:
    Wide mul(Wide x, Wide y) {
        Wide r = 0;
        if (__builtin_mul_overflow(x, y, &r)) ok = false;
        return ok ? r : 0;
    }
    Wide plus(Wide x, Wide y) {
        Wide r = 0;
        if (__builtin_add_overflow(x, y, &r)) ok = false;
        return ok ? r : 0;
    }
    Wide neg(Wide x) { return mul(x, -1); }
};

// What an equation comes to, wherever it is asked: the drill's verdict on a line, the solver's
// on a question, the solution set of a line, the student's pick between 解なし and 解は無数
// (Open: the choice was closed without one).
enum class Outcome { Open, Solved, NoSolution, AllValues };

// What a line says about the unknown: exactly one value (Solved), no value, or every value.
struct SolutionSet {
    Outcome kind = Outcome::NoSolution;
    Rational value;  // meaningful for Solved only
    bool operator==(const SolutionSet& o) const { return kind == o.kind && (kind != Outcome::Solved || value == o.value); }
};

// Reads a line as the engine's operations mean it: a number or bar number directly before an
// opening bracket multiplies the whole group (groups nest), a group with no such number counts
// once, corner brackets carry no value. Empty when the line has no single '=', its brackets do
// not pair up, or a value outgrows the wide arithmetic.
std::optional<LineForms> linearForms(const EquationLine& line);
std::optional<SolutionSet> solutionSetOf(const EquationLine& line);
// a·v + b exactly; empty when a value outgrows the wide arithmetic.
std::optional<Rational> valueAt(const LinearForm& side, const Rational& v);

}  // namespace solvari
