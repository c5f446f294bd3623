// Bitmap export of an 800 x 600 chart of 1,000,000 points against a repaint
// of the same chart into a bitmap. `ratio` is export over repaint (aim: 2 or
// less).
// Bitmap export of a bar chart with marks at 1,000 to 16,000 points: the marks
// are placed clear of each other, which must grow about as the points do (the
// fitted complexity; `ratio` is the time at 16,000 over the time at 8,000,
// aim 2.5 or less where comparing each mark with every earlier one gives 4).
#include "chart/control/series.h"
#include "chart/editor/teeexportformats.h"
#include "platform/graphics/graphics.h"
#include "benchstats.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int W = 800, H = 600, Count = 1000000;

double Seconds(std::chrono::steady_clock::time_point Start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

void BM_BitmapExport_vs_Repaint(benchmark::State& state) {
    TChart chart;
    chart.SetBounds(0, 0, W, H);
    chart.SetView3D(false);
    chart.Title()->Text()->SetText("Decay");
    auto* s = new TLineSeries(&chart);
    s->SetParentChart(&chart);
    s->BeginUpdate();
    for (int i = 0; i < Count; ++i)
        s->AddXY(i, std::sin(i * 0.001) * 100 + (i % 7));
    s->EndUpdate();
    TBitmap target(W, H);
    TBMPExportFormat format;
    format.Panel = &chart;
    format.Width = W;
    format.Height = H;
    chart.Draw(target.Canvas(), TRect(0, 0, W, H)); // warm up both paths
    benchmark::DoNotOptimize(format.Bitmap());
    double repaint = 0, exported = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        chart.Draw(target.Canvas(), TRect(0, 0, W, H));
        repaint += Seconds(t0);
        t0 = std::chrono::steady_clock::now();
        std::unique_ptr<TBitmap> b = format.Bitmap();
        exported += Seconds(t0);
        state.SetIterationTime(Seconds(t0));
        benchmark::DoNotOptimize(b.get());
    }
    state.counters["ratio"] = repaint > 0 ? exported / repaint : 0;
}
BENCHMARK(BM_BitmapExport_vs_Repaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// A bar chart of N points with their marks shown, and its bitmap export.
struct TBarMarksChart {
    explicit TBarMarksChart(int N) {
        chart.SetBounds(0, 0, W, H);
        chart.SetView3D(false);
        auto* s = new TBarSeries(&chart);
        s->SetParentChart(&chart);
        s->Marks()->SetVisible(true);
        s->BeginUpdate();
        for (int i = 0; i < N; ++i)
            s->Add(50 + 40 * std::sin(i * 0.37) + (i % 13));
        s->EndUpdate();
        format.Panel = &chart;
        format.Width = W;
        format.Height = H;
    }
    double Export() {
        const auto t0 = std::chrono::steady_clock::now();
        std::unique_ptr<TBitmap> b = format.Bitmap();
        benchmark::DoNotOptimize(b.get());
        return Seconds(t0);
    }
    TChart chart;
    TBMPExportFormat format;
};

void BM_BarMarksExport(benchmark::State& state) {
    TBarMarksChart c(static_cast<int>(state.range(0)));
    c.Export();
    for (auto _ : state)
        state.SetIterationTime(c.Export());
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BarMarksExport)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Arg(16000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_BarMarksExport_Doubled(benchmark::State& state) {
    TBarMarksChart half(8000), full(16000);
    half.Export();
    full.Export();
    std::vector<double> halves, fulls;
    for (auto _ : state) {
        halves.push_back(half.Export());
        fulls.push_back(full.Export());
        state.SetIterationTime(fulls.back());
    }
    const double h = bench::Median(halves);
    state.counters["ratio"] = h > 0 ? bench::Median(fulls) / h : 0;
}
BENCHMARK(BM_BarMarksExport_Doubled)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);

} // namespace

BENCHMARK_MAIN();
