// Data grid: a series of 1,000,000 points shown, then scrolled to its last row
// and painted again (target 200 ms: only the visible rows are formatted). The
// ratio counter is the time over the target.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/editor/teegrid.h"
#include "platform/forms/forms.h"
#include "platform/forms/testhooks.h"
#include "platform/graphics/graphics.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace {

void BM_GridMillionPointsOpenAndScrollToEnd(benchmark::State& state) {
    TChart chart;
    chart.SetBounds(0, 0, 400, 300);
    auto* line = new TLineSeries(&chart);
    line->SetParentChart(&chart);
    for (int i = 0; i < 1000000; ++i)
        line->AddXY(i, (i * 37) % 1000);
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        auto host = std::make_unique<TForm>(nullptr);
        host->SetBounds(0, 0, 400, 300);
        auto* grid = new TChartGrid(host.get());
        grid->SetParent(host.get());
        grid->SetAlign(alClient);
        grid->SetChart(&chart);
        host->Show();
        TBitmap face;
        GrabControl(grid, &face);
        grid->SetRow(grid->RowCount() - 1);
        GrabControl(grid, &face);
        benchmark::DoNotOptimize(grid->TopRow());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["ratio"] = seconds / state.iterations() / 0.200;
}
BENCHMARK(BM_GridMillionPointsOpenAndScrollToEnd)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
