// Chart control speed.
//   LiveAddXYRepaint: an 800 x 600 chart whose line series holds 1,000,000
//   points; one AddXY and the repaint it causes. Aim 20 ms; `ratio` is the
//   median over the aim (1 or less meets it). `same_image` is 1 when the
//   frame after the addition equals a full repaint of a fresh chart.
//   Repaint_vs_QCustomPlot/fast:F/data:D/points:N: a full 800 x 600 repaint
//   of a chart with a title, a legend, axes and one line series (F 0) or fast
//   line series (F 1), against QCustomPlot drawing the same data with the
//   same title and legend and a one-pixel pen, both without antialiasing.
//   Data D: 0 a smooth sine (three periods), 1 the same with 10% noise, 2 a
//   random walk; X is the point's index. Frames alternate between the two
//   (which goes first alternates too); `ratio` is our median frame over the
//   peer's (aim: 1 or less). `same_pixels` is 1 when our frame equals the
//   same chart whose line is drawn one segment (or one MoveTo/LineTo step)
//   at a time.
//   SaveChart / LoadChart: a chart file of 1,000,000 points written to and
//   read from disk, interleaved with fwrite / fread of the same X and Y
//   doubles; `ratio` is our median over theirs (aims 3 and 5). A chart file
//   replaces the old one only once it is on the disk, so the save's `ratio`
//   is against fwrite and fsync; `ratio_unsynced` against fwrite alone. The
//   load and the fread (which goes first alternates) each take fresh arrays
//   as a program that loads again and again gets them: the peer from the heap,
//   which hands back the pages the last read freed, the chart from the blocks
//   its freed value lists left; `page_faults` and `peer_page_faults` count the
//   fresh pages each side touched (a median run), so neither is measured on
//   warm memory while the other pays for cold.
#include "benchstats.h"
#include "chart/control/chart.h"
#include "chart/control/chartparts.h"
#include "chart/control/series.h"
#include "chart/control/teestore.h"
#include "platform/classes/streams.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>
#ifdef QM_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

