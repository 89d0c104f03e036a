#include "engine/format.h"

#include <cstdlib>

namespace solvari {

std::string formatDecimal(Term t) {
    if (t.num == 0 || t.den == 1) return "";
    const int64_t den = t.den;
    const int64_t a = std::llabs(static_cast<int64_t>(t.num));
    std::string text = std::to_string(a / den);
    int64_t r = a % den;
    std::string digits;
    while (r > 0 && r < 32768 && digits.size() < 4) {
        r *= 10;
        digits += static_cast<char>('0' + r / den);
        r %= den;
    }
    if (r != 0) return "";
    if (digits.empty()) return text;
    return text + "." + digits;
}

bool needsPlusSign(const EquationLine& line, int i) {
    if (i <= 0) return false;
    char k = line.terms[static_cast<size_t>(i - 1)].kind;
    return !(k == '(' || k == '*' || k == '=' || k == '[' || k == '{');
}

namespace {

std::string magnitude(Term t, bool showDecimals, const char* bar) {
    if (showDecimals) {
        std::string d = formatDecimal(t);
        if (!d.empty()) return d;
    }
    std::string n = std::to_string(std::llabs(static_cast<int64_t>(t.num)));
    if (t.den == 1 || t.num == 0) return n;
    return n + bar + std::to_string(t.den);
}

std::string sign(const EquationLine& line, int i) {
    const Term& t = line.terms[static_cast<size_t>(i)];
    if (t.num < 0) return "-";
    if (t.num >= 0 && needsPlusSign(line, i)) return "+";
    return "";
}

}  // namespace

std::string lineToText(const EquationLine& line, bool showDecimals) {
    std::string out;
    for (int i = 0; i < line.count; ++i) {
        const Term& t = line.terms[static_cast<size_t>(i)];
        const char next = i + 1 < line.count ? line.terms[static_cast<size_t>(i + 1)].kind : '\0';
        if (t.kind == KIND_NUMBER) {
            out += sign(line, i);
            bool unitBeforeGroup = t.den == 1 && (t.num == 1 || t.num == -1) && isOpenBracket(next);
            if (!unitBeforeGroup) out += magnitude(t, showDecimals, "/");
        } else if (t.kind == KIND_BAR) {
            out += sign(line, i) + magnitude(t, false, "|");
        } else if (isLetterKind(t.kind)) {
            out += sign(line, i);
            bool unit = t.den == 1 && (t.num == 1 || t.num == -1);
            if (!unit) out += magnitude(t, showDecimals, "/");
            out += t.kind;
        } else if (t.kind == KIND_CORNER_OPEN) {
            out += "｢";
        } else if (t.kind == KIND_CORNER_CLOSE) {
            out += "｣";
        } else {
            out += t.kind;
        }
    }
    return out;
}

std::string operandText(Term value, bool showDecimals) {
    std::string sign = value.num < 0 ? "-" : "";
    if (showDecimals) {
        std::string d = formatDecimal(value);
        if (!d.empty()) return sign + d;
    }
    std::string n = std::to_string(std::llabs(static_cast<int64_t>(value.num)));
    if (value.den == 1 || value.num == 0) return sign + n;
    return sign + std::to_string(value.den) + "分の" + n;
}

std::string termDump(Term t) {
    std::string kind;
    if (t.kind == KIND_CORNER_OPEN) kind = "｢";
    else if (t.kind == KIND_CORNER_CLOSE) kind = "｣";
    else kind = std::string(1, t.kind);
    return std::to_string(t.num) + kind + std::to_string(t.den);
}

std::string lineDump(const EquationLine& line) {
    std::string out;
    for (int i = 0; i < line.count; ++i) {
        if (i) out += ' ';
        out += termDump(line.terms[static_cast<size_t>(i)]);
    }
    return out;
}

}  // namespace solvari
