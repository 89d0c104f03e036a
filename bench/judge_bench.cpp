// Judging the line a student wrote, as 実行 in 自分で計算する will: every step of the worked
// solutions of the bundled set written right, and wrong lines of every kind, each judged many
// times in a fresh engine. Prints the median and p99 of one judgement against the goal of 1 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "flow/question_set.h"
#include "transform/line_judge.h"
#include "transform/solver.h"

int main() {
    using namespace solvari;
    struct Case {
        std::string source, operand, written;
        Operation op;
    };
    std::vector<Case> cases = {
        {"2x+3=7", "", "2x=7+3", Operation::Transpose},        {"3(x+2)=12", "", "3x+2=12", Operation::Brackets},
        {"-3(x-2)=12", "", "-3x-6=12", Operation::Brackets},   {"4x=-1", "4", "x=-4", Operation::Divide},
        {"1/3x-2=1/2", "6", "2x-2=3", Operation::Multiply},    {"2x+3=9", "", "5x=9", Operation::Collect},
        {"5x-4=3x+6", "", "5x-3x=-6-4", Operation::Transpose}, {"2x=6", "2", "x=5", Operation::Divide},
    };
    const QuestionLinesResult file = readQuestionFile(SOLVARI_SOURCE_DIR "/data/Question.leq");
    QuestionSet set;
    std::vector<Diagnostic> said;
    if (!file.ok || !parseQuestionSet(file.lines, set, said)) return 1;
    for (int u = 1; u <= set.unitCount; ++u)
        for (int q = 1; q <= set.questionCount[static_cast<size_t>(u)]; ++q) {
            Engine e;
            const Solution s = solveQuestion(e, set.questionText[static_cast<size_t>(u)][static_cast<size_t>(q)]);
            for (size_t k = 1; k < s.lines.size(); ++k)
                cases.push_back({s.lines[k - 1].text, s.lines[k].operand, s.lines[k].text, s.lines[k].operation});
        }
    std::vector<double> ms;
    for (int round = 0; round < 20; ++round)
        for (const Case& c : cases) {
            const auto t0 = std::chrono::steady_clock::now();
            Engine e;
            e.maxEquationBytes = 200;
            std::vector<Diagnostic> d;
            e.parseEquation(SCRATCH_LINE, c.source, d);
            const EquationLine source = e.line(SCRATCH_LINE);
            const Term operand = c.operand.empty() ? ZERO_TERM : e.parseOperand(c.operand, d);
            const LineJudgement j = judgeWrittenLine(e, source, c.op, operand, c.written);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            if (j.verdict == LineJudgement::Verdict::Invalid) return 1;
        }
    std::sort(ms.begin(), ms.end());
    const double p99 = ms[static_cast<size_t>(0.99 * static_cast<double>(ms.size() - 1))];
    std::printf("judging one written line (%zu lines, each read and judged in a fresh engine): median %.3f ms, p99 %.3f ms, "
                "max %.3f ms (goal p99 <= 1 ms: %s)\n",
                ms.size(), ms[ms.size() / 2], p99, ms.back(), p99 <= 1.0 ? "met" : "NOT met");
    return 0;
}
