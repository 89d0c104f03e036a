// The answer key of a full-size question set (20 units of 7 questions of every kind the solver
// meets): the layout alone, and the layout drawn into the PDF's bytes. Offscreen platform.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <array>
#include <string>
#include <vector>

#include "engine/prompter.h"
#include "flow/answer_sheet.h"
#include "flow/question_set.h"
#include "ui/fonts.h"
#include "ui/sheet_pdf.h"

namespace {

solvari::QuestionSet fullSet() {
    static const std::array<const char*, 14> kinds = {
        "2x+3=7",          "5x=3x+8",        "3(x-2)=x+4",      "-(3x-2)=-(x-6)",  "2(3(x+1)-4)=10",
        "3{x-2(x-1)}=x+2", "0.2x+1=0.6x-3",  "1/2x+1/3x=5",     "1|3(x+2)=1|2(x-1)", "3y-5=10",
        "9x-2=3x+1",       "2x+1=2x+3",      "3(x+2)=3x+6",     "1.2x-0.4=2x+2"};
    std::vector<std::string> lines;
    size_t k = 0;
    for (int u = 1; u <= 20; ++u) {
        lines.push_back("<<単元" + std::to_string(u));
        for (int q = 1; q <= 7; ++q) lines.push_back(kinds[k++ % kinds.size()]);
        lines.push_back(">>");
    }
    solvari::QuestionSet set;
    solvari::SilentPrompter silent;
    solvari::parseQuestionSet(lines, set, silent);
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

void BM_AnswerKeyPdf(benchmark::State& state) {
    const solvari::QuestionSet set = fullSet();
    size_t bytes = 0;
    int pages = 0;
    for (auto _ : state) {
        const solvari::SheetLayout l = solvari::sheetLayout(set, solvari::SheetKind::AnswerKey);
        const std::string pdf = solvari::sheetPdfBytes(l);
        bytes = pdf.size();
        pages = l.pageCount;
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["pages"] = pages;
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_AnswerKeyPdf)->Unit(benchmark::kMillisecond);

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
