// Print-outs of a 230-point line chart into a PDF file, rotated in 3D against
// the same chart in 2D.
//   Rotated3D_vs_2D_Time: `ratio` is the median time of the rotated print over
//   the median time of the 2D print, both measured in the same run (aim 3 or less).
//   Rotated3D_vs_2D_Size: `ratio` is the rotated file's size over the 2D
//   file's (aim 3 or less).
#include "benchstats.h"
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "platform/graphics/printers.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int Points = 230;
constexpr int Repetitions = 9;

std::unique_ptr<TChart> MakeChart(bool Rotated) {
    auto chart = std::make_unique<TChart>(nullptr);
    chart->SetBounds(0, 0, 600, 400);
    chart->Title()->Text()->SetText("Decay of plate 7");
    chart->SetView3D(Rotated);
    if (Rotated) {
        chart->View3DOptions()->SetOrthogonal(false);
        chart->View3DOptions()->SetRotation(330);
        chart->View3DOptions()->SetElevation(340);
        chart->View3DOptions()->SetPerspective(15);
    }
    auto* s = new TLineSeries(chart.get());
    s->SetParentChart(chart.get());
    for (int i = 0; i < Points; ++i)
        s->AddXY(i, 100 * std::exp(-i / 80.0) + 5 * std::sin(i * 0.3));
    return chart;
}

struct TPrintOut {
    double Seconds = 0;
    uintmax_t Bytes = 0;
};

TPrintOut PrintToPdf(TChart& Chart, const std::string& File) {
    TPrinter printer;
    printer.SetOutputFile(File.c_str()); // as the print dialog's file: no notice
    TPrinter* old = SetPrinter(&printer);
    TPrintOut out;
    out.Seconds = bench::Seconds([&] { Chart.Print(); });
    SetPrinter(old);
    out.Bytes = std::filesystem::file_size(printer.LastOutputFile().c_str());
    std::filesystem::remove(printer.LastOutputFile().c_str());
    return out;
}

struct TComparison {
    double FlatSeconds = 0, RotatedSeconds = 0;
    double FlatBytes = 0, RotatedBytes = 0;
};

// Both prints alternate, so a busy moment of the machine falls on both alike.
TComparison Compare() {
    const std::string dir = std::filesystem::temp_directory_path().string();
    auto flat = MakeChart(false);
    auto rotated = MakeChart(true);
    PrintToPdf(*flat, dir + "/qm_bench_flat.pdf"); // warm up fonts and the PDF writer
    std::vector<double> flatTimes, rotatedTimes;
    TComparison c;
    for (int i = 0; i < Repetitions; ++i) {
        const TPrintOut f = PrintToPdf(*flat, dir + "/qm_bench_flat.pdf");
        const TPrintOut r = PrintToPdf(*rotated, dir + "/qm_bench_rotated.pdf");
        flatTimes.push_back(f.Seconds);
        rotatedTimes.push_back(r.Seconds);
        c.FlatBytes = double(f.Bytes);
        c.RotatedBytes = double(r.Bytes);
    }
    c.FlatSeconds = bench::Median(flatTimes);
    c.RotatedSeconds = bench::Median(rotatedTimes);
    return c;
}

void Rotated3D_vs_2D_Time(benchmark::State& State) {
    TComparison c;
    for (auto _ : State)
        c = Compare();
    State.counters["flat_ms"] = c.FlatSeconds * 1000;
    State.counters["rotated_ms"] = c.RotatedSeconds * 1000;
    State.counters["ratio"] = c.FlatSeconds > 0 ? c.RotatedSeconds / c.FlatSeconds : 0;
}
BENCHMARK(Rotated3D_vs_2D_Time)->Unit(benchmark::kMillisecond)->Iterations(1);

void Rotated3D_vs_2D_Size(benchmark::State& State) {
    TComparison c;
    for (auto _ : State)
        c = Compare();
    State.counters["flat_kb"] = c.FlatBytes / 1024;
    State.counters["rotated_kb"] = c.RotatedBytes / 1024;
    State.counters["ratio"] = c.FlatBytes > 0 ? c.RotatedBytes / c.FlatBytes : 0;
}
BENCHMARK(Rotated3D_vs_2D_Size)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
