// Dragging a point, exploding a pie slice, the grid transpose, the page
// number, and every tool through a chart file with its references intact.
#include "chart/control/series_gantt.h"
#include "chart/control/teeseriestypes.h"
#include "chart/control/teestore.h"
#include "chart/control/tool_bands.h"
#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_series.h"
#include "platform/classes/streams.h"
#include "tools_fixture.h"

namespace {

TEST_F(ToolsTest, DragPointWithStyleYMovesOnlyVertically) {
    Series->Pointer()->SetVisible(true);
    auto* tool = new TDragPointTool(Chart.get());
    tool->SetSeries(Series);
    tool->SetDragStyle(dsY);
    Chart->Tools()->Add(tool);
    Paint();
    int dragged = -1;
    tool->OnDragPoint = [&](TDragPointTool*, int Index) { dragged = Index; };
    const int x = Series->CalcXPos(5), y = Series->CalcYPos(5);
    Drag(x, y, x + 30, Left()->CalcPosValue(80));
    EXPECT_EQ(dragged, 5);
    EXPECT_DOUBLE_EQ(Series->XValues()->Value(5), 5);
    EXPECT_DOUBLE_EQ(Series->YValues()->Value(5), Left()->CalcPosPoint(Left()->CalcPosValue(80)));
    EXPECT_FALSE(Chart->Zoomed());
}

TEST_F(ToolsTest, PieToolExplodesTheSliceUnderTheMouseAndPutsItBack) {
    Series->SetParentChart(nullptr);
    auto* pie = new TPieSeries(Chart.get());
    pie->SetParentChart(Chart.get());
    for (double v : {30.0, 30.0, 40.0})
        pie->Add(v);
    auto* tool = new TPieTool(Chart.get());
    tool->SetSeries(pie);
    tool->SetStyle(ptExplode);
    Chart->Tools()->Add(tool);
    Paint();
    int hit = -1, hx = 0, hy = 0;
    for (int y = 20; y < 280 && hit == -1; y += 4)
        for (int x = 20; x < 380 && hit == -1; x += 4)
            if (pie->Clicked(x, y) == 1) hit = 1, hx = x, hy = y;
    ASSERT_EQ(hit, 1);
    Move(hx, hy);
    EXPECT_EQ(tool->Slice(), 1);
    EXPECT_EQ((*pie->ExplodedSlice())[1], 40);
    Move(2, 2);
    EXPECT_EQ(tool->Slice(), -1);
    EXPECT_EQ((*pie->ExplodedSlice())[1], 0);
}

// Hovering each slice of a 2D pie 30/30/40 outlines that slice alone: its own arc and
// both its radii, nothing of the other slices.
TEST_F(ToolsTest, PieToolFocusOutlinesOnlyTheSliceUnderTheMouse) {
    Series->SetParentChart(nullptr);
    auto* pie = new TPieSeries(Chart.get());
    pie->SetParentChart(Chart.get());
    for (double v : {30.0, 30.0, 40.0})
        pie->Add(v);
    auto* tool = new TPieTool(Chart.get());
    tool->SetSeries(pie);
    tool->Pen()->SetColor(clBlue);
    Chart->Tools()->Add(tool);
    for (int slice = 0; slice < 3; ++slice) {
        SCOPED_TRACE(slice);
        Paint();
        const std::vector<TColor> before = Snapshot();
        const auto& a = pie->Angles();
        // Radius in parts of the pie's own (elliptic) radii.
        const double r = 1;
        const auto at = [&](double Angle, double Part) {
            const double edge = Part == r ? 1.5 : 0; // one pixel inside the arc's 4
            int x, y;
            pie->AngleToPos(Angle, pie->RadiusX() * Part - edge, pie->RadiusY() * Part - edge, x,
                            y);
            return TPoint{x, y};
        };
        // Any pixel changed within 3 of the point: the wide outline lies beside the boundary.
        const auto changed = [&](TPoint p) {
            for (int y = p.y - 3; y <= p.y + 3; ++y)
                for (int x = p.x - 3; x <= p.x + 3; ++x)
                    if (Window()->Pixels(x, y) != before[static_cast<size_t>(y * 400 + x)])
                        return true;
            return false;
        };
        const TPoint inside = at(a[slice].MidAngle, r / 2.0);
        ASSERT_EQ(pie->Clicked(inside.x, inside.y), slice);
        Move(inside.x, inside.y);
        ASSERT_EQ(tool->Slice(), slice);
        EXPECT_EQ(Window()->Pixels(at(a[slice].MidAngle, r).x, at(a[slice].MidAngle, r).y), clBlue);
        EXPECT_TRUE(changed(at(a[slice].StartAngle, r / 2.0))) << "start radius";
        EXPECT_TRUE(changed(at(a[slice].EndAngle, r / 2.0))) << "end radius";
        for (int other = 0; other < 3; ++other)
            if (other != slice)
                EXPECT_FALSE(changed(at(a[other].MidAngle, r))) << "arc of slice " << other;
        // The radius the two other slices share.
        EXPECT_FALSE(changed(at(a[(slice + 1) % 3].EndAngle, r / 2.0))) << "radius of others";
        Move(2, 2);
        EXPECT_EQ(tool->Slice(), -1);
    }
}

// Three bars on rows 0, 1 and 2 over a bottom axis fixed at 0..10.
class GanttToolTest : public ToolsTest {
protected:
    void SetUp() override {
        ToolsTest::SetUp();
        Series->SetParentChart(nullptr);
        Gantt = new TGanttSeries(Chart.get());
        Gantt->SetParentChart(Chart.get());
        Gantt->AddGantt(1, 5, 0);
        Gantt->AddGantt(2, 8, 1);
        Gantt->AddGantt(4, 6, 2);
        Bottom()->SetMinMax(0, 10);
        Tool = new TGanttTool(Chart.get());
        Tool->SetSeries(Gantt);
        Chart->Tools()->Add(Tool);
        Tool->OnResizeBar = [this](TGanttTool*, int Bar, TGanttToolBarPart Part) {
            Events.push_back(Bar * 10 + Part);
        };
        Tool->OnDragBar = [this](TGanttTool*, int Bar) { Events.push_back(Bar * 10 + 9); };
        Paint();
    }
    int X(double Value) { return Bottom()->CalcPosValue(Value); }
    int Row(int Bar) { return Gantt->CalcYPos(Bar); }
    TGanttSeries* Gantt = nullptr;
    TGanttTool* Tool = nullptr;
    std::vector<int> Events;
};

TEST_F(GanttToolTest, StartDraggedPastTheEndLeavesABarOfNoLength) {
    Drag(X(1) + 1, Row(0), X(7), Row(0));
    EXPECT_DOUBLE_EQ(Gantt->StartValues()->Value(0), 5);
    EXPECT_DOUBLE_EQ(Gantt->EndValues()->Value(0), 5);
    EXPECT_EQ(Events, std::vector<int>({0 * 10 + pbStart, 0 * 10 + pbStart}));
    EXPECT_FALSE(Chart->Zoomed());
}

TEST_F(GanttToolTest, EndDraggedBeforeTheStartStopsAtTheStart) {
    Drag(X(6) - 1, Row(2), X(1), Row(2));
    EXPECT_DOUBLE_EQ(Gantt->StartValues()->Value(2), 4);
    EXPECT_DOUBLE_EQ(Gantt->EndValues()->Value(2), 4);
    EXPECT_EQ(Events.back(), 2 * 10 + pbEnd);
}

TEST_F(GanttToolTest, BarGrabbedInTheMiddleMovesAsAWhole) {
    const double grabbed = Bottom()->CalcPosPoint(X(4.5));
    Drag(X(4.5), Row(1), X(6.5), Row(1) + 30);
    const double moved = Bottom()->CalcPosPoint(X(6.5)) - grabbed;
    EXPECT_NEAR(moved, 2, 0.1);
    EXPECT_NEAR(Gantt->StartValues()->Value(1), 2 + moved, 1e-9);
    EXPECT_NEAR(Gantt->EndValues()->Value(1), 8 + moved, 1e-9);
    EXPECT_DOUBLE_EQ(Gantt->YValues()->Value(1), 1); // the row stays
    EXPECT_EQ(Events.back(), 1 * 10 + 9);
    EXPECT_EQ(Tool->Bar(), -1);
    EXPECT_FALSE(Chart->Zoomed());
}

TEST_F(GanttToolTest, CursorShowsWhatAPressWouldGrab) {
    Move(X(6) + 2, Row(2));
    EXPECT_EQ(Chart->Cursor(), crSizeWE);
    Move(X(5), Row(2));
    EXPECT_EQ(Chart->Cursor(), crHandPoint);
    // Without resizing a bar end is only part of the bar.
    Tool->SetAllowResize(false);
    Tool->SetCursorDrag(crCross);
    Drag(X(4) + 1, Row(2), X(5) + 1, Row(2));
    EXPECT_NEAR(Gantt->EndValues()->Value(2) - Gantt->StartValues()->Value(2), 2, 1e-9);
    Move(X(6), Row(2));
    EXPECT_EQ(Chart->Cursor(), crCross);
}

TEST_F(ToolsTest, GridTransposeSwapsXAndZ) {
    auto* grid = new TGridStandIn(Chart.get());
    auto* tool = new TGridTransposeTool(Chart.get());
    tool->SetSeries(Series);
    EXPECT_EQ(tool->Series(), nullptr); // not a grid
    tool->SetSeries(grid);
    const double x[] = {1, 2, 3}, y[] = {10, 20, 30}, z[] = {7, 5, 9};
    for (int i = 0; i < 3; ++i)
        grid->AddGridXYZ(grid, x[i], y[i], z[i]);
    tool->Transpose();
    ASSERT_EQ(grid->Count(), 3);
    // The new X values (7, 5, 9) come back in ascending order with their points.
    const int order[] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(grid->XValues()->Value(i), z[order[i]]);
        EXPECT_DOUBLE_EQ(grid->YValues()->Value(i), y[order[i]]);
        EXPECT_DOUBLE_EQ(grid->Z->Value(i), x[order[i]]);
    }
    delete grid;
    EXPECT_EQ(tool->Series(), nullptr);
    tool->Transpose(); // nothing to do, nothing touched
}

