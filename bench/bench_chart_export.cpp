// Bitmap export of an 800 x 600 chart of 1,000,000 points against a repaint
// of the same chart into a bitmap. `ratio` is export over repaint (aim: 2 or
// less).
#include "chart/control/series.h"
#include "chart/editor/teeexportformats.h"
#include "platform/graphics/graphics.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>

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

} // namespace

BENCHMARK_MAIN();