namespace {

using bench::Median;
using bench::Seconds;

constexpr int Points = 1000000;
constexpr int W = 800;
constexpr int H = 600;

enum TShape { Smooth, Noisy, Walk };

// The data sets, made once each: Y of point i (X is i).
const std::vector<double>& Data(TShape Shape, int Count) {
    static std::vector<double> made[3][3];
    const int size = Count == 10000 ? 0 : Count == 100000 ? 1 : 2;
    std::vector<double>& y = made[Shape][size];
    if (!y.empty() && int(y.size()) == Count) return y;
    y.resize(size_t(Count));
    uint64_t seed = 0x9E3779B97F4A7C15ull + uint64_t(Shape);
    const auto uniform = [&seed] { // -1 .. 1, the same on every machine
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return double(seed >> 11) / double(1ull << 52) - 1.0;
    };
    double walk = 0;
    for (int i = 0; i < Count; ++i) {
        const double wave = std::sin(6 * M_PI * i / Count) * 100;
        switch (Shape) {
        case Smooth:
            y[size_t(i)] = wave;
            break;
        case Noisy:
            y[size_t(i)] = wave + uniform() * 10;
            break;
        case Walk:
            walk += uniform();
            y[size_t(i)] = walk;
            break;
        }
    }
    return y;
}

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

template <class AddPoints>
std::unique_ptr<TChart> MakeChart(bool Fast, bool BySegments, AddPoints&& Add) {
    auto chart = std::make_unique<TChart>(nullptr);
    chart->SetWidth(W);
    chart->SetHeight(H);
    chart->SetView3D(false);
    chart->Title()->Text()->SetText("Live reading");
    TChartSeries* s;
    if (!Fast)
        s = BySegments ? new TSegmentLineSeries(chart.get()) : new TLineSeries(chart.get());
    else
        s = BySegments ? new TPointByPointFastLine(chart.get()) : new TFastLineSeries(chart.get());
    s->SetParentChart(chart.get());
    s->SetTitle("Field");
    s->Marks()->SetVisible(false);
    s->BeginUpdate();
    Add(s);
    s->EndUpdate();
    return chart;
}

std::unique_ptr<TChart> MakeLiveChart(int Count) {
    return MakeChart(false, false, [Count](TChartSeries* s) {
        for (int i = 0; i < Count; ++i)
            s->AddXY(X(i), Y(i), "", clAutoColor);
    });
}

std::unique_ptr<TChart> MakeDataChart(bool Fast, bool BySegments, const std::vector<double>& Ys) {
    auto chart = MakeChart(Fast, BySegments, [&Ys](TChartSeries* s) {
        for (size_t i = 0; i < Ys.size(); ++i)
            s->AddXY(double(i), Ys[i]);
    });
    // The peer's legend names the graph; ours would list the first values of
    // a lone series instead, forty texts against one.
    chart->Legend()->SetLegendStyle(lsSeries);
    return chart;
}

double Frame(TChart& Chart, TBitmap& Target) {
    return Seconds([&] { Chart.Draw(Target.Canvas(), TRect(0, 0, W, H)); });
}

bool SameImage(TBitmap& A, TBitmap& B) {
    for (int y = 0; y < H; ++y)
        if (std::memcmp(A.ScanLine(y), B.ScanLine(y), W * 4) != 0) return false;
    return true;
}

void BM_LiveAddXYRepaint(benchmark::State& state) {
    auto chart = MakeLiveChart(Points);
    TChartSeries* s = chart->Series(0);
    TBitmap target(W, H);
    Frame(*chart, target);
    int i = Points;
    std::vector<double> times;
    for (auto _ : state) {
        const double t = Seconds([&] {
            s->AddXY(X(i), Y(i), "", clAutoColor);
            Frame(*chart, target);
        });
        state.SetIterationTime(t);
        times.push_back(t);
        ++i;
    }
    auto fresh = MakeLiveChart(i);
    TBitmap full(W, H);
    Frame(*fresh, full);
    const double median = Median(times);
    state.counters["ms"] = median * 1000;
    state.counters["ratio"] = median / 0.020;
    state.counters["same_image"] = SameImage(target, full) ? 1 : 0;
}
BENCHMARK(BM_LiveAddXYRepaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

#ifdef QM_HAVE_QCUSTOMPLOT
// The peer's plot of the same data, laid out as ours: a title above, a
// legend, one graph with a one-pixel pen, nothing antialiased.
struct TPeerPlot {
    QCustomPlot Plot;
    QPixmap Target;
    explicit TPeerPlot(const std::vector<double>& Ys) {
        Plot.resize(W, H);
        Plot.setNotAntialiasedElements(QCP::aeAll);
        Plot.plotLayout()->insertRow(0);
        Plot.plotLayout()->addElement(0, 0, new QCPTextElement(&Plot, "Live reading"));
        Plot.legend->setVisible(true);
        QVector<double> xs(qsizetype(Ys.size())), ys(qsizetype(Ys.size()));
        for (size_t i = 0; i < Ys.size(); ++i) {
            xs[qsizetype(i)] = double(i);
            ys[qsizetype(i)] = Ys[i];
        }
        QCPGraph* graph = Plot.addGraph();
        graph->setName("Field");
        graph->setPen(QPen(Qt::red, 1));
        graph->setData(xs, ys, true);
        graph->rescaleAxes();
    }
    double Frame() {
        return Seconds([&] { Target = Plot.toPixmap(W, H); });
    }
};
#endif

void BM_Repaint_vs_QCustomPlot(benchmark::State& state) {
    const bool fast = state.range(0) != 0;
    const auto& ys = Data(TShape(state.range(1)), int(state.range(2)));
    auto chart = MakeDataChart(fast, false, ys);
    TBitmap target(W, H);
    Frame(*chart, target);
    {
        auto bySegments = MakeDataChart(fast, true, ys);
        TBitmap reference(W, H);
        bySegments->Draw(reference.Canvas(), TRect(0, 0, W, H));
        state.counters["same_pixels"] = SameImage(target, reference) ? 1 : 0;
    }
#ifdef QM_HAVE_QCUSTOMPLOT
    TPeerPlot peer(ys);
    peer.Frame();
    std::vector<double> ours, theirs;
    bool oursFirst = true;
    for (auto _ : state) {
        double t;
        if (oursFirst) {
            t = Frame(*chart, target);
            theirs.push_back(peer.Frame());
        } else {
            theirs.push_back(peer.Frame());
            t = Frame(*chart, target);
        }
        oursFirst = !oursFirst;
        ours.push_back(t);
        state.SetIterationTime(t);
    }
    state.counters["ms"] = Median(ours) * 1000;
    state.counters["peer_ms"] = Median(theirs) * 1000;
    state.counters["ratio"] = Median(ours) / Median(theirs);
#else
    for (auto _ : state)
        state.SetIterationTime(Frame(*chart, target));
    state.SkipWithError("QCustomPlot is not installed (Debian libqcustomplot-dev)");
#endif
}

void RepaintArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"fast", "data", "points"});
    for (int fast = 0; fast <= 1; ++fast)
        for (int data = Smooth; data <= Walk; ++data)
            for (int points : {10000, 100000, 1000000})
                b->Args({fast, data, points});
}
BENCHMARK(BM_Repaint_vs_QCustomPlot)
    ->Apply(RepaintArgs)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(21);

// --- chart files -------------------------------------------------------------

