// 3D series speed.
//   Surface200_vs_QPainterQuads: an 800 x 600 3D chart repainting a 200 x 200
//   surface, against QPainter filling the same 199 x 199 quadrilaterals into
//   an 800 x 600 image in the same run; `ratio` is ours over QPainter's (aim 10 or less).
//   Contour500: the level segments of a 500 x 500 grid at 10 levels; `ratio`
//   is the time over the 50 ms aim.
//   Triangulate10000: 10,000 scattered points; `ratio` is the time over the 100 ms aim.
#include "chart/control/chart.h"
#include "chart/control/chartparts.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teesurfa.h"
#include "chart/series/teetrisurface.h"
#include "platform/rtl/rtlmath.h"
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

double Height(int X, int Z) {
    return std::sin(X * 0.05) * std::cos(Z * 0.04) * 10;
}

// QPainter filling the quadrilaterals of a N x N grid spread over the image.
double QPainterQuads(int N) {
    QImage image(800, 600, QImage::Format_RGB32);
    std::vector<QPolygon> quads;
    quads.reserve(size_t(N - 1) * size_t(N - 1));
    const auto at = [N](int X, int Z) {
        return QPoint(40 + X * 700 / N + Z / 2, 500 - Z * 400 / N - int(Height(X, Z)));
    };
    for (int z = 0; z + 1 < N; ++z)
        for (int x = 0; x + 1 < N; ++x)
            quads.push_back(QPolygon({at(x, z), at(x + 1, z), at(x + 1, z + 1), at(x, z + 1)}));
    const auto start = Clock::now();
    QPainter p(&image);
    p.setPen(Qt::black);
    for (size_t i = 0; i < quads.size(); ++i) {
        p.setBrush(QColor::fromRgb(static_cast<QRgb>(0xFF000000 | (i * 2654435761u))));
        p.drawPolygon(quads[i]);
    }
    p.end();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Surface200_vs_QPainterQuads(benchmark::State& State) {
    TeeExtraSeriesStartup();
    TChart chart(nullptr);
    chart.SetWidth(800);
    chart.SetHeight(600);
    chart.SetView3D(true);
    chart.Legend()->SetVisible(false);
    auto* s = new TSurfaceSeries(&chart);
    s->SetParentChart(&chart);
    s->OnGetYValue = [](TChartSeries*, int X, int Z) { return Height(X, Z); };
    s->CreateValues(200, 200);
    TBitmap picture(800, 600);
    double baseline = 1e9;
    for (int i = 0; i < 3; ++i)
        baseline = std::min(baseline, QPainterQuads(200));
    double total = 0;
    for (auto _ : State) {
        const auto start = Clock::now();
        chart.Draw(picture.Canvas(), TRect(0, 0, 800, 600));
        total += std::chrono::duration<double>(Clock::now() - start).count();
    }
    State.counters["qpainter_ms"] = baseline * 1000;
    State.counters["ratio"] = total / double(State.iterations()) / baseline;
}
BENCHMARK(Surface200_vs_QPainterQuads)->Unit(benchmark::kMillisecond);

void Contour500(benchmark::State& State) {
    TContourSeries s(nullptr);
    s.OnGetYValue = [](TChartSeries*, int X, int Z) { return Height(X, Z); };
    s.CreateValues(500, 500);
    s.FillGridIndex();
    s.SetNumLevels(10);
    double total = 0;
    for (auto _ : State) {
        const auto start = Clock::now();
        s.CreateAutoLevels();
        s.ContourLevels();
        total += std::chrono::duration<double>(Clock::now() - start).count();
        benchmark::DoNotOptimize(s.Levels()->Get(5)->SegmentCount());
    }
    State.counters["ratio"] = total / double(State.iterations()) / 0.050;
}
BENCHMARK(Contour500)->Unit(benchmark::kMillisecond);

void Triangulate10000(benchmark::State& State) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> d(0, 1000);
    std::vector<double> x(10000), z(10000);
    for (int i = 0; i < 10000; ++i) {
        x[i] = d(rng);
        z[i] = d(rng);
    }
    double total = 0;
    for (auto _ : State) {
        const auto start = Clock::now();
        TTriangulation t = TeeTriangulate(x, z);
        total += std::chrono::duration<double>(Clock::now() - start).count();
        benchmark::DoNotOptimize(t.Triangles.data());
    }
    State.counters["ratio"] = total / double(State.iterations()) / 0.100;
}
BENCHMARK(Triangulate10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
