// Chart engine speed and memory, each measured in one run against QCustomPlot
// doing the same work (the peer is linked into this benchmark only). `ratio`
// is ours over the peer's: 1 or less means at least as fast.
//   AddXY_QCustomPlot: 1,000,000 points appended as the live chart appends
//   them (X in order, an empty label, black) to its line series on a chart
//   already drawn, against the peer's QCPGraph::addData(key, value) on a plot
//   already replotted; `bytes_per_point` is the memory the points take (aim:
//   17 at most), `peer_bytes_per_point` the peer's, and
//   `auto_colour_bytes_per_point` ours when the points take the automatic
//   colour; `ns_per_point` and `peer_ns_per_point` the medians a point.
//   AddXY_QCustomPlot_Refill: the same appends into room both sides already
//   hold, so that the kernel's first touch of fresh memory, the same on both
//   sides, does not pull the ratio towards 1.
//   Repaint_QCustomPlot: a full frame of an 800 x 600 chart with a line series
//   of 1,000,000 points, every point placed by the axes and drawn as polylines,
//   against the peer's replot of the same data at its fastest comparable
//   settings; frames alternate, medians of each side. _PointByPoint draws the same frame with one
//   axis call per value and one LineTo per point, as the fast line series draws (for comparison:
//   the calls, not the pixels, dominate there).
#include "benchstats.h"
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "chart/engine/teengine.h"
#include "platform/rtl/memblock.h"
#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <malloc.h>
#include <memory>
#include <qcustomplot.h>
#include <vector>

namespace {

constexpr int Points = 1000000;

using TClock = std::chrono::steady_clock;

double Since(TClock::time_point Start) {
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

// Bytes in use: handed out by malloc (its large mapped blocks included) and
// held in the platform's own mapped blocks (long value arrays).
size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd + MappedBlockBytes();
}

// The live chart's readings, made up front so that only adding is timed.
struct TReadings {
    std::vector<double> X, Y;
    TReadings() : X(Points), Y(Points) {
        for (int i = 0; i < Points; ++i) {
            X[size_t(i)] = i * 0.05;
            Y[size_t(i)] = (i % 200) * 0.01;
        }
    }
};
const TReadings& Readings() {
    static const TReadings r;
    return r;
}

// --- appending ---------------------------------------------------------------

// Bytes a point takes when Points points are appended with Color.
double BytesPerPoint(TColor Color) {
    malloc_trim(0);
    const size_t before = HeapInUse();
    auto series = std::make_unique<TChartSeries>(nullptr);
    const TReadings& r = Readings();
    for (int i = 0; i < Points; ++i)
        series->AddXY(r.X[size_t(i)], r.Y[size_t(i)], "", Color);
    return double(HeapInUse() - before) / Points;
}

// The live chart's work: its line series, on a chart drawn once (so the axes
// and the series' statistics are known), takes each reading with
// AddXY(x, y, "", clBlack). The peer's: a graph of a plot replotted once
// takes addData(key, value). Both grow their arrays into fresh memory, whose
// first touch by the kernel costs the same on both sides and about half of
// the time, so `ratio` lies nearer 1 than the ratio of the work per point
// alone. Which side goes first alternates; medians of each side.
double AppendOurs(const double* x, const double* y, TBitmap& Picture, double& Bytes) {
    TChart chart(nullptr);
    chart.SetWidth(800);
    chart.SetHeight(600);
    auto* series = new TLineSeries(&chart);
    series->SetParentChart(&chart);
    series->AddXY(x[0], y[0], "", clBlack);
    chart.Draw(Picture.Canvas(), TRect(0, 0, 800, 600));
    malloc_trim(0);
    const size_t before = HeapInUse();
    const auto start = TClock::now();
    for (int i = 1; i < Points; ++i)
        series->AddXY(x[i], y[i], "", clBlack);
    const double s = Since(start);
    Bytes = double(HeapInUse() - before) / Points;
    benchmark::DoNotOptimize(series->Count());
    return s;
}

double AppendPeer(const double* x, const double* y, double& Bytes) {
    QCustomPlot plot;
    plot.resize(800, 600);
    QCPGraph* graph = plot.addGraph();
    graph->addData(x[0], y[0]);
    plot.replot(QCustomPlot::rpQueuedRefresh);
    malloc_trim(0);
    const size_t before = HeapInUse();
    const auto start = TClock::now();
    for (int i = 1; i < Points; ++i)
        graph->addData(x[i], y[i]);
    const double s = Since(start);
    Bytes = double(HeapInUse() - before) / Points;
    benchmark::DoNotOptimize(graph->dataCount());
    return s;
}

void BM_AddXY_QCustomPlot(benchmark::State& State) {
    std::vector<double> ours, peer;
    double ourBytes = 0, peerBytes = 0;
    const double* x = Readings().X.data();
    const double* y = Readings().Y.data();
    TBitmap picture(800, 600);
    bool oursFirst = true;
    for (auto _ : State) {
        double s;
        if (oursFirst) {
            s = AppendOurs(x, y, picture, ourBytes);
            peer.push_back(AppendPeer(x, y, peerBytes));
        } else {
            peer.push_back(AppendPeer(x, y, peerBytes));
            s = AppendOurs(x, y, picture, ourBytes);
        }
        oursFirst = !oursFirst;
        ours.push_back(s);
        State.SetIterationTime(s);
    }
    State.counters["ms"] = bench::Median(ours) * 1000;
    State.counters["peer_ms"] = bench::Median(peer) * 1000;
    State.counters["ratio"] = bench::Median(ours) / bench::Median(peer);
    State.counters["ns_per_point"] = bench::Median(ours) / Points * 1e9;
    State.counters["peer_ns_per_point"] = bench::Median(peer) / Points * 1e9;
    State.counters["bytes_per_point"] = ourBytes;
    State.counters["peer_bytes_per_point"] = peerBytes;
    // The same points each given the automatic colour: no colour kept at all.
    State.counters["auto_colour_bytes_per_point"] = BytesPerPoint(clAutoColor);
}
BENCHMARK(BM_AddXY_QCustomPlot)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);

