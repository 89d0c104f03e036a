#include "flow/stack_rows.h"

#include <algorithm>

#include "engine/format.h"
#include "transform/line_marks.h"

namespace solvari {

std::vector<std::string> stackRows(const Engine& engine) {
    std::vector<std::string> rows;
    // The window only inspects, so an out-of-range targetLine or count is clamped rather than
    // trusted: it must never read past the table.
    const int last = std::min(engine.targetLine, LINE_COUNT - 1);
    for (int i = 1; i <= last; ++i) {
        const EquationLine& line = engine.line(i);
        rows.push_back(line.text);
        const int count = std::clamp(line.count, 0, LINE_CAPACITY);
        for (int k = 0; k < count; ++k) rows.push_back(termDump(line.terms[static_cast<size_t>(k)]) + "  ");
        rows.push_back("--------------------" + lineMark(i));
    }
    return rows;
}

}  // namespace solvari
