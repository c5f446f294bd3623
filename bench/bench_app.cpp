// Speed of the operator's road: the program's start until the main window is
// shown (target: at most 300 ms), and one cycle of the live chart with
// 100,000 points already on it (target: at most 5 ms of the sampling period).
#include "app/main.h"
#include "app/program.h"
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "platform/forms/testhooks.h"
#include "platform/rtl/clock.h"
#include "platform/win32/commapi.h"
#include "platform/win32/kernel.h"
#include "support/fake_usb.h"
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>

namespace {
namespace fs = std::filesystem;

// The program in a folder of its own, with no serial ports and the converter plugged in.
struct TProgramPlace {
    TProgramPlace() {
        Dir = fs::temp_directory_path() / ("qm_bench_app_" + std::to_string(::getpid()));
        fs::create_directories(Dir / "class");
        SetProgramFolderOverride(Dir.c_str());
        SetSerialPortFolders((Dir / "class").string(), Dir.string());
        SetScreenSizeOverride(1280, 1024);
        FakeUsb::Reset();
        FakeUsb::AddDevice(FakeUsb::AddBus());
        FakeUsb::SetDefaultRaw(200);
    }
    ~TProgramPlace() {
        SetScreenSizeOverride(0, 0);
        SetSerialPortFolders("", "");
        SetProgramFolderOverride("");
        fs::remove_all(Dir);
    }
    fs::path Dir;
};

void BM_StartToMainWindowShown(benchmark::State& state) {
    TProgramPlace place;
    double total = 0;
    for (auto _ : state) {
        ResetApplicationForTest();
        const auto start = std::chrono::steady_clock::now();
        CreateProgramWindows();
        MainForm->Show();
        Application->ProcessMessages();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
        FreeProgramWindows();
    }
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / 0.300;
}
BENCHMARK(BM_StartToMainWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond);

// Each iteration is one cycle of the real loop, stopped by the message pump
// once its point is on the chart; the wait for the rest of the period runs on
// virtual time and is not counted.
void BM_LiveCycleWith100000Points(benchmark::State& state) {
    TProgramPlace place;
    ResetApplicationForTest();
    TVirtualClockScope time;
    CreateProgramWindows();
    MainForm->Show();
    dynamic_cast<TMenuItem*>(MainForm->FindComponent("N20kVm1"))->Click();
    MainForm->Grafik1->Click();
    TLineSeries* series = MainForm->Series1;
    for (int i = 0; i < 100000; ++i)
        series->AddXY(i * 0.01, (i % 200 - 100) * 0.1, "", clBlack);
    MainForm->SampleTime = 1000;
    double total = 0;
    for (auto _ : state) {
        const int target = series->Count() + 1;
        std::chrono::steady_clock::time_point done;
        TPumpScript script;
        script.When([&] { return series->Count() >= target; }).Do([&] {
            done = std::chrono::steady_clock::now();
            MainForm->StopSampling = true;
        });
        const auto start = std::chrono::steady_clock::now();
        MainForm->RunMeasureLoop(MainForm->ModelText, MainForm->DeviceType, MainForm->RangeCode,
                                 MainForm->UnitText);
        const std::chrono::duration<double> elapsed = done - start;
        state.SetIterationTime(elapsed.count());
        total += elapsed.count();
    }
    state.counters["ratio"] = total / static_cast<double>(state.iterations()) / 0.005;
    FreeProgramWindows();
}
BENCHMARK(BM_LiveCycleWith100000Points)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
