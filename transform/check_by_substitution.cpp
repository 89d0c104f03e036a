#include "transform/check_by_substitution.h"

#include <optional>

namespace solvari {
namespace {

Wide absWide(Wide v) { return v < 0 ? -v : v; }

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
        case Outcome::Solved: {
            const auto left = valueAt(forms->left, set.value);
            const auto right = valueAt(forms->right, set.value);
            if (!left || !right) return "";
            return "検算：" + x + "=" + checkValueText(set.value, decimals) + " のとき 左辺＝" +
                   checkValueText(*left, decimals) + "，右辺＝" + checkValueText(*right, decimals);
        }
        case Outcome::NoSolution:
            // the letter's terms are the same on both sides, so what is left are the constants
            if (!(forms->left.a == forms->right.a) || forms->left.b == forms->right.b) return "";
            return "どんな " + x + " でも " + checkValueText(forms->left.b, decimals) + "＝" +
                   checkValueText(forms->right.b, decimals) + " にはなりません";
        case Outcome::AllValues:
            if (!(forms->left == forms->right)) return "";
            return "どんな " + x + " でも成り立ちます";
        case Outcome::Open: break;  // a solution set is never open
    }
    return "";
}

}  // namespace solvari
