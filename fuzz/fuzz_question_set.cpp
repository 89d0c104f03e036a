// Arbitrary bytes as a question set file: decode (Shift-JIS, UTF-8 with or without a byte order
// mark, the mapped JIS forms), write back, parse the structure, check every question as the
// editor does, and work every question with the solver.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "flow/syntax_check.h"
#include "engine/sjis.h"
#include "flow/question_set.h"
#include "fuzz/line_ops_driver.h"
#include "transform/solver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace solvari;
    if (size > 4096) return 0;  // a real set is far smaller; long inputs only slow the search
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const DecodedQuestionText read = decodeQuestionText(bytes);
    if (!read.ok) {
        if (read.errorOffset >= bytes.size() || read.errorLine < 1 || read.problem.empty()) std::abort();
        return 0;
    }
    const std::vector<std::string>& lines = read.lines;

    std::string written;
    int badLine = 0;
    if (read.encoding == TextEncoding::ShiftJis) {
        // Every line is written back with the bytes it was read with, each ended by CR LF: a
        // file that already had CR LF everywhere comes back byte for byte.
        QuestionLinesResult asRead;
        asRead.lines = lines;
        asRead.rawLines = read.rawLines;
        const OriginalLineBytes originals = originalLineBytes(asRead);
        if (!encodeQuestionLines(lines, written, badLine, &originals)) std::abort();
        std::string expected;
        for (const std::string& raw : read.rawLines) expected += raw + "\r\n";
        if (written != expected) std::abort();
        bool crlfOnly = bytes.empty() || bytes.back() == '\n';
        for (size_t i = 0; i < bytes.size() && crlfOnly; ++i) {
            if (bytes[i] == '\r') crlfOnly = i + 1 < bytes.size() && bytes[i + 1] == '\n';
            else if (bytes[i] == '\n') crlfOnly = i > 0 && bytes[i - 1] == '\r';
        }
        if (crlfOnly && written != bytes) std::abort();
    } else if (!encodeQuestionLines(lines, written, badLine)) {
        // A UTF-8 line may hold what Shift-JIS cannot; then it is that line that is refused.
        if (badLine < 1 || fitsSjis(lines[static_cast<size_t>(badLine) - 1])) std::abort();
        written.clear();
    }
    // What was written reads back the same, unless its Shift-JIS bytes happen to be valid UTF-8
    // (UTF-8 is tried first on purpose).
    if (!written.empty()) {
        const DecodedQuestionText again = decodeQuestionText(written);
        if (!again.ok) std::abort();
        if (again.encoding == TextEncoding::ShiftJis && again.lines != lines) std::abort();
    }

    Engine engine;
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
            if (s.kind != Outcome::Open && s.answerValue.empty()) std::abort();
            if (s.kind == Outcome::Open && s.failure.empty()) std::abort();
        }
    }
    return 0;
}
