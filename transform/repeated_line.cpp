#include "transform/repeated_line.h"

#include "transform/line_marks.h"

namespace solvari {

bool sameWrittenLine(const EquationLine& a, const EquationLine& b) {
    if (a.count != b.count) return false;
    for (int i = 0; i < a.count; ++i) {
        const Term& x = a.terms[static_cast<size_t>(i)];
        const Term& y = b.terms[static_cast<size_t>(i)];
        if (x.kind != y.kind) return false;
        // structure terms carry no value worth comparing
        if (carriesValue(x.kind) && (x.den == 0 || y.den == 0 || !sameValue(x, y))) return false;
    }
    return true;
}

int repeatedLine(const Engine& engine, int n) {
    if (n <= QUESTION_LINE || n > LAST_WORK_LINE) return 0;
    for (int k = QUESTION_LINE; k < n; ++k)
        if (sameWrittenLine(engine.line(k), engine.line(n))) return k;
    return 0;
}

std::string repeatedLineMessage(int n, int earlier) {
    const std::string mark = lineMark(n);
    return (mark.empty() ? std::string("この") : mark) + "式は" + lineMark(earlier) + "式と同じ式です";
}

}  // namespace solvari
