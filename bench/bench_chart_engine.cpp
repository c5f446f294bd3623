// Chart engine speed and memory.
//   AddXY: 1,000,000 points appended to a series that is not on screen, as the
//   live chart adds them (X in order, an empty label, colour 0). Aims: 50 ms and
//   32 bytes a point; `ratio` is the aim over the measurement (1 or more meets it).
//   Repaint: one full frame of an 800 x 600 axis panel with a line series of
//   1,000,000 points, against QPainter drawing the same points as one polyline;
//   `ratio` is the frame's time over QPainter's (aim: 4 or less).
#include "chart/engine/teengine.h"
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <vector>
#include <benchmark/benchmark.h>
#include <chrono>
#include <malloc.h>
#include <memory>

namespace {

constexpr int AddXYPoints = 1000000;

// Bytes handed out by malloc, large (mapped) blocks included.
size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

void FillLikeTheLiveChart(TChartSeries& S) {
    for (int i = 0; i < AddXYPoints; ++i)
        S.AddXY(i * 0.05, (i % 200) * 0.01, "", 0);
}

void BM_AddXY_Time(benchmark::State& state) {
    double seconds = 0;
    for (auto _ : state) {
        auto series = std::make_unique<TChartSeries>(nullptr);
        const auto start = std::chrono::steady_clock::now();
        FillLikeTheLiveChart(*series);
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(series->Count());
        const double s = std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(s);
        seconds += s;
    }
    const double perRun = seconds / static_cast<double>(state.iterations());
    state.counters["ms"] = perRun * 1000;
    state.counters["ratio"] = 0.050 / perRun;
}
BENCHMARK(BM_AddXY_Time)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AddXY_Memory(benchmark::State& state) {
    double bytesPerPoint = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const size_t before = HeapInUse();
        auto series = std::make_unique<TChartSeries>(nullptr);
        FillLikeTheLiveChart(*series);
        const size_t after = HeapInUse();
        bytesPerPoint = static_cast<double>(after - before) / AddXYPoints;
        benchmark::DoNotOptimize(series->Count());
    }
    state.counters["bytes_per_point"] = bytesPerPoint;
    state.counters["ratio"] = 32.0 / bytesPerPoint;
}
BENCHMARK(BM_AddXY_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);

constexpr int RepaintPoints = 1000000;

class TBenchChart : public TCustomAxisPanel {
public:
    TBenchChart() : TCustomAxisPanel(nullptr) {}
    bool IsFreeSeriesColor(TColor, bool) override { return true; }
    int CalcWallSize(TChartAxis*) override { return 0; }

protected:
    void CalcWallsRect() override { CalcSize3DWalls(); }
    void DrawTitlesAndLegend(bool) override {}
    void DrawWalls() override {}
};

// A line through every visible point, drawn as one polyline.
class TBenchLineSeries : public TChartSeries {
public:
    TBenchLineSeries() : TChartSeries(nullptr) {}
    std::vector<TPoint> Points;
    void DrawAllValues() override {
        const int first = FirstVisibleIndex(), last = LastVisibleIndex();
        if (first < 0 || last < first) return;
        Points.resize(static_cast<size_t>(last - first + 1));
        TChartAxis* h = GetHorizAxis();
        TChartAxis* v = GetVertAxis();
        const double* x = XValues()->Data();
        const double* y = YValues()->Data();
        for (int i = first; i <= last; ++i)
            Points[static_cast<size_t>(i - first)] =
                TPoint(h->CalcXPosValue(x[i]), v->CalcYPosValue(y[i]));
        TCanvas3D* c = ParentChart()->Canvas();
        c->Pen()->SetColor(SeriesColor());
        c->Polyline(Points.data(), last - first);
    }
};

void BM_Repaint_800x600_Million(benchmark::State& state) {
    TBenchChart chart;
    chart.SetView3D(false);
    chart.SetWidth(800);
    chart.SetHeight(600);
    TBenchLineSeries series;
    series.SetParentChart(&chart);
    series.BeginUpdate();
    for (int i = 0; i < RepaintPoints; ++i)
        series.AddXY(i, std::sin(i * 0.001) * 100 + (i % 97));
    series.EndUpdate();
    TBitmap target(800, 600);
    const TRect all(0, 0, 800, 600);
    chart.Draw(target.Canvas(), all);

    // The same pixels for QPainter.
    QPolygon polygon(static_cast<int>(series.Points.size()));
    for (size_t i = 0; i < series.Points.size(); ++i)
        polygon.setPoint(static_cast<int>(i), series.Points[i].x, series.Points[i].y);
    QImage image(800, 600, QImage::Format_RGB32);

    double chartSeconds = 0, qtSeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        chart.Draw(target.Canvas(), all);
        auto stop = std::chrono::steady_clock::now();
        chartSeconds += std::chrono::duration<double>(stop - start).count();

        start = std::chrono::steady_clock::now();
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setPen(QPen(Qt::red, 0));
            painter.drawPolyline(polygon);
        }
        stop = std::chrono::steady_clock::now();
        qtSeconds += std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["chart_ms"] = chartSeconds / n * 1000;
    state.counters["qpainter_ms"] = qtSeconds / n * 1000;
    state.counters["points"] = static_cast<double>(series.Points.size());
    state.counters["ratio"] = chartSeconds / qtSeconds;
    series.SetParentChart(nullptr);
}
BENCHMARK(BM_Repaint_800x600_Million)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
