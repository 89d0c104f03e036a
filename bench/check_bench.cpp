// The work of `solvari-check --solve` on a full-size question set: 20 units of 7 questions,
// parsed, validated and worked out. Prints the time per question.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "bench/full_set.h"
#include "flow/check_command.h"

namespace {

std::vector<std::string> generatedSet() { return solvari::bench::fullSetLines(); }

void BM_SolveWholeSet(benchmark::State& state) {
    const std::vector<std::string> lines = generatedSet();
    for (auto _ : state) {
        solvari::CheckOutput o = solvari::checkQuestionLines(lines, "bench.leq", solvari::CheckMode::Solve);
        if (o.exitCode != 0) state.SkipWithError("the generated set did not solve");
        benchmark::DoNotOptimize(o.out.data());
    }
    // seconds per question (the counter is inverted: time per item)
    state.counters["per_question"] =
        benchmark::Counter(20.0 * 7.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SolveWholeSet)->Unit(benchmark::kMillisecond);

void BM_ValidateWholeSet(benchmark::State& state) {
    const std::vector<std::string> lines = generatedSet();
    for (auto _ : state) {
        solvari::CheckOutput o = solvari::checkQuestionLines(lines, "bench.leq", solvari::CheckMode::Validate);
        benchmark::DoNotOptimize(o.out.data());
    }
    state.counters["per_question"] =
        benchmark::Counter(20.0 * 7.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ValidateWholeSet)->Unit(benchmark::kMillisecond);

// The checker's "n行目" for a broken structure, on a file near the 1 MB limit (about 100,000
// lines): 20 full units, a stray ">>" (line 181), then lines of questions.
void BM_StructureFaultLineOfALargeFile(benchmark::State& state) {
    std::vector<std::string> lines;
    for (int u = 1; u <= 20; ++u) {
        lines.push_back("<<単元");
        for (int q = 1; q <= 7; ++q) lines.push_back("2x+3=7");
        lines.push_back(">>");
    }
    lines.push_back(">>");
    while (lines.size() < 100000) lines.push_back("2x+3=7");
    for (auto _ : state) {
        const int at = solvari::structureFaultLine(lines);
        if (at != 181) state.SkipWithError("the fault was not found on line 181");
        benchmark::DoNotOptimize(at);
    }
}
BENCHMARK(BM_StructureFaultLineOfALargeFile)->Unit(benchmark::kMillisecond);

}  // namespace
