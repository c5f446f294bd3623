// Canvas speed: one million LineTo calls of a one-pixel pen on an 800 x 600
// bitmap, against QPainter drawing the same points as one polyline.
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
    double canvasTime = 0, painterTime = 0;
    for (auto _ : state) {
        canvasTime += Seconds([&] {
            c->MoveTo(pts[0].x, pts[0].y);
            for (int i = 1; i <= Count; ++i)
                c->LineTo(pts[size_t(i)].x, pts[size_t(i)].y);
        });
        painterTime += Seconds([&] {
            QPainter p(&image);
            p.setPen(QPen(Qt::blue, 0));
            p.drawPolyline(poly);
        });
        benchmark::DoNotOptimize(c->Pixels(10, 10));
    }
    state.counters["ratio"] = canvasTime / painterTime;
    state.counters["canvas_ms"] = 1000 * canvasTime / double(state.iterations());
    state.counters["qpainter_ms"] = 1000 * painterTime / double(state.iterations());
}

} // namespace

BENCHMARK(BM_LineToMillion)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
