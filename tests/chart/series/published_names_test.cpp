// What each class of the chart library publishes, by name: every property and
// event of the tables in published_names/ is found in the class's property
// information, of the right kind, with the listed default.
#include "chart/control/series.h"
#include "chart/control/teecommander.h"
#include "chart/control/teedraw3d.h"
#include "chart/control/teeedit.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/tool_drag.h"
#include "chart/engine/teemarks.h"
#include "chart/editor/teegallerypanel.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teepreviewpanel.h"
#include "chart/engine/teecontrols.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teemapseries.h"
#include "chart/series/teesurfa.h"
#include "support/published_names.h"
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const TNameRow NameRows[] = {
#include "published_names/panel_canvas.inc"
#include "published_names/axes_series_base.inc"
#include "published_names/chart_standard.inc"
#include "published_names/tools_commander.inc"
#include "published_names/series_3d_financial.inc"
#include "published_names/series_polar_editor.inc"
#include "published_names/editor_dialogs.inc"
#include "published_names/listed_properties.inc"
};

// Every registered series, function and tool in one chart, the library's
// components, and the objects they make only on demand: a point's mark, an
// axis label, a drawn line, a contour level, a map polygon.
class TChartCensus : public TObjectCensus {
public:
    TChartCensus() {
        TeeExtraSeriesStartup();
        FChart = std::make_unique<TChart>(nullptr);
        TChart* c = FChart.get();
        CreateNewSeries(c, c, &TSurfaceSeries::ClassInfo)->SetName("Grid");
        std::set<TClass> done;
        for (int i = 0; i < TeeSeriesTypes().Count(); ++i) {
            TTeeSeriesType* t = TeeSeriesTypes().Get(i);
            TClass sc = t->SeriesClass ? t->SeriesClass : &TLineSeries::ClassInfo;
            if (!done.insert(t->FunctionClass ? t->FunctionClass : sc).second) continue;
            CreateNewSeries(c, c, sc, t->FunctionClass);
        }
        for (int i = 0; i < TeeToolTypes().Count(); ++i) {
            auto* tool = static_cast<TTeeCustomTool*>(TeeToolTypes().Get(i)->Factory(c));
            tool->SetParentChart(c);
        }
        for (TClass cc :
             {&TDraw3D::ClassInfo, &TTeeCommander::ClassInfo, &TChartEditor::ClassInfo,
              &TChartPreviewer::ClassInfo, &TChartEditorPanel::ClassInfo,
              &TTeePreviewPanel::ClassInfo, &TChartGrid::ClassInfo, &TChartListBox::ClassInfo,
              &TChartGalleryPanel::ClassInfo, &TComboFlat::ClassInfo, &TButtonColor::ClassInfo})
            FOwned.emplace_back(cc->Factory(nullptr));
        Walk(c);
        Walk(c->LeftAxis()->Items()->Add(1, "label"));
        for (int i = 0; i < c->SeriesCount(); ++i) {
            TChartSeries* s = c->GetSeries(i);
            Walk(s);
            Walk(s->FunctionType());
            Walk(s->Marks()->Items()->Get(0));
            if (auto* contour = dynamic_cast<TContourSeries*>(s))
                Walk(contour->Levels()->AddLevel());
            if (auto* map = dynamic_cast<TMapSeries*>(s)) Walk(map->Shapes()->Add());
        }
        for (int i = 0; i < c->Tools()->Count(); ++i) {
            Walk(c->Tools()->Get(i));
            if (auto* draw = dynamic_cast<TDrawLineTool*>(c->Tools()->Get(i)))
                Walk(new TDrawLine(draw->Lines(), 0, 0, 1, 1));
        }
        for (const auto& o : FOwned)
            Walk(o.get());
    }

private:
    std::unique_ptr<TChart> FChart;
    std::vector<std::unique_ptr<TObject>> FOwned;
};

TEST(PublishedNames, EveryListedPropertyAndEventIsPublishedWithItsDefault) {
    EXPECT_EQ(CheckPublishedNames(TChartCensus(), NameRows), "");
}

} // namespace
