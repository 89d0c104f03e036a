// The sheets of a full-size question set (20 units of 7 questions of every kind the solver
// meets): the answer key's layout alone, and each sheet laid out and drawn into the PDF's
// bytes. Offscreen platform.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <array>
#include <string>
#include <vector>

#include "bench/full_set.h"
#include "flow/answer_sheet.h"
#include "flow/question_set.h"
#include "ui/fonts.h"
#include "ui/sheet_pdf.h"

namespace {

solvari::QuestionSet fullSet() {
    const std::vector<std::string> lines = solvari::bench::fullSetLines();
    solvari::QuestionSet set;
    std::vector<solvari::Diagnostic> said;
    solvari::parseQuestionSet(lines, set, said);
    return set;
}

void BM_AnswerKeyLayout(benchmark::State& state) {
    const solvari::QuestionSet set = fullSet();
    for (auto _ : state) {
        const solvari::SheetLayout l = solvari::sheetLayout(set, solvari::SheetKind::AnswerKey);
        if (l.questions != 140) state.SkipWithError("the generated set did not parse");
        benchmark::DoNotOptimize(l.items.data());
    }
}
BENCHMARK(BM_AnswerKeyLayout)->Unit(benchmark::kMillisecond);

// sheet/0 the answer key, sheet/1 the worksheet, sheet/2 the answers.
void BM_SheetPdf(benchmark::State& state) {
    const solvari::SheetKind kinds[] = {solvari::SheetKind::AnswerKey, solvari::SheetKind::Worksheet,
                                        solvari::SheetKind::Answers};
    const solvari::SheetKind kind = kinds[state.range(0)];
    const solvari::QuestionSet set = fullSet();
    size_t bytes = 0;
    int pages = 0;
    for (auto _ : state) {
        const solvari::SheetLayout l = solvari::sheetLayout(set, kind);
        const std::string pdf = solvari::sheetPdfBytes(l);
        bytes = pdf.size();
        pages = l.pageCount;
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["pages"] = pages;
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SheetPdf)->ArgName("sheet")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    solvari::installFontSubstitutions();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
