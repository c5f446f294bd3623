// Chart engine speed and memory.
//   AddXY: 1,000,000 points appended to a series that is not on screen, as the
//   live chart adds them (X in order, an empty label, colour 0). Aims: 50 ms and
//   32 bytes a point; `ratio` is the aim over the measurement (1 or more meets it).
#include "chart/engine/teengine.h"
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

} // namespace

BENCHMARK_MAIN();
