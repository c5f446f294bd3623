// Chart editor: opening on a chart of 20 series to the first page shown
// (target 300 ms) and the series gallery with every page's samples drawn
// (target 500 ms). The ratio counter is the time over the target.
#include "chart/control/series.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teegally.h"
#include "chart/editor/teelisb.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/comctrls.h"
#include "platform/graphics/graphics.h"
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

void BM_EditorOpenWith20Series(benchmark::State& state) {
    TeeEditorStartup();
    TChart chart;
    chart.SetBounds(0, 0, 400, 300);
    for (int i = 0; i < 20; ++i) {
        auto* s = new TLineSeries(&chart);
        s->SetParentChart(&chart);
        s->FillSampleValues(50);
    }
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        auto form = std::make_unique<TChartEditForm>(nullptr);
        form->SetChart(&chart);
        form->Show();
        benchmark::DoNotOptimize(form->LBSeries->Items()->Count());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["ratio"] = seconds / state.iterations() / 0.300;
}
BENCHMARK(BM_EditorOpenWith20Series)->Unit(benchmark::kMillisecond);

void BM_SeriesGalleryAllPagesDrawn(benchmark::State& state) {
    TeeEditorStartup();
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        TTeeGallery gallery(nullptr);
        gallery.ChartGalleryPanel1->SetBounds(0, 0, 452, 232);
        gallery.FormShow(&gallery);
        for (int page = 0; page < gallery.TabPages->Tabs()->Count(); ++page) {
            gallery.TabPages->SetTabIndex(page);
            gallery.TabPagesChange(gallery.TabPages);
            for (TGalleryChart* c : gallery.ChartGalleryPanel1->Charts()) {
                TBitmap picture(c->Width(), c->Height());
                c->Draw(picture.Canvas(), TRect(0, 0, c->Width(), c->Height()));
            }
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["ratio"] = seconds / state.iterations() / 0.500;
}
BENCHMARK(BM_SeriesGalleryAllPagesDrawn)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
