// Chart tool speed.
//   CursorMove: an 800 x 600 chart whose line series holds 1,000,000 points and
//   a cursor tool following the mouse; one mouse move over the plot area. Aim
//   1 ms. `ratio` is one move over one full repaint of the same chart in the
//   same run (a move must not repaint the chart: far below 1); `aim_ratio` is
//   the move over the 1 ms aim (1 or less meets it).
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/control/tool_cursor.h"
#include "chart/engine/teeaxis.h"
#include "platform/forms/testhooks.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>

namespace {

constexpr int Points = 1000000;

void CursorMove(benchmark::State& State) {
    auto chart = std::make_unique<TChart>(nullptr);
    chart->SetBounds(0, 0, 800, 600);
    chart->SetView3D(false);
    auto* s = new TLineSeries(chart.get());
    s->SetParentChart(chart.get());
    s->Marks()->SetVisible(false);
    s->BeginUpdate();
    for (int i = 0; i < Points; ++i)
        s->AddXY(i * 0.05, std::sin(i * 0.001) * 100, "", clAutoColor);
    s->EndUpdate();
    auto* cursor = new TCursorTool(chart.get());
    cursor->SetFollowMouse(true);
    chart->Tools()->Add(cursor);

    const auto t0 = std::chrono::steady_clock::now();
    chart->Draw();
    const double repaint =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();

    TChartAxis* h = chart->BottomAxis();
    TChartAxis* v = chart->LeftAxis();
    const int span = h->IEndPos - h->IStartPos - 2;
    int step = 0;
    double moves = 0;
    int64_t n = 0;
    for (auto _ : State) {
        const int x = h->IStartPos + 1 + (step * 7) % span;
        const int y = (v->IStartPos + v->IEndPos) / 2 + (step % 40) - 20;
        ++step;
        const auto m0 = std::chrono::steady_clock::now();
        SimulateMouse(chart.get(), TMouseAction::Move, mbLeft, x, y);
        moves += std::chrono::duration<double>(std::chrono::steady_clock::now() - m0).count();
        ++n;
    }
    const double move = n ? moves / static_cast<double>(n) : 0;
    State.counters["repaint_ms"] = repaint * 1e3;
    State.counters["move_ms"] = move * 1e3;
    State.counters["ratio"] = repaint > 0 ? move / repaint : 0;
    State.counters["aim_ratio"] = move / 1e-3;
}
BENCHMARK(CursorMove)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
