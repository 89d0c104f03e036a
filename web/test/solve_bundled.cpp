// Solves every question of a question set with the solver of this build and prints the work in
// the form of the desktop checker's "solvari-check --solve" (for the bundled set, whose lines
// are short and plain): web/test/compare_answers.sh holds the two outputs against each other.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/sjis.h"
#include "flow/question_set.h"
#include "flow/syntax_check.h"
#include "transform/line_marks.h"
#include "transform/solver.h"

using namespace solvari;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: web_solve_bundled FILE.leq\n");
        return 2;
    }
    const QuestionLinesResult read = readQuestionFile(argv[1]);
    if (!read.ok) {
        std::fprintf(stderr, "%s\n", read.error.c_str());
        return 1;
    }
    const QuestionSetParse structure = readQuestionSetStructure(read.lines);
    if (!structure.ok) {
        std::fprintf(stderr, "the set does not parse\n");
        return 1;
    }
    const QuestionSet& set = structure.set;
    Engine engine;
    std::string out;
    bool allSolved = true;
    for (int u = 1; u <= set.unitCount; ++u) {
        const auto uu = static_cast<size_t>(u);
        out += "[単元" + std::to_string(u) + "] " + set.unitTitle[uu] + "\n";
        for (int q = 1; q <= set.questionCount[uu]; ++q) {
            const std::string& text = set.questionText[uu][static_cast<size_t>(q)];
            const Solution s = solveQuestion(engine, text);
            std::vector<std::string> messages;
            for (const Diagnostic& d : s.diagnostics) messages.push_back(reportedText(d));
            if (!s.failure.empty()) messages.push_back(s.failure);
            const bool solved = s.kind != Outcome::Open && fitsSjis(text);
            allSolved = allSolved && solved;
            out += "問題" + std::to_string(q) + ": " + text + "\n";
            for (const SolvedLine& l : s.lines) {
                if (!l.sentence.empty()) out += "  " + l.sentence + "\n";
                out += "    " + lineMark(l.line) + " " + l.text + "\n";
            }
            if (solved) out += "  " + s.answerText + "\n";
            for (const std::string& m : messages) out += "  ! " + m + "\n";
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return allSolved ? 0 : 1;
}
