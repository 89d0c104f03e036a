#include "engine/engine.h"

#include <cassert>
#include <cstdint>
#include <string>

namespace solvari {

// ---------------------------------------------------------------- model

void Engine::appendTerm(int lineIndex, Term t) {
    EquationLine& l = line(lineIndex);
    if (l.count >= LINE_CAPACITY) {
        tooLong_ = true;
        return;
    }
    l.terms[static_cast<size_t>(l.count++)] = t;
}

void Engine::clearLine(int lineIndex) { line(lineIndex).count = 0; }

Term Engine::popTerm(int lineIndex) {
    EquationLine& l = line(lineIndex);
    assert(l.count > 0 && "popTerm on an empty line");
    if (l.count <= 0) return ZERO_TERM;
    return l.terms[static_cast<size_t>(--l.count)];
}

std::vector<Diagnostic> Engine::takeDiagnostics() {
    std::vector<Diagnostic> taken;
    taken.swap(pending_);
    return taken;
}

void Engine::beginOp() {
    overflowed_ = false;
    tooLong_ = false;
}

OpStatus Engine::finishOp(OpStatus ok) {
    if (!overflowed_ && !tooLong_) return ok;
    clearLine(targetLine);
    tell(Diagnostic::information(overflowed_ ? MSG_TOO_LARGE : MSG_TOO_LONG));
    overflowed_ = false;
    tooLong_ = false;
    return OpStatus::Refused;
}

// ---------------------------------------------------------------- arithmetic

namespace {
constexpr int64_t kMax = INT32_MAX;  // INT32_MIN is excluded so that negation stays safe

Wide abs128(Wide v) { return v < 0 ? -v : v; }

Wide gcd128(Wide a, Wide b) {
    if (a == 0 || b == 0) return 0;
    a = abs128(a);
    b = abs128(b);
    while (b != 0) {
        Wide r = a % b;
        a = b;
        b = r;
    }
    return a;
}
}  // namespace

// Reduces in wide arithmetic, then refuses a result that does not fit the 32-bit fields.
Term Engine::checkedTerm(Wide den, Wide num, char kind) {
    Wide g = gcd128(num, den);
    if (g > 1) {
        num /= g;
        den /= g;
    }
    // A zero whose denominator outgrew the fields is still zero: it never refuses a step.
    if (num == 0 && abs128(den) > kMax) return Term{1, 0, kind};
    if (abs128(num) > kMax || abs128(den) > kMax) {
        overflowed_ = true;
        return Term{1, 0, kind};
    }
    return Term{static_cast<int32_t>(den), static_cast<int32_t>(num), kind};
}

void Engine::WideSum::add(Term t) {
    if (overflow || t.den == 0) return;
    const Wide g = gcd128(den, t.den);
    const Wide l = den / g * t.den;  // den is at most a product of 31-bit factors so far
    Wide a = 0, b = 0, n = 0;
    if (__builtin_mul_overflow(num, l / den, &a) || __builtin_mul_overflow(static_cast<Wide>(t.num), l / t.den, &b) ||
        __builtin_add_overflow(a, b, &n)) {
        overflow = true;
        return;
    }
    const Wide r = gcd128(n, l);
    num = r > 1 ? n / r : n;
    den = r > 1 ? l / r : l;
    // Keeps den far from the wide limit, so that the next lcm cannot overflow.
    if (abs128(den) > (static_cast<Wide>(1) << 90)) overflow = true;
}

Term Engine::stored(const WideSum& sum, char kind) {
    if (sum.overflow) {
        overflowed_ = true;
        return Term{1, 0, kind};
    }
    return checkedTerm(sum.den, sum.num, kind);
}

int64_t Engine::lcm(int64_t a, int64_t b) {
    int64_t g = gcd(a, b);
    if (g == 0) {
        tell(Diagnostic::information("x=" + std::to_string(a) + ",y=" + std::to_string(b) + "GCDが０です"));
        return 0;
    }
    return (a / g) * b;  // exact: g divides a; |a|,|b| < 2^31 so the product fits
}

Term Engine::addTerms(Term a, Term b) {
    int64_t l = lcm(a.den, b.den);
    if (l == 0) return Term{1, 0, a.kind};
    Wide n = static_cast<Wide>(a.num) * l / a.den + static_cast<Wide>(b.num) * l / b.den;
    return checkedTerm(l, n, a.kind);
}

Term Engine::subtractTerms(Term a, Term b) {
    int64_t l = lcm(a.den, b.den);
    if (l == 0) return Term{1, 0, a.kind};
    Wide n = static_cast<Wide>(a.num) * l / a.den - static_cast<Wide>(b.num) * l / b.den;
    return checkedTerm(l, n, a.kind);
}

Term Engine::multiplyTerms(Term a, Term b) {
    a = reduceTerm(a.den, a.num, a.kind);
    b = reduceTerm(b.den, b.num, b.kind);
    return checkedTerm(static_cast<Wide>(a.den) * b.den, static_cast<Wide>(a.num) * b.num, a.kind);
}

Term Engine::divideTerms(Term a, Term b) {
    if (b.num == 0) {
        tell(Diagnostic{0, "0 で割ることはできません", "確認", Severity::Error, 0, -1, DiagnosticBox::AbortRetryIgnore});
        return Term{1, 0, letter};
    }
    Term r{b.num < 0 ? -b.num : b.num, b.num < 0 ? -b.den : b.den, b.kind};
    return multiplyTerms(a, r);
}

}  // namespace solvari