// The same appends into arrays that already hold a million points' room (a
// live chart past its first million, or refilled): no side waits for fresh
// memory, so only the work per point is timed. Each side is filled once, then
// emptied down to its first point and refilled in every run.
void BM_AddXY_QCustomPlot_Refill(benchmark::State& State) {
    const double* x = Readings().X.data();
    const double* y = Readings().Y.data();
    TBitmap picture(800, 600);
    TChart chart(nullptr);
    chart.SetWidth(800);
    chart.SetHeight(600);
    auto* series = new TLineSeries(&chart);
    series->SetParentChart(&chart);
    QCustomPlot plot;
    plot.resize(800, 600);
    QCPGraph* graph = plot.addGraph();
    for (int i = 0; i < Points; ++i) {
        series->AddXY(x[i], y[i], "", clBlack);
        graph->addData(x[i], y[i]);
    }
    const auto ours = [&] {
        series->Delete(1, Points - 1);
        // Drawn, so the series' statistics are known as on a live chart.
        chart.Draw(picture.Canvas(), TRect(0, 0, 800, 600));
        return bench::Seconds([&] {
            for (int i = 1; i < Points; ++i)
                series->AddXY(x[i], y[i], "", clBlack);
        });
    };
    const auto theirs = [&] {
        graph->data()->removeAfter(x[0]);
        plot.replot(QCustomPlot::rpQueuedRefresh);
        return bench::Seconds([&] {
            for (int i = 1; i < Points; ++i)
                graph->addData(x[i], y[i]);
        });
    };
    std::vector<double> our, peer;
    bool oursFirst = true;
    for (auto _ : State) {
        double s;
        if (oursFirst) {
            s = ours();
            peer.push_back(theirs());
        } else {
            peer.push_back(theirs());
            s = ours();
        }
        oursFirst = !oursFirst;
        our.push_back(s);
        State.SetIterationTime(s);
    }
    if (series->Count() != Points || graph->dataCount() != Points)
        State.SkipWithError("a side lost points");
    State.counters["ns_per_point"] = bench::Median(our) / Points * 1e9;
    State.counters["peer_ns_per_point"] = bench::Median(peer) / Points * 1e9;
    State.counters["ratio"] = bench::Median(our) / bench::Median(peer);
}
BENCHMARK(BM_AddXY_QCustomPlot_Refill)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(9);

// --- one full frame ----------------------------------------------------------

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

