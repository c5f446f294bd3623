// Canvas speed: one million LineTo calls of a one-pixel pen between random
// points of an 800 x 600 bitmap (long lines that seldom share a column, so
// nearly all take the general path), against QPainter drawing the same points
// as one polyline; `ratio` is the canvas's time over QPainter's.
#include "platform/graphics/graphics.h"
#include "platform/graphics/qtbridge.h"
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>
#include <random>

namespace {

constexpr int Count = 1000000;

const std::vector<TPoint>& Points() {
    static const std::vector<TPoint> points = [] {
        std::mt19937 gen(42);
        std::uniform_int_distribution<int> x(0, 799), y(0, 599);
        std::vector<TPoint> p(Count + 1);
        for (TPoint& q : p)
            q = TPoint(x(gen), y(gen));
        return p;
    }();
    return points;
}

double Seconds(const std::function<void()>& fn) {
    const auto t0 = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_LineToMillion(benchmark::State& state) {
    EnsureGuiApplication();
    const auto& pts = Points();
    TBitmap bmp(800, 600);
    TCanvas* c = bmp.Canvas();
    c->Pen()->SetColor(clBlue);
    QImage image(800, 600, QImage::Format_RGB32);
    QPolygon poly;
    for (const TPoint& p : pts)
        poly << QPoint(p.x, p.y);
    const auto canvasLines = [&] {
        c->MoveTo(pts[0].x, pts[0].y);
        for (int i = 1; i <= Count; ++i)
            c->LineTo(pts[size_t(i)].x, pts[size_t(i)].y);
    };
    const auto painterLines = [&] {
        QPainter p(&image);
        p.setPen(QPen(Qt::blue, 0));
        p.drawPolyline(poly);
    };
    // Warm-up: pages of both targets touched, Qt's raster engine set up.
    canvasLines();
    painterLines();
    double canvasTime = 0, painterTime = 0;
    for (auto _ : state) {
        const double s = Seconds(canvasLines);
        canvasTime += s;
        state.SetIterationTime(s);
        painterTime += Seconds(painterLines);
        benchmark::DoNotOptimize(c->Pixels(10, 10));
    }
    state.counters["ratio"] = canvasTime / painterTime;
    state.counters["canvas_ms"] = 1000 * canvasTime / double(state.iterations());
    state.counters["qpainter_ms"] = 1000 * painterTime / double(state.iterations());
}

} // namespace

// The iteration time is the canvas's alone; QPainter runs alongside for the ratio.
BENCHMARK(BM_LineToMillion)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
