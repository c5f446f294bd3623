// Chart control speed.
//   LiveAddXYRepaint: an 800 x 600 chart whose line series holds 1,000,000
//   points; one AddXY and the repaint it causes. Aim 20 ms; `ratio` is the
//   measurement over the aim (1 or less meets it). `same_image` is 1 when the
//   frame after the addition equals a full repaint of a fresh chart.
//   ChartRepaint_vs_QCustomPlot: a full repaint of a chart with titles, legend,
//   axes and one line series (argument 0) or fast line series (argument 1) of
//   1,000,000 points, against QCustomPlot rendering the same data at the same
//   size in the same run; `ratio` is ours over theirs (aim: 1.2 or less).
//   `same_pixels` is 1 when the frame equals the same chart whose line is
//   drawn one segment (or one MoveTo/LineTo step) at a time.
#include "chart/control/chart.h"
#include "chart/control/chartparts.h"
#include "chart/control/series.h"
#include "chart/control/teestore.h"
#include "platform/classes/streams.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <memory>
#ifdef QM_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

namespace {

constexpr int Points = 1000000;
constexpr int W = 800;
constexpr int H = 600;

double X(int i) {
    return i * 0.05;
}
double Y(int i) {
    return std::sin(i * 0.001) * 100 + (i % 200) * 0.1;
}

// The same series drawn the slow way, segment by segment, for the pixel check.
class TSegmentLineSeries : public TLineSeries {
public:
    using TLineSeries::TLineSeries;
    void DrawAllValues() override { TChartSeries::DrawAllValues(); }
};
class TPointByPointFastLine : public TFastLineSeries {
public:
    using TFastLineSeries::TFastLineSeries;
    void DrawAllValues() override { DrawPointByPoint(); }
};

std::unique_ptr<TChart> MakeChart(TClass SeriesClass, int Count, bool BySegments = false) {
    auto chart = std::make_unique<TChart>(nullptr);
    chart->SetWidth(W);
    chart->SetHeight(H);
    chart->SetView3D(false);
    chart->Title()->Text()->SetText("Live reading");
    TChartSeries* s;
    if (!BySegments)
        s = static_cast<TChartSeries*>(SeriesClass->Factory(chart.get()));
    else if (SeriesClass == &TLineSeries::ClassInfo)
        s = new TSegmentLineSeries(chart.get());
    else
        s = new TPointByPointFastLine(chart.get());
    s->SetParentChart(chart.get());
    s->SetTitle("Field");
    s->Marks()->SetVisible(false);
    s->BeginUpdate();
    for (int i = 0; i < Count; ++i)
        s->AddXY(X(i), Y(i), "", clAutoColor);
    s->EndUpdate();
    return chart;
}

double Frame(TChart& Chart, TBitmap& Target) {
    const auto start = std::chrono::steady_clock::now();
    Chart.Draw(Target.Canvas(), TRect(0, 0, W, H));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool SameImage(TBitmap& A, TBitmap& B) {
    for (int y = 0; y < H; ++y)
        if (std::memcmp(A.ScanLine(y), B.ScanLine(y), W * 4) != 0) return false;
    return true;
}

void BM_LiveAddXYRepaint(benchmark::State& state) {
    auto chart = MakeChart(&TLineSeries::ClassInfo, Points);
    TChartSeries* s = chart->Series(0);
    TBitmap target(W, H);
    Frame(*chart, target);
    int i = Points;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        s->AddXY(X(i), Y(i), "", clAutoColor);
        Frame(*chart, target);
        const double t =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(t);
        seconds += t;
        ++i;
    }
    auto fresh = MakeChart(&TLineSeries::ClassInfo, i);
    TBitmap full(W, H);
    Frame(*fresh, full);
    const double perRun = seconds / static_cast<double>(state.iterations());
    state.counters["ms"] = perRun * 1000;
    state.counters["ratio"] = perRun / 0.020;
    state.counters["same_image"] = SameImage(target, full) ? 1 : 0;
}
BENCHMARK(BM_LiveAddXYRepaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

#ifdef QM_HAVE_QCUSTOMPLOT
double QCustomPlotFrame(QCustomPlot& Plot, QPixmap& Target) {
    const auto start = std::chrono::steady_clock::now();
    Target = Plot.toPixmap(W, H);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
#endif

void BM_ChartRepaint_vs_QCustomPlot(benchmark::State& state) {
    TClass cls = state.range(0) == 0 ? &TLineSeries::ClassInfo : &TFastLineSeries::ClassInfo;
    auto chart = MakeChart(cls, Points);
    TBitmap target(W, H);
    Frame(*chart, target);
    double seconds = 0;
    for (auto _ : state) {
        const double t = Frame(*chart, target);
        state.SetIterationTime(t);
        seconds += t;
    }
    const double ours = seconds / static_cast<double>(state.iterations());
    state.counters["ms"] = ours * 1000;
    auto bySegments = MakeChart(cls, Points, true);
    TBitmap reference(W, H);
    Frame(*bySegments, reference);
    state.counters["same_pixels"] = SameImage(target, reference) ? 1 : 0;
#ifdef QM_HAVE_QCUSTOMPLOT
    QCustomPlot plot;
    plot.resize(W, H);
    plot.plotLayout()->insertRow(0);
    plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, "Live reading"));
    plot.legend->setVisible(true);
    QVector<double> xs(Points), ys(Points);
    for (int i = 0; i < Points; ++i) {
        xs[i] = X(i);
        ys[i] = Y(i);
    }
    QCPGraph* graph = plot.addGraph();
    graph->setName("Field");
    graph->setData(xs, ys, true);
    graph->rescaleAxes();
    QPixmap pixmap;
    QCustomPlotFrame(plot, pixmap);
    double theirs = 0;
    const int runs = static_cast<int>(state.iterations());
    for (int r = 0; r < runs; ++r)
        theirs += QCustomPlotFrame(plot, pixmap);
    theirs /= runs;
    state.counters["peer_ms"] = theirs * 1000;
    state.counters["ratio"] = ours / theirs;
#else
    state.SkipWithError("QCustomPlot is not installed (Debian libqcustomplot-dev)");
#endif
}
BENCHMARK(BM_ChartRepaint_vs_QCustomPlot)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

// Chart files of a 1,000,000-point chart, binary with data; aim 300 ms each,
// `ratio` is the measurement over the aim.
void BM_SaveChart(benchmark::State& state) {
    auto chart = MakeChart(&TLineSeries::ClassInfo, Points);
    double seconds = 0;
    for (auto _ : state) {
        TMemoryStream m;
        const auto start = std::chrono::steady_clock::now();
        SaveChartToStream(chart.get(), &m, true, false);
        const double t =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(t);
        seconds += t;
    }
    state.counters["ratio"] = seconds / static_cast<double>(state.iterations()) / 0.300;
}
BENCHMARK(BM_SaveChart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadChart(benchmark::State& state) {
    auto chart = MakeChart(&TLineSeries::ClassInfo, Points);
    TMemoryStream m;
    SaveChartToStream(chart.get(), &m, true, false);
    double seconds = 0;
    for (auto _ : state) {
        TChart target(nullptr);
        TCustomChart* ref = &target;
        m.SetPosition(0);
        const auto start = std::chrono::steady_clock::now();
        LoadChartFromStream(ref, &m);
        const double t =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(t);
        seconds += t;
        if (target.SeriesCount() != 1 || target.Series(0)->Count() != Points)
            state.SkipWithError("the loaded chart differs");
    }
    state.counters["ratio"] = seconds / static_cast<double>(state.iterations()) / 0.300;
}
BENCHMARK(BM_LoadChart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