// A line through every visible point, placed by the axes' position
// functions: as polylines (the points mapped a piece at a time), or
// point by point with LineTo as the fast line series draws (a point on the
// pixel of the one before is skipped).
class TBenchLineSeries : public TChartSeries {
public:
    explicit TBenchLineSeries(bool PointByPoint)
        : TChartSeries(nullptr), FPointByPoint(PointByPoint) {}
    void DrawAllValues() override {
        const int first = FirstVisibleIndex(), last = LastVisibleIndex();
        if (first < 0 || last < first) return;
        TChartAxis* h = GetHorizAxis();
        TChartAxis* v = GetVertAxis();
        const double* x = XValues()->Data();
        const double* y = YValues()->Data();
        TCanvas3D* c = ParentChart()->Canvas();
        c->Pen()->SetColor(SeriesColor());
        if (!FPointByPoint) {
            // In pieces that stay in the cache, each from the last point of the
            // one before.
            constexpr int Piece = 4096;
            FPoints.resize(Piece);
            for (int start = first; start < last; start += Piece - 1) {
                const int n = std::min(Piece, last - start + 1);
                h->CalcXPosValues(x + start, n, FPoints.data());
                v->CalcYPosValues(y + start, n, FPoints.data());
                c->Polyline(FPoints.data(), n - 1);
            }
            return;
        }
        int px = h->CalcXPosValue(x[first]), py = v->CalcYPosValue(y[first]);
        c->MoveTo(px, py);
        for (int i = first + 1; i <= last; ++i) {
            const int nx = h->CalcXPosValue(x[i]), ny = v->CalcYPosValue(y[i]);
            if (nx == px && ny == py) continue;
            c->LineTo(nx, ny);
            px = nx;
            py = ny;
        }
    }

private:
    bool FPointByPoint;
    std::vector<TPoint> FPoints;
};

double FrameY(int i) {
    return std::sin(i * 0.001) * 100 + (i % 97);
}

void Repaint(benchmark::State& State, bool PointByPoint) {
    TBenchChart chart;
    chart.SetView3D(false);
    chart.SetWidth(800);
    chart.SetHeight(600);
    TBenchLineSeries series(PointByPoint);
    series.SetSeriesColor(clRed);
    series.SetParentChart(&chart);
    series.BeginUpdate();
    for (int i = 0; i < Points; ++i)
        series.AddXY(i, FrameY(i));
    series.EndUpdate();
    TBitmap target(800, 600);
    const TRect all(0, 0, 800, 600);

    // The peer at its fastest comparable settings: one-pixel lines without
    // antialiasing, as ours, and its fast polylines.
    QCustomPlot plot;
    plot.resize(800, 600);
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
    QCPGraph* graph = plot.addGraph();
    graph->setPen(QPen(Qt::red, 0));
    {
        QVector<double> keys(Points), values(Points);
        for (int i = 0; i < Points; ++i) {
            keys[i] = i;
            values[i] = FrameY(i);
        }
        graph->setData(keys, values, true);
    }
    plot.rescaleAxes();

    // Warm-up: buffers sized, fonts and glyphs cached.
    chart.Draw(target.Canvas(), all);
    plot.replot(QCustomPlot::rpQueuedRefresh);

    // Frames alternate, and so does which side goes first; medians of each.
    std::vector<double> ours, peer;
    const auto ourFrame = [&] { return bench::Seconds([&] { chart.Draw(target.Canvas(), all); }); };
    const auto peerFrame = [&] {
        return bench::Seconds([&] { plot.replot(QCustomPlot::rpQueuedRefresh); });
    };
    bool oursFirst = true;
    for (auto _ : State) {
        double s;
        if (oursFirst) {
            s = ourFrame();
            peer.push_back(peerFrame());
        } else {
            peer.push_back(peerFrame());
            s = ourFrame();
        }
        oursFirst = !oursFirst;
        ours.push_back(s);
        State.SetIterationTime(s);
    }
    State.counters["ms"] = bench::Median(ours) * 1000;
    State.counters["peer_ms"] = bench::Median(peer) * 1000;
    State.counters["ratio"] = bench::Median(ours) / bench::Median(peer);
    series.SetParentChart(nullptr);
}

void BM_Repaint_QCustomPlot_800x600_Million(benchmark::State& State) {
    Repaint(State, false);
}
void BM_Repaint_QCustomPlot_800x600_Million_PointByPoint(benchmark::State& State) {
    Repaint(State, true);
}
BENCHMARK(BM_Repaint_QCustomPlot_800x600_Million)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(41);
BENCHMARK(BM_Repaint_QCustomPlot_800x600_Million_PointByPoint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(41);

} // namespace

int main(int argc, char** argv) {
    // The peer's widgets need a widget application.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
