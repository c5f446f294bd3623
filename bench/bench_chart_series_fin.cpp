// Price series and indicator speed.
//   Indicator/<function>: each indicator over 1,000,000 source points at
//   period 1000, timed against the same indicator at period 10 in the same
//   run; `ratio` is the median at period 1000 over the median at period 10
//   (aim 2 or less: linear in the points whatever the period).
//   Candle100k_vs_Line: an 800 x 600 repaint of 100,000 candles against a
//   line series of the same points; `ratio` is candles over line (aim 4 or less).
#include "benchstats.h"
#include "chart/control/chart.h"
#include "chart/control/chartparts.h"
#include "chart/series/candlech.h"
#include "chart/series/curvfitt.h"
#include "chart/series/statchar.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teevolumefunctions.h"
#include "platform/graphics/graphics.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Points = 1000000;

void Fill(TCandleSeries* S, int N) {
    S->BeginUpdate();
    for (int i = 0; i < N; ++i) {
        const double c = 100 + std::sin(i * 0.001) * 20 + std::sin(i * 0.37) * 2;
        S->AddOHLC(i, c - 0.5, c + 1.5, c - 1.5, c);
    }
    S->EndUpdate();
}

using TMake = std::function<TTeeFunction*(TComponent*)>;

double TimeFunction(TChart& Chart, TCandleSeries* Source, const TMake& Make, double Period) {
    auto* out = new TLineSeries(&Chart);
    out->SetParentChart(&Chart);
    TTeeFunction* f = Make(&Chart);
    out->SetFunction(f);
    f->InternalSetPeriod(Period);
    const auto start = Clock::now();
    out->SetDataSource(Source);
    const double t = std::chrono::duration<double>(Clock::now() - start).count();
    delete out;
    return t;
}

void Indicator(benchmark::State& State, TMake Make) {
    TeeExtraSeriesStartup();
    TChart chart(nullptr);
    chart.SetAutoRepaint(false);
    auto* source = new TCandleSeries(&chart);
    source->SetParentChart(&chart);
    Fill(source, Points);
    // Runs alternate between the two periods; the medians are compared, so
    // the first run's warm-up decides nothing.
    std::vector<double> slow, fast;
    for (auto _ : State) {
        slow.push_back(TimeFunction(chart, source, Make, 1000));
        fast.push_back(TimeFunction(chart, source, Make, 10));
        State.SetIterationTime(slow.back());
    }
    State.counters["ms"] = bench::Median(slow) * 1000;
    State.counters["ratio"] = bench::Median(slow) / bench::Median(fast);
}

template <typename F> TMake Maker() {
    return [](TComponent* Owner) { return new F(Owner); };
}

void Candle100k_vs_Line(benchmark::State& State) {
    TeeExtraSeriesStartup();
    TChart chart(nullptr);
    chart.SetWidth(800);
    chart.SetHeight(600);
    chart.SetView3D(false);
    auto* candles = new TCandleSeries(&chart);
    candles->SetParentChart(&chart);
    Fill(candles, 100000);
    TBitmap picture(800, 600);
    auto repaint = [&] {
        const auto start = Clock::now();
        chart.Draw(picture.Canvas(), TRect(0, 0, 800, 600));
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    auto* l = new TLineSeries(&chart);
    l->SetParentChart(&chart);
    l->AssignValues(candles);
    // Frames alternate between the two; the medians are compared.
    std::vector<double> candle, line;
    for (auto _ : State) {
        l->SetActive(false);
        candles->SetActive(true);
        candle.push_back(repaint());
        candles->SetActive(false);
        l->SetActive(true);
        line.push_back(repaint());
        State.SetIterationTime(candle.back());
    }
    State.counters["ms"] = bench::Median(candle) * 1000;
    State.counters["line_ms"] = bench::Median(line) * 1000;
    State.counters["ratio"] = bench::Median(candle) / bench::Median(line);
}

} // namespace

BENCHMARK_CAPTURE(Indicator, MovingAverage, Maker<TMovingAverageFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, ExpAverage, Maker<TExpAverageFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, ExpMovAve, Maker<TExpMovAveFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, Momentum, Maker<TMomentumFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, MomentumDiv, Maker<TMomentumDivFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, Stochastic, Maker<TStochasticFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, MACD, Maker<TMACDFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, RSI, Maker<TRSIFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, ADX, Maker<TADXFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, StdDeviation, Maker<TStdDeviationFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, Bollinger, Maker<TBollingerFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, Performance, Maker<TPerformanceFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, CCI, Maker<TCCIFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, PVO, Maker<TPVOFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(Indicator, Smoothing, Maker<TSmoothingFunction>())
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(Candle100k_vs_Line)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK_MAIN();
