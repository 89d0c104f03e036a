// Engine speed: parsing a full-length equation, each line operation on a typical 10-term
// line, and decimal formatting. Run: build/bench/bench_engine
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/engine.h"
#include "engine/format.h"

namespace solvari {
namespace {

constexpr const char* k38 = "3(x-2)+1/2x-0.5=2(x+1)-3x+7/3-1|2(x+4)";  // 38 bytes
constexpr const char* kTen = "2x+3-1/2x+5=7x-4+2/3x+1-x+9";             // 10 terms, no brackets
constexpr const char* kGroups = "3(x-2)+2(x+1)=5(x-1)";                  // 3 groups

struct Fixture {
    Engine engine;
    explicit Fixture(const char* text) {
        std::vector<Diagnostic> said;
        engine.parseEquation(1, text, said);
        engine.targetLine = 2;
    }
};

void BM_ParseEquation38(benchmark::State& state) {
    Engine engine;
    std::vector<Diagnostic> said;  // k38 reads without a word
    for (auto _ : state) benchmark::DoNotOptimize(engine.parseEquation(1, k38, said));
}
BENCHMARK(BM_ParseEquation38);

template <typename Op>
void runOp(benchmark::State& state, const char* text, Op op) {
    Fixture f(text);
    for (auto _ : state) {
        f.engine.clearLine(2);
        benchmark::DoNotOptimize(op(f.engine));
    }
}

void BM_Collect(benchmark::State& s) { runOp(s, kTen, [](Engine& e) { return e.collectLikeTerms(1); }); }
void BM_Transpose(benchmark::State& s) { runOp(s, kTen, [](Engine& e) { return e.transposeTerms(1); }); }
void BM_AddToBothSides(benchmark::State& s) { runOp(s, kTen, [](Engine& e) { return e.addToBothSides(1, '+', Term{3, 2, '/'}); }); }
void BM_Scale(benchmark::State& s) { runOp(s, kTen, [](Engine& e) { return e.scaleLine(1, '*', Term{1, 6, '/'}); }); }
void BM_Combine(benchmark::State& s) { runOp(s, kTen, [](Engine& e) { return e.combineLines(1, 1); }); }
void BM_Subtract(benchmark::State& s) { runOp(s, kTen, [](Engine& e) { return e.subtractLines(1, 1); }); }
void BM_RemoveParentheses(benchmark::State& s) { runOp(s, kGroups, [](Engine& e) { return e.removeParentheses(1); }); }
BENCHMARK(BM_Collect);
BENCHMARK(BM_Transpose);
BENCHMARK(BM_AddToBothSides);
BENCHMARK(BM_Scale);
BENCHMARK(BM_Combine);
BENCHMARK(BM_Subtract);
BENCHMARK(BM_RemoveParentheses);

void BM_FormatDecimal(benchmark::State& state) {
    Term t{16, 1, '/'};
    for (auto _ : state) benchmark::DoNotOptimize(formatDecimal(t));
}
BENCHMARK(BM_FormatDecimal);

}  // namespace
}  // namespace solvari
