#include "engine/term.h"

namespace solvari {

Term makeTerm(int32_t num, int32_t den, char kind) {
    return Term{den, num, kind == '_' ? KIND_NUMBER : kind};
}

int64_t gcd(int64_t a, int64_t b) {
    if (a == 0 || b == 0) return 0;
    if (a < 0) a = -a;
    if (b < 0) b = -b;
    while (b != 0) {
        int64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

Term reduceTerm(int32_t den, int32_t num, char kind) {
    int64_t g = gcd(num, den);
    if (g > 1) {
        num = static_cast<int32_t>(num / g);
        den = static_cast<int32_t>(den / g);
    }
    return Term{den, num, kind};
}

bool termsEqual(Term a, Term b) { return a.num == b.num && a.den == b.den; }

bool sameValue(Term a, Term b) {
    return static_cast<int64_t>(a.num) * b.den == static_cast<int64_t>(b.num) * a.den;
}

}  // namespace solvari
