// Arbitrary bytes as a question set file: decode, parse the structure, check every question
// as the editor does, and work every question with the solver.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "authoring/syntax_check.h"
#include "engine/prompter.h"
#include "flow/question_set.h"
#include "fuzz/line_ops_driver.h"
#include "transform/solver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace solvari;
    if (size > 4096) return 0;  // a real set is far smaller; long inputs only slow the search
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    if (!decodeQuestionBytes(bytes, lines)) return 0;

    // What was read can be written back and reads the same.
    std::string written;
    int badLine = 0;
    if (!encodeQuestionLines(lines, written, badLine)) std::abort();
    std::vector<std::string> again;
    if (!decodeQuestionBytes(written, again) || again != lines) std::abort();

    SilentPrompter prompter;
    Engine engine(prompter);
    QuestionSet set;
    const SyntaxCheckResult check = checkQuestionSet(lines, set);
    if (!check.structureOk) return 0;
    if (set.unitCount < 1 || set.unitCount > MAX_UNITS) std::abort();
    for (int u = 1; u <= set.unitCount; ++u) {
        const auto uu = static_cast<size_t>(u);
        if (set.questionCount[uu] < 0 || set.questionCount[uu] > MAX_QUESTIONS) std::abort();
        for (int q = 1; q <= set.questionCount[uu]; ++q) {
            const Solution s = solveQuestion(engine, set.questionText[uu][static_cast<size_t>(q)]);
            if (static_cast<int>(s.lines.size()) > LAST_WORK_LINE) std::abort();
            for (const SolvedLine& l : s.lines) {
                if (l.line < QUESTION_LINE || l.line > LAST_WORK_LINE) std::abort();
                fuzz::checkLine(engine, l.line);
            }
            if (s.kind != SolutionKind::Unsolved && s.answerValue.empty()) std::abort();
            if (s.kind == SolutionKind::Unsolved && s.failure.empty()) std::abort();
        }
    }
    return 0;
}