struct TFilePlace {
    std::filesystem::path Dir =
        std::filesystem::temp_directory_path() / ("qm_bench_files_" + std::to_string(::getpid()));
    TFilePlace() { std::filesystem::create_directories(Dir); }
    ~TFilePlace() { std::filesystem::remove_all(Dir); }
    AnsiString Chart() const { return (Dir / "chart.tee").c_str(); }
    std::string Raw() const { return (Dir / "raw.bin").string(); }
};

// The peer of a chart file: the points' X and Y doubles as they lie in memory,
// and, as a chart file is only replaced once its content is on the disk, the
// same flushed to the disk (Sync).
void WriteRaw(const std::string& Path, const std::vector<double>& Xs, const std::vector<double>& Ys,
              bool Sync) {
    FILE* f = std::fopen(Path.c_str(), "wb");
    std::fwrite(Xs.data(), sizeof(double), Xs.size(), f);
    std::fwrite(Ys.data(), sizeof(double), Ys.size(), f);
    std::fflush(f);
    if (Sync) ::fsync(::fileno(f));
    std::fclose(f);
}

long MinorFaults() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt;
}

size_t ReadRaw(const std::string& Path, size_t Count) {
    std::vector<double> xs(Count), ys(Count);
    FILE* f = std::fopen(Path.c_str(), "rb");
    size_t n = std::fread(xs.data(), sizeof(double), Count, f);
    n += std::fread(ys.data(), sizeof(double), Count, f);
    std::fclose(f);
    benchmark::DoNotOptimize(xs.data());
    benchmark::DoNotOptimize(ys.data());
    return n;
}

void BM_SaveChart(benchmark::State& state) {
    auto chart = MakeLiveChart(Points);
    TChartSeries* s = chart->Series(0);
    const std::vector<double> xs(s->XValues()->Data(), s->XValues()->Data() + Points);
    const std::vector<double> ys(s->YValues()->Data(), s->YValues()->Data() + Points);
    TFilePlace place;
    std::vector<double> ours, synced, unsynced;
    for (auto _ : state) {
        const double t = Seconds([&] { SaveChartToFile(chart.get(), place.Chart(), true, false); });
        synced.push_back(Seconds([&] { WriteRaw(place.Raw(), xs, ys, true); }));
        unsynced.push_back(Seconds([&] { WriteRaw(place.Raw(), xs, ys, false); }));
        ours.push_back(t);
        state.SetIterationTime(t);
    }
    state.counters["ms"] = Median(ours) * 1000;
    state.counters["peer_ms"] = Median(synced) * 1000;
    state.counters["ratio"] = Median(ours) / Median(synced);
    state.counters["peer_unsynced_ms"] = Median(unsynced) * 1000;
    state.counters["ratio_unsynced"] = Median(ours) / Median(unsynced);
}
BENCHMARK(BM_SaveChart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);

void BM_LoadChart(benchmark::State& state) {
    TFilePlace place;
    {
        auto chart = MakeLiveChart(Points);
        SaveChartToFile(chart.get(), place.Chart(), true, false);
        TChartSeries* s = chart->Series(0);
        WriteRaw(place.Raw(),
                 std::vector<double>(s->XValues()->Data(), s->XValues()->Data() + Points),
                 std::vector<double>(s->YValues()->Data(), s->YValues()->Data() + Points), false);
    }
    std::vector<double> ours, theirs, ourFaults, theirFaults;
    bool oursFirst = true;
    for (auto _ : state) {
        TChart target(nullptr);
        TCustomChart* ref = &target;
        double t = 0;
        const auto load = [&] {
            const long before = MinorFaults();
            t = Seconds([&] { LoadChartFromFile(ref, place.Chart()); });
            ourFaults.push_back(double(MinorFaults() - before));
        };
        const auto peer = [&] {
            const long before = MinorFaults();
            theirs.push_back(Seconds([&] { ReadRaw(place.Raw(), Points); }));
            theirFaults.push_back(double(MinorFaults() - before));
        };
        if (oursFirst) {
            load();
            peer();
        } else {
            peer();
            load();
        }
        oursFirst = !oursFirst;
        ours.push_back(t);
        state.SetIterationTime(t);
        if (target.SeriesCount() != 1 || target.Series(0)->Count() != Points)
            state.SkipWithError("the loaded chart differs");
    }
    state.counters["ms"] = Median(ours) * 1000;
    state.counters["peer_ms"] = Median(theirs) * 1000;
    state.counters["ratio"] = Median(ours) / Median(theirs);
    state.counters["page_faults"] = Median(ourFaults);
    state.counters["peer_page_faults"] = Median(theirFaults);
}
BENCHMARK(BM_LoadChart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);

} // namespace

BENCHMARK_MAIN();