TEST_F(ToolsTest, PageNumberShowsThePageOfPages) {
    for (int i = 11; i < 30; ++i)
        Series->AddXY(i, i);
    Chart->SetMaxPointsPerPage(10);
    Chart->SetPage(2);
    auto* tool = new TPageNumTool(Chart.get());
    tool->SetParentChart(Chart.get());
    EXPECT_EQ(tool->GetText(), "Page 2 of 3");
    EXPECT_FALSE(tool->IsFormatStored());
    EXPECT_EQ(TeePageNumToolClass, &TPageNumTool::ClassInfo);
}

TEST_F(ToolsTest, EveryToolSurvivesAChartFileWithItsReferences) {
    TeeStartRegistries();
    Series->SetName("Series1");
    const int registered = TeeToolTypes().Count();
    EXPECT_GE(registered, 18);
    for (int i = 0; i < registered; ++i) {
        auto* t = static_cast<TTeeCustomTool*>(TeeToolTypes()[i]->Factory(Chart.get()));
        t->SetName(AnsiString("Tool") + AnsiString(std::to_string(i).c_str()));
        if (auto* a = dynamic_cast<TTeeCustomToolAxis*>(t))
            a->SetAxis(Left());
        else
            t->SetParentChart(Chart.get());
        if (auto* s = dynamic_cast<TTeeCustomToolSeries*>(t)) s->SetSeries(Series);
        EXPECT_FALSE(t->Description().IsEmpty()) << t->ClassName();
    }
    auto* gantt = static_cast<TGanttTool*>(Chart->Tools()->Get(registered - 1));
    ASSERT_EQ(gantt->ClassType(), &TGanttTool::ClassInfo);
    gantt->SetMinPixels(9);
    gantt->SetAllowDrag(false);
    gantt->SetCursorResize(crTeeHand);
    auto* band = static_cast<TColorBandTool*>(Chart->Tools()->Get(5));
    band->SetStartValue(3);
    auto* lines = dynamic_cast<TDrawLineTool*>(Chart->Tools()->Get(3));
    ASSERT_NE(lines, nullptr);
    new TDrawLine(lines->Lines(), 1, 2, 3, 4);
    Paint();
    TMemoryStream m;
    SaveChartToStream(Chart.get(), &m);
    m.SetPosition(0);
    TCustomChart* loaded = new TChart(nullptr);
    LoadChartFromStream(loaded, &m);
    std::unique_ptr<TCustomChart> owner(loaded);
    ASSERT_EQ(loaded->Tools()->Count(), registered);
    for (int i = 0; i < registered; ++i) {
        TTeeCustomTool* t = loaded->Tools()->Get(i);
        EXPECT_EQ(t->ClassType(), TeeToolTypes()[i]) << i;
        if (auto* s = dynamic_cast<TTeeCustomToolSeries*>(t))
            EXPECT_EQ(s->Series(), loaded->GetSeries(0)) << t->ClassName().c_str();
        if (auto* a = dynamic_cast<TTeeCustomToolAxis*>(t))
            EXPECT_EQ(a->Axis(), loaded->LeftAxis()) << t->ClassName();
    }
    EXPECT_DOUBLE_EQ(static_cast<TColorBandTool*>(loaded->Tools()->Get(5))->StartValue(), 3);
    auto* g = static_cast<TGanttTool*>(loaded->Tools()->Get(registered - 1));
    EXPECT_EQ(g->MinPixels(), 9);
    EXPECT_FALSE(g->AllowDrag());
    EXPECT_EQ(g->CursorResize(), crTeeHand);
    EXPECT_EQ(g->CursorDrag(), crHandPoint);
    auto* l = static_cast<TDrawLineTool*>(loaded->Tools()->Get(3));
    ASSERT_EQ(l->Lines()->Count(), 1);
    EXPECT_DOUBLE_EQ(l->Lines()->Get(0)->Y1(), 4);
}

} // namespace
