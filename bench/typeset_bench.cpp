// Typesetting speed: one 30-term line (fractions, a bar group, brackets) laid out on the
// recording canvas (the layout logic alone) and on a QImage-backed page box (real glyphs).
// Each benchmark also times every call and reports its median and 99th percentile.
// Run: build/bench/bench_typeset
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <vector>

#include "ui/fonts.h"
#include "ui/image_box.h"
#include "transform/recording_canvas.h"
#include "transform/typeset.h"

namespace solvari {
namespace {

EquationLine thirtyTerms() {
    const Term terms[] = {
        {2, 1, 'x'},   {4, 3, '/'},   {1, -2, '/'},  {1, 0, '('},   {1, 1, 'x'},   {3, -1, '/'},
        {1, 0, ')'},   {1, 5, 'x'},   {1, -7, '/'},  {3, 2, '|'},   {1, 0, '('},   {1, 1, 'x'},
        {1, 1, '/'},   {1, 0, ')'},   {6, 11, 'x'},  {8, -5, '/'},  {1, 0, '='},   {5, -3, 'x'},
        {1, 4, '/'},   {1, 1, '/'},   {1, 0, '['},   {1, 1, 'x'},   {1, -2, '/'},  {1, 0, ']'},
        {7, 9, 'x'},   {9, -1, '/'},  {1, 3, 'x'},   {1, 6, '/'},   {4, 13, '/'},  {1, -1, 'x'},
    };
    static_assert(sizeof(terms) / sizeof(terms[0]) == LINE_CAPACITY);
    EquationLine line;
    for (const Term& t : terms) line.terms[static_cast<size_t>(line.count++)] = t;
    line.text = "①式と②式をたすと";
    return line;
}

class OneBox : public PageBoxes {
public:
    explicit OneBox(Canvas& box) : box_(box) {}
    Canvas* lineBox(int n) override { return n == 2 ? &box_ : nullptr; }

private:
    Canvas& box_;
};

template <typename Draw>
void timed(benchmark::State& state, Draw draw) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> us;
    for (auto _ : state) {
        const auto start = Clock::now();
        draw();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(us.begin(), us.end());
    if (us.empty()) return;
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

void BM_LayoutRecording(benchmark::State& state) {
    Engine engine;
    RecordingCanvas box(309, 75);
    OneBox boxes(box);
    Typesetter ts(engine, boxes);
    const EquationLine line = thirtyTerms();
    timed(state, [&] {
        box.reset();
        benchmark::DoNotOptimize(ts.layoutLine(box, 2, false, line));
    });
}
BENCHMARK(BM_LayoutRecording);

// A page box of the real page: an ImageBox with the engine and typesetter that draw into it.
struct ImageBoxRig {
    Engine engine;
    ImageBox box;
    OneBox boxes{box};
    Typesetter ts{engine, boxes};
    ImageBoxRig() { box.resize(309, 75); }
};

void BM_LayoutImageBox(benchmark::State& state) {
    ImageBoxRig rig;
    const EquationLine line = thirtyTerms();
    timed(state, [&] { benchmark::DoNotOptimize(rig.ts.layoutLine(rig.box, 2, false, line)); });
}
BENCHMARK(BM_LayoutImageBox);

// The whole drawLine of a line too long for its box: layout, clear, sentence, compact
// layout, label.
void BM_DrawLineImageBox(benchmark::State& state) {
    ImageBoxRig rig;
    rig.engine.line(2) = thirtyTerms();
    timed(state, [&] { benchmark::DoNotOptimize(rig.ts.drawLine(2)); });
}
BENCHMARK(BM_DrawLineImageBox);

}  // namespace
}  // namespace solvari

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    solvari::installFontSubstitutions();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
