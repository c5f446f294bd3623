// The events the chart library's classes publish, and events in chart files:
// a handler of the chart's form is stored by its name and bound to the form
// the chart is read into; a name that form lacks is a read error.
#include "chart/control/series.h"
#include "chart/control/series_gantt.h"
#include "chart/control/teecommander.h"
#include "chart/control/teedraw3d.h"
#include "chart/control/teeedit.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "chart/control/tool_series.h"
#include "chart/editor/teegallerypanel.h"
#include "chart/editor/teegrid.h"
#include "chart/editor/teelisb.h"
#include "chart/editor/teepreviewpanel.h"
#include "chart/series/imagebar.h"
#include "chart/series/teepoin3.h"
#include "chart/series/teepolar.h"
#include "chart/series/teerose.h"
#include "chart/series/teesurfa.h"
#include "platform/classes/props.h"
#include "platform/classes/streams.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class TEventsForm : public TComponent {
    QM_CLASS(TEventsForm)
public:
    using TComponent::TComponent;
    void ChartAfterDraw(TObject* Sender) { Drawn.push_back(Sender); }
    void LineBeforeDraw(TChartSeries* Sender) { Drawn.push_back(Sender); }
    std::vector<TObject*> Drawn;
};

} // namespace

QM_CLASS_OWNED(TEventsForm, TComponent, TComponent)
QM_PUBLISHED_METHODS(TEventsForm, Method("ChartAfterDraw", &Self::ChartAfterDraw),
                     Method("LineBeforeDraw", &Self::LineBeforeDraw));

namespace {

TEST(PublishedEvents, EveryClassPublishesItsEvents) {
    const std::vector<const char*> series = {
        "AfterDrawValues", "BeforeDrawValues", "OnAfterAdd",    "OnBeforeAdd",  "OnClearValues",
        "OnClick",         "OnDblClick",       "OnGetMarkText", "OnMouseEnter", "OnMouseLeave"};
    const std::vector<const char*> control = {
        "OnClick",      "OnDblClick",       "OnMouseDown",    "OnMouseMove", "OnMouseUp",
        "OnMouseWheel", "OnMouseWheelDown", "OnMouseWheelUp", "OnResize",    "OnAfterDraw"};
    const struct {
        TClass Class;
        std::vector<const char*> Events;
    } cases[] = {
        {&TLineSeries::ClassInfo, series},
        {&TLineSeries::ClassInfo, {"OnClickPointer", "OnGetPointerStyle"}},
        {&TPointSeries::ClassInfo, {"OnClickPointer"}},
        {&TAreaSeries::ClassInfo, {"OnClickPointer"}},
        {&TGanttSeries::ClassInfo, {"OnClickPointer"}},
        {&TPieSeries::ClassInfo, series},
        {&TImagePointSeries::ClassInfo, {"OnGetImage"}},
        {&TContourSeries::ClassInfo,
         {"OnGetColor", "OnGetYValue", "OnBeforeDrawLevel", "OnGetLevel"}},
        {&TPoint3DSeries::ClassInfo, {"OnClickPointer", "OnGetPointerStyle"}},
        {&TPolarSeries::ClassInfo, {"OnGetPointerStyle"}},
        {&TClockSeries::ClassInfo, {"OnGetTime"}},
        {&TChart::ClassInfo,
         {"OnAllowScroll", "OnClickAxis", "OnClickBackground", "OnClickLegend", "OnClickSeries",
          "OnClickTitle", "OnGetLegendPos", "OnGetLegendRect", "OnGetLegendText", "OnScroll",
          "OnUndoZoom", "OnZoom", "OnAfterDraw", "OnBeforeDrawAxes", "OnBeforeDrawChart",
          "OnBeforeDrawSeries", "OnGetAxisLabel", "OnGetNextAxisLabel", "OnPageChange"}},
        {&TChart::ClassInfo, control},
        {&TTeePreviewPanel::ClassInfo, control},
        {&TTeePreviewPanel::ClassInfo, {"OnChangeMargins"}},
        {&TChartGrid::ClassInfo, {"OnSetEditText"}},
        {&TDraw3D::ClassInfo, {"OnAfterDraw", "OnPaint"}},
        {&TTeeCommander::ClassInfo, {"OnEditedChart", "OnSetLabel"}},
        {&TChartEditor::ClassInfo, {"OnClose", "OnShow"}},
        {&TChartPreviewer::ClassInfo, {"OnClose", "OnShow", "OnAfterDraw"}},
        {&TChartGalleryPanel::ClassInfo, {"OnSelectedChart", "OnChangeChart", "OnSubSelected"}},
        {&TChartListBox::ClassInfo,
         {"OnChangeColor", "OnChangeOrder", "OnDblClickSeries", "OnOtherItemsChange", "OnRefresh",
          "OnRemovedSeries"}},
        {&TAxisArrowTool::ClassInfo, {"OnClick"}},
        {&TDrawLineTool::ClassInfo,
         {"OnDraggedLine", "OnDragLine", "OnNewLine", "OnSelect", "OnSelecting"}},
        {&TNearestTool::ClassInfo, {"OnChange"}},
        {&TMarksTipTool::ClassInfo, {"OnGetText"}},
        {&TAnnotationTool::ClassInfo, {"OnClick"}},
        {&TSeriesAnimationTool::ClassInfo, {"OnStep"}},
        {&TColorLineTool::ClassInfo, {"OnDragLine", "OnEndDragLine"}},
        {&TRotateTool::ClassInfo, {"OnRotate"}},
        {&TDragPointTool::ClassInfo, {"OnDragPoint"}},
        {&TGanttTool::ClassInfo, {"OnDragBar", "OnResizeBar"}},
        {&TCursorTool::ClassInfo, {"OnChange"}},
    };
    for (const auto& c : cases)
        for (const char* name : c.Events) {
            const TPropInfo* p = GetPropInfo(c.Class, name);
            ASSERT_NE(p, nullptr) << c.Class->Name << "." << name;
            EXPECT_EQ(p->Kind, TPropKind::Method) << c.Class->Name << "." << name;
        }
    // An event kept for the library's own use stays unpublished.
    EXPECT_EQ(GetPropInfo(&TCursorTool::ClassInfo, "OnGetAxisRect"), nullptr);
}

// A chart on a form, its line series' and its own drawing events handled by the form.
struct TFormChart {
    explicit TFormChart(bool Bound) {
        Chart->SetName("Chart1");
        Line->SetName("Series1");
        Line->SetParentChart(Chart);
        Line->AddXY(1, 2);
        if (!Bound) return;
        GetPropInfo(Chart->ClassType(), "OnAfterDraw")
            ->SetMethod(Chart, MethodOf(&Form, "ChartAfterDraw"));
        GetPropInfo(Line->ClassType(), "BeforeDrawValues")
            ->SetMethod(Line, MethodOf(&Form, "LineBeforeDraw"));
    }
    TEventsForm Form{nullptr};
    TChart* Chart = new TChart(&Form);
    TLineSeries* Line = new TLineSeries(&Form);
};

std::string SaveChart(TCustomChart* Chart, bool Text) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, Text);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

