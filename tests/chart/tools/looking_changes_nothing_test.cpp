// Mouse work that only looks at a chart (zooming and unzooming, panning back,
// hovering and dragging tools, rotating back) leaves the chart file as it was.
#include "chart/control/teestore.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "platform/classes/streams.h"
#include "tools_fixture.h"
#include <functional>
#include <string>

namespace {

std::string ChartText(TCustomChart* Chart) {
    TMemoryStream m;
    SaveChartToStream(Chart, &m, true, true);
    return std::string(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
}

class LookingTest;

struct TLook {
    const char* Name;
    std::function<void(LookingTest&)> Setup; // the tools looked through
    std::function<void(LookingTest&)> Look;
};

class LookingTest : public ToolsTest, public ::testing::WithParamInterface<TLook> {
public:
    template <typename T> T* Add() {
        auto* t = new T(Chart.get());
        t->SetParentChart(Chart.get());
        Chart->Tools()->Add(t);
        return t;
    }
    template <typename T> T* Tool() { return dynamic_cast<T*>(Chart->Tools()->Get(0)); }
    int X(int I) { return Series->CalcXPos(I); }
    int Y(int I) { return Series->CalcYPos(I); }
    TRect Plot() { return Chart->ChartRect(); }
    using ToolsTest::Chart;
    using ToolsTest::Down;
    using ToolsTest::Drag;
    using ToolsTest::Left;
    using ToolsTest::Move;
    using ToolsTest::Paint;
    using ToolsTest::Series;
    using ToolsTest::Up;
};

const TLook Looks[] = {
    {"ZoomAndUndo", nullptr,
     [](LookingTest& T) {
         const TRect r = T.Plot();
         T.Drag(r.Left + 40, r.Top + 30, r.Left + 200, r.Top + 150);
         T.Chart->UndoZoom();
     }},
    {"PanAndUndo", nullptr,
     [](LookingTest& T) {
         const TRect r = T.Plot();
         T.Down(r.Left + 100, r.Top + 100, mbRight);
         T.Move(r.Left + 150, r.Top + 120, mbRight);
         T.Up(r.Left + 150, r.Top + 120, mbRight);
         T.Chart->UndoZoom();
     }},
    {"CursorHoverAndDrag", [](LookingTest& T) { T.Add<TCursorTool>(); },
     [](LookingTest& T) {
         auto* c = T.Tool<TCursorTool>();
         T.Move(c->IXPosition + 1, T.Plot().Top + 40);
         T.Drag(c->IXPosition, T.Plot().Top + 40, c->IXPosition + 30, T.Plot().Top + 60);
         T.Move(T.Plot().Left + 3, T.Plot().Top + 3);
     }},
    {"NearestPoint", [](LookingTest& T) { T.Add<TNearestTool>()->SetSeries(T.Series); },
     [](LookingTest& T) {
         T.Move(T.X(4) + 2, T.Y(4) + 2);
         T.Paint();
     }},
    {"MarkTips",
     [](LookingTest& T) {
         T.Add<TMarksTipTool>();
         T.Series->Pointer()->SetVisible(true);
     },
     [](LookingTest& T) {
         T.Move(T.X(4), T.Y(4));
         T.Move(T.Plot().Left + 2, T.Plot().Top + 2);
     }},
    {"AnnotationHover",
     [](LookingTest& T) {
         auto* a = T.Add<TAnnotationTool>();
         a->SetText("Note");
         a->SetCursor(crHandPoint);
     },
     [](LookingTest& T) {
         const TRect b = T.Tool<TAnnotationTool>()->Shape()->ShapeBounds();
         T.Move(b.Left + 3, b.Top + 3);
     }},
    {"DragMarksHover",
     [](LookingTest& T) {
         T.Add<TDragMarksTool>();
         T.Series->Marks()->SetVisible(true);
     },
     [](LookingTest& T) {
         const TRect m = T.Series->Marks()->Positions()->Get(4)->Bounds();
         T.Move((m.Left + m.Right) / 2, (m.Top + m.Bottom) / 2);
     }},
    {"ColorLineHover",
     [](LookingTest& T) {
         auto* l = T.Add<TColorLineTool>();
         l->SetAxis(T.Left());
         l->SetValue(50);
     },
     [](LookingTest& T) { T.Move(T.Plot().Left + 50, T.Left()->CalcPosValue(50)); }},
    {"RotateAndBack", [](LookingTest& T) { T.Add<TRotateTool>(); },
     [](LookingTest& T) {
         TView3DOptions* v = T.Chart->View3DOptions();
         const int rotation = v->Rotation(), elevation = v->Elevation();
         const bool orthogonal = v->Orthogonal();
         T.Drag(200, 150, 230, 160);
         v->SetRotation(rotation);
         v->SetElevation(elevation);
         v->SetOrthogonal(orthogonal);
         T.Chart->SetView3D(false);
     }},
};

TEST_P(LookingTest, ChartFileStaysTheSame) {
    Chart->SetName("Chart1");
    Series->SetName("Series1");
    if (GetParam().Setup) GetParam().Setup(*this);
    Paint();
    const std::string before = ChartText(Chart.get());
    GetParam().Look(*this);
    Paint();
    EXPECT_EQ(ChartText(Chart.get()), before);
}

INSTANTIATE_TEST_SUITE_P(Looks, LookingTest, ::testing::ValuesIn(Looks),
                         [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
