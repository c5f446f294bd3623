// Every style a series' gallery offers, applied as the gallery applies it to a
// new series, leaves a chart whose file reads back and is written again byte
// for byte, on a chart with an owner and on one without (its series owned by
// the chart or by nobody). Entries and styles
// come from the registry and from each series itself.
#include "chart/control/series.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/series/teeextraseries.h"
#include "platform/classes/streams.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string ChartText(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

enum class TPlacing { Alone, Owned, SeriesOfNoOwner };

// A chart as a program keeps it: standing alone, owned by a form, or alone
// with a series made by code that owns it to nobody.
struct TPlacedChart {
    explicit TPlacedChart(TPlacing Placing) {
        if (Placing == TPlacing::Owned) {
            Owner = std::make_unique<TComponent>(nullptr);
            Chart = new TChart(Owner.get());
            Chart->SetName("Chart1");
        } else {
            Alone = std::make_unique<TChart>(nullptr);
            Chart = Alone.get();
        }
    }
    std::unique_ptr<TComponent> Owner;
    std::unique_ptr<TChart> Alone;
    TChart* Chart = nullptr;
};

TEST(GalleryStyles, EveryStyleLeavesAChartFileThatReadsBack) {
    TeeExtraSeriesStartup();
    std::string faults;
    int entries = 0, adding = 0;
    for (int e = 0; e < TeeSeriesTypes().Count(); ++e) {
        const TTeeSeriesType* t = TeeSeriesTypes().Get(e);
        const TClass seriesClass = t->SeriesClass ? t->SeriesClass : &TLineSeries::ClassInfo;
        std::vector<std::string> styles;
        {
            TChart scratch;
            CreateNewSeries(&scratch, &scratch, seriesClass, t->FunctionClass)
                ->CreateSubGallery([&](const AnsiString& N) { styles.push_back(N.c_str()); });
        }
        const std::string entry =
            std::string(seriesClass->Name) +
            (t->FunctionClass ? std::string(" ") + t->FunctionClass->Name : "");
        for (int style = 1; style < static_cast<int>(styles.size()); ++style) {
            ++entries;
            bool adds = false;
            for (TPlacing placing : {TPlacing::Alone, TPlacing::Owned, TPlacing::SeriesOfNoOwner}) {
                const std::string what = entry + " \"" + styles[size_t(style)] + "\" " +
                                         std::to_string(static_cast<int>(placing));
                TPlacedChart made(placing);
                TChart* chart = made.Chart;
                TChartSeries* s = nullptr;
                if (placing == TPlacing::SeriesOfNoOwner) {
                    s = static_cast<TChartSeries*>(seriesClass->Factory(nullptr));
                    s->SetName("Series1");
                    s->SetParentChart(chart);
                    if (t->FunctionClass) CreateNewTeeFunction(s, t->FunctionClass);
                } else {
                    s = CreateNewSeries(chart->Owner(), chart, seriesClass, t->FunctionClass);
                }
                s->SetSubGallery(s, style);
                adds = adds || chart->SeriesCount() > 1;
                const std::string written = ChartText(chart);
                TPlacedChart again(placing);
                TCustomChart* target = again.Chart;
                try {
                    TStringStream file(written);
                    LoadChartFromStream(target, &file);
                } catch (const std::exception& x) {
                    faults += what + ": " + x.what() + "\n";
                    continue;
                }
                if (again.Chart->SeriesCount() != chart->SeriesCount())
                    faults += what + ": " + std::to_string(again.Chart->SeriesCount()) +
                              " series read of " + std::to_string(chart->SeriesCount()) + "\n";
                else if (ChartText(again.Chart) != written)
                    faults += what + ": written again differs\n";
            }
            adding += adds;
        }
    }
    EXPECT_EQ(faults, "");
    // The bar family's stacking and side styles add a series of their own.
    EXPECT_GE(adding, 5);
    EXPECT_GT(entries, 100);
    RecordProperty("Entries", entries);
    RecordProperty("Adding", adding);
}

} // namespace
