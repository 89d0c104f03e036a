// One hint per question of the bundled set: the solver's next step from the question line,
// worked in the hint's own scratch engine. Each question is its own benchmark (hint/u-q), so
// the slowest one shows.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "flow/question_set.h"
#include "transform/hint.h"

int main(int argc, char** argv) {
    using namespace solvari;
    QuestionLinesResult file = readQuestionFile(SOLVARI_SOURCE_DIR "/data/Question.leq");
    std::vector<Diagnostic> said;
    QuestionSet set;
    if (!file.ok || !parseQuestionSet(file.lines, set, said)) return 1;
    for (int u = 1; u <= set.unitCount; ++u) {
        for (int q = 1; q <= set.questionCount[static_cast<size_t>(u)]; ++q) {
            const std::string text = set.questionText[static_cast<size_t>(u)][static_cast<size_t>(q)];
            const std::string name = "hint/" + std::to_string(u) + "-" + std::to_string(q);
            benchmark::RegisterBenchmark(name.c_str(), [text](benchmark::State& state) {
                Engine engine;
                std::vector<Diagnostic> unshown;
                if (!engine.parseEquation(QUESTION_LINE, text, unshown)) {
                    state.SkipWithError("the question does not parse");
                    return;
                }
                engine.targetLine = QUESTION_LINE;
                for (auto _ : state) benchmark::DoNotOptimize(hintFor(engine, QUESTION_LINE));
            })->Unit(benchmark::kMicrosecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