void LoadChart(TCustomChart* Chart, const std::string& Data, TProcTeeCheckError Check = nullptr) {
    TMemoryStream m;
    m.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
    m.SetPosition(0);
    LoadChartFromStreamCheck(Chart, &m, Check);
}

TEST(PublishedEvents, AChartFileNamesTheFormsHandlersAndTheNextFormHandlesThem) {
    TFormChart saved(true);
    const std::string text = SaveChart(saved.Chart, true);
    EXPECT_NE(text.find("OnAfterDraw = ChartAfterDraw"), std::string::npos) << text;
    EXPECT_NE(text.find("BeforeDrawValues = LineBeforeDraw"), std::string::npos) << text;
    for (bool asText : {false, true}) {
        TFormChart loaded(false);
        LoadChart(loaded.Chart, SaveChart(saved.Chart, asText));
        ASSERT_EQ(loaded.Chart->SeriesCount(), 1);
        TChartSeries* line = loaded.Chart->GetSeries(0);
        ASSERT_TRUE(loaded.Chart->OnAfterDraw && line->BeforeDrawValues);
        loaded.Chart->OnAfterDraw(loaded.Chart);
        line->BeforeDrawValues(line);
        EXPECT_EQ(loaded.Form.Drawn, (std::vector<TObject*>{loaded.Chart, line}));
        EXPECT_TRUE(saved.Form.Drawn.empty());
        EXPECT_EQ(SaveChart(loaded.Chart, asText), SaveChart(saved.Chart, asText));
    }
}

TEST(PublishedEvents, AHandlerTheFormLacksIsSkippedOrReported) {
    TFormChart saved(true);
    std::string text = SaveChart(saved.Chart, true);
    text.replace(text.find("= ChartAfterDraw"), 16, "= Missing");
    {
        TFormChart loaded(false);
        LoadChart(loaded.Chart, text);
        EXPECT_FALSE(loaded.Chart->OnAfterDraw);
        ASSERT_EQ(loaded.Chart->SeriesCount(), 1);
        EXPECT_TRUE(loaded.Chart->GetSeries(0)->BeforeDrawValues);
    }
    TFormChart loaded(false);
    std::vector<std::string> reported;
    LoadChart(loaded.Chart, text, [&](const AnsiString& m) {
        reported.push_back(m.str());
        return true;
    });
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("OnAfterDraw: Method Missing not found"), std::string::npos)
        << reported[0];
    EXPECT_TRUE(loaded.Chart->GetSeries(0)->BeforeDrawValues);
}

} // namespace
