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
