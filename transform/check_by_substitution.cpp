#include "transform/check_by_substitution.h"

#include <optional>

namespace solvari {
namespace {

Wide absWide(Wide v) { return v < 0 ? -v : v; }

Wide gcdWide(Wide a, Wide b) {
    a = absWide(a);
    b = absWide(b);
    while (b != 0) {
        const Wide t = a % b;
        a = b;
        b = t;
    }
    return a;
}

std::optional<Rational> reduced(Wide num, Wide den) {
    if (den == 0) return std::nullopt;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const Wide g = gcdWide(num, den);
    if (g > 1) {
        num /= g;
        den /= g;
    }
    return Rational{num, den};
}

// a·v + b, exactly; nullopt when an intermediate leaves the wide range.
std::optional<Rational> evaluate(const LinearForm& f, const Rational& v) {
    Wide an = 0, ad = 0, left = 0, right = 0, num = 0, den = 0;
    if (__builtin_mul_overflow(f.a.num, v.num, &an) || __builtin_mul_overflow(f.a.den, v.den, &ad)) return std::nullopt;
    if (__builtin_mul_overflow(an, f.b.den, &left) || __builtin_mul_overflow(f.b.num, ad, &right) ||
        __builtin_add_overflow(left, right, &num) || __builtin_mul_overflow(ad, f.b.den, &den))
        return std::nullopt;
    return reduced(num, den);
}

std::string wideText(Wide v) {
    if (v == 0) return "0";
    const bool negative = v < 0;
    std::string digits;
    for (Wide m = absWide(v); m > 0; m /= 10) digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(m % 10)));
    return negative ? "-" + digits : digits;
}

}  // namespace

std::string checkValueText(const Rational& r, bool decimals) {
    if (r.den == 1) return wideText(r.num);
    if (decimals) {
        Wide scale = 1;
        for (int places = 1; places <= 4; ++places) {
            scale *= 10;
            if (scale % r.den != 0) continue;
            const Wide scaled = absWide(r.num) * (scale / r.den);
            std::string frac = wideText(scaled % scale);
            frac.insert(frac.begin(), static_cast<size_t>(places) - frac.size(), '0');
            return (r.num < 0 ? "-" : "") + wideText(scaled / scale) + "." + frac;
        }
    }
    return wideText(r.num) + "/" + wideText(r.den);
}

std::string checkBySubstitution(const EquationLine& question, const SolutionSet& set, char letter, bool decimals) {
    const std::optional<LineForms> forms = linearForms(question);
    if (!forms) return "";
    const std::string x(1, letter);
    switch (set.kind) {
        case SolutionSet::Kind::One: {
            const auto left = evaluate(forms->left, set.value);
            const auto right = evaluate(forms->right, set.value);
            if (!left || !right) return "";
            return "検算：" + x + "=" + checkValueText(set.value, decimals) + " のとき 左辺＝" +
                   checkValueText(*left, decimals) + "，右辺＝" + checkValueText(*right, decimals);
        }
        case SolutionSet::Kind::None:
            // the letter's terms are the same on both sides, so what is left are the constants
            if (!(forms->left.a == forms->right.a) || forms->left.b == forms->right.b) return "";
            return "どんな " + x + " でも " + checkValueText(forms->left.b, decimals) + "＝" +
                   checkValueText(forms->right.b, decimals) + " にはなりません";
        case SolutionSet::Kind::All:
            if (!(forms->left == forms->right)) return "";
            return "どんな " + x + " でも成り立ちます";
    }
    return "";
}

}  // namespace solvari
