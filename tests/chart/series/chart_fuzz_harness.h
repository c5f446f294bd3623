#pragma once
// One fuzz input read as a chart file. A damaged file must be refused with the
// library's exception; whatever loads must paint, save, load again and save the
// same bytes, in both stream forms. Shared by the libFuzzer target and the
// corpus replay test, which also builds the seed: one series of every
// registered series class and one of every registered tool.
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include "platform/graphics/graphics.h"
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace chart_fuzz {

inline void Require(bool Condition, const char* What, const AnsiString& Detail = "") {
    if (!Condition) {
        std::fprintf(stderr, "chart fuzz: %s %s\n", What, Detail.c_str());
        std::abort();
    }
}

inline std::string Save(TCustomChart* Chart, bool Text) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, Text);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

// The chart the bytes describe, or nullptr when the file is refused.
inline std::unique_ptr<TChart> Load(const std::string& Bytes) {
    auto chart = std::make_unique<TChart>();
    TMemoryStream m;
    m.Write(Bytes.data(), static_cast<int>(Bytes.size()));
    m.SetPosition(0);
    TCustomChart* ref = chart.get();
    try {
        LoadChartFromStream(ref, &m);
    } catch (const Exception&) {
        return nullptr;
    }
    return chart;
}

// A loaded chart must paint; an exception here means every paint of it fails.
inline void Paint(TCustomChart* Chart) {
    TBitmap target(200, 150);
    try {
        Chart->Draw(target.Canvas(), TRect(0, 0, 200, 150));
    } catch (const Exception& E) {
        Require(false, "a loaded chart does not paint:", E.Message);
    }
}

inline void ChartFile(const uint8_t* Data, size_t Size) {
    TeeExtraSeriesStartup();
    std::unique_ptr<TChart> chart = Load(std::string(reinterpret_cast<const char*>(Data), Size));
    if (!chart) return;
    Paint(chart.get());
    const std::string saved = Save(chart.get(), false);
    std::unique_ptr<TChart> again = Load(saved);
    Require(again != nullptr, "a saved chart does not load");
    Paint(again.get());
    Require(Save(again.get(), false) == saved, "a reloaded chart saves other bytes");
    std::unique_ptr<TChart> fromText = Load(Save(again.get(), true));
    Require(fromText != nullptr, "a chart saved as text does not load");
    Require(Save(fromText.get(), false) == saved, "the text form loads another chart");
}

// The seed file: every registered series class and tool in one chart.
inline std::string Seed() {
    TeeExtraSeriesStartup();
    TeeStartRegistries();
    TChart chart;
    TChartSeries* first = nullptr;
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        const TTeeSeriesType* t = TeeSeriesTypes()[i];
        if (!t->SeriesClass || t->FunctionClass) continue;
        TChartSeries* s = CreateNewSeries(&chart, &chart, t->SeriesClass);
        s->FillSampleValues(6);
        if (!first) first = s;
    }
    // A function of every registered class, calculated from the first series
    // where that series can be its source.
    for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
        const TTeeSeriesType* t = TeeSeriesTypes()[i];
        if (!t->FunctionClass || !first) continue;
        TChartSeries* s = CreateNewSeries(
            &chart, &chart, t->SeriesClass ? t->SeriesClass : first->ClassType(), t->FunctionClass);
        try {
            s->SetDataSource(first);
        } catch (const Exception&) {
        }
    }
    for (int i = 0; i < TeeToolTypes().Count(); ++i) {
        auto* tool = dynamic_cast<TTeeCustomTool*>(TeeToolTypes()[i]->Factory(&chart));
        if (tool) tool->SetParentChart(&chart);
    }
    return Save(&chart, false);
}

} // namespace chart_fuzz
