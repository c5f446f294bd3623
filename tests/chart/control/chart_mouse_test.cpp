// The chart under the forms layer's mouse and wheel: zoom and pan drags, the
// minimum drag, undo by axis, the wheel, and clicks on each part of the chart.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "platform/forms/testhooks.h"
#include <cmath>
#include <gtest/gtest.h>

namespace {

class ChartMouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        Chart = std::make_unique<TChart>();
        Chart->SetBevelOuter(bvNone);
        Chart->SetView3D(false);
        Chart->SetBounds(0, 0, 400, 300);
        Chart->Title()->SetCaption("Title");
        Series = new TLineSeries(Chart.get());
        Series->SetParentChart(Chart.get());
        for (int i = 0; i <= 10; ++i)
            Series->AddXY(i, i * 10);
        Draw();
    }
    void Draw() {
        Picture = std::make_unique<TBitmap>(400, 300);
        Chart->Draw(Picture->Canvas(), TRect(0, 0, 400, 300));
    }
    void Drag(TMouseButton B, int X0, int Y0, int X1, int Y1) {
        SimulateMouse(Chart.get(), TMouseAction::Down, B, X0, Y0);
        SimulateMouse(Chart.get(), TMouseAction::Move, B, (X0 + X1) / 2, (Y0 + Y1) / 2);
        SimulateMouse(Chart.get(), TMouseAction::Move, B, X1, Y1);
        SimulateMouse(Chart.get(), TMouseAction::Up, B, X1, Y1);
    }
    TChartAxis* Bottom() { return Chart->BottomAxis(); }
    TChartAxis* Left() { return Chart->LeftAxis(); }

    std::unique_ptr<TChart> Chart;
    TLineSeries* Series = nullptr;
    std::unique_ptr<TBitmap> Picture;
};

TEST_F(ChartMouseTest, ZoomDragSetsTheAxesToTheRectangleAndUndoRestoresThem) {
    const TRect r = Chart->ChartRect();
    const int x0 = r.Left + 40, y0 = r.Top + 30, x1 = r.Left + 140, y1 = r.Top + 120;
    const double bMin = Bottom()->CalcPosPoint(x0), bMax = Bottom()->CalcPosPoint(x1);
    const double lMin = Left()->CalcPosPoint(y1), lMax = Left()->CalcPosPoint(y0);
    int zooms = 0, undos = 0;
    Chart->OnZoom = [&](TObject*) { ++zooms; };
    Chart->OnUndoZoom = [&](TObject*) { ++undos; };
    Drag(mbLeft, x0, y0, x1, y1);
    EXPECT_EQ(zooms, 1);
    EXPECT_TRUE(Chart->Zoomed());
    EXPECT_DOUBLE_EQ(Bottom()->Minimum(), bMin);
    EXPECT_DOUBLE_EQ(Bottom()->Maximum(), bMax);
    EXPECT_DOUBLE_EQ(Left()->Minimum(), lMin);
    EXPECT_DOUBLE_EQ(Left()->Maximum(), lMax);
    EXPECT_FALSE(Bottom()->Automatic());

    Draw();
    Drag(mbLeft, x1, y1, x0, y0); // up and left: undo
    EXPECT_EQ(undos, 1);
    EXPECT_FALSE(Chart->Zoomed());
    EXPECT_TRUE(Bottom()->Automatic());
    EXPECT_TRUE(Left()->Automatic());
}

TEST_F(ChartMouseTest, DragsOfAtMostTheMinimumPixelsNeitherZoomNorUndo) {
    const TRect r = Chart->ChartRect();
    int events = 0;
    Chart->OnZoom = [&](TObject*) { ++events; };
    Chart->OnUndoZoom = [&](TObject*) { ++events; };
    const int m = Chart->Zoom()->MinimumPixels();
    Drag(mbLeft, r.Left + 20, r.Top + 20, r.Left + 20 + m, r.Top + 120);
    Drag(mbLeft, r.Left + 20, r.Top + 20, r.Left + 120, r.Top + 20 + m);
    Drag(mbLeft, r.Left + 120, r.Top + 120, r.Left + 120 - m, r.Top + 20);
    EXPECT_EQ(events, 0);
    EXPECT_TRUE(Bottom()->Automatic());
}

TEST_F(ChartMouseTest, RightDragPansWhereAllowedAndTheWheelScrollsThreePercent) {
    const TRect r = Chart->ChartRect();
    const double bMin = Bottom()->Minimum(), bMax = Bottom()->Maximum();
    const double lMin = Left()->Minimum();
    const double step = Bottom()->CalcPosPoint(r.Left + 50) - Bottom()->CalcPosPoint(r.Left + 100);
    Chart->OnAllowScroll = [&](TChartAxis* A, double&, double&, bool& Allow) {
        Allow = A != Left();
    };
    int scrolls = 0;
    Chart->OnScroll = [&](TObject*) { ++scrolls; };
    SimulateMouse(Chart.get(), TMouseAction::Down, mbRight, r.Left + 100, r.Top + 50);
    SimulateMouse(Chart.get(), TMouseAction::Move, mbRight, r.Left + 50, r.Top + 90);
    SimulateMouse(Chart.get(), TMouseAction::Up, mbRight, r.Left + 50, r.Top + 90);
    EXPECT_EQ(scrolls, 1);
    EXPECT_NEAR(Bottom()->Minimum(), bMin - step, 1e-9); // the data follow the mouse
    EXPECT_NEAR(Bottom()->Maximum(), bMax - step, 1e-9);
    EXPECT_DOUBLE_EQ(Left()->Minimum(), lMin);

    Chart->UndoZoom();
    EXPECT_TRUE(Bottom()->Automatic());
    Left()->SetMinMax(0, 100);
    SimulateWheel(Chart.get(), -120, r.Left + 10, r.Top + 10);
    EXPECT_DOUBLE_EQ(Left()->Minimum(), -3);
    EXPECT_DOUBLE_EQ(Left()->Maximum(), 97);
}

// Each axis zooms from its current range, fixed or automatic; a percentage
// that would empty or invert the ranges changes nothing.
TEST_F(ChartMouseTest, ZoomPercentStartsFromEachAxisRange) {
    Left()->SetMinMax(0, 100);
    int zooms = 0;
    Chart->OnZoom = [&](TObject*) { ++zooms; };
    Chart->ZoomPercent(110);
    EXPECT_EQ(zooms, 1);
    EXPECT_DOUBLE_EQ(Left()->Minimum(), 10);
    EXPECT_DOUBLE_EQ(Left()->Maximum(), 90);
    EXPECT_DOUBLE_EQ(Bottom()->Minimum(), 1);
    EXPECT_DOUBLE_EQ(Bottom()->Maximum(), 9);
    for (double percent : {150.0, 200.0, 1e300, std::nan("")}) {
        Chart->ZoomPercent(percent);
        EXPECT_EQ(zooms, 1) << percent;
        EXPECT_DOUBLE_EQ(Left()->Minimum(), 10) << percent;
        EXPECT_DOUBLE_EQ(Left()->Maximum(), 90) << percent;
        EXPECT_DOUBLE_EQ(Bottom()->Maximum(), 9) << percent;
    }
    Chart->UndoZoom();
    EXPECT_DOUBLE_EQ(Left()->Maximum(), 100);
    EXPECT_TRUE(Bottom()->Automatic());
}

// Axes added or removed after a zoom never get another axis' saved scale.
TEST_F(ChartMouseTest, UndoRestoresScalesByAxisNotByListPosition) {
    auto* a = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    auto* b = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    a->SetMinMax(0, 10);
    b->SetMinMax(100, 200);
    Chart->ZoomPercent(120);
    delete a;
    b->SetMinMax(300, 400);
    Chart->UndoZoom();
    EXPECT_DOUBLE_EQ(b->Minimum(), 100);
    EXPECT_DOUBLE_EQ(b->Maximum(), 200);
}

TEST_F(ChartMouseTest, ClicksReachTheTitleLegendSeriesPointAndAxis) {
    std::vector<std::string> got;
    Chart->OnClickTitle = [&](TCustomChart*, TChartTitle* T, TMouseButton, TShiftState, int, int) {
        got.push_back(T == Chart->Title() ? "title" : "other title");
    };
    Chart->OnClickLegend = [&](TCustomChart*, TMouseButton, TShiftState, int, int) {
        got.push_back("legend");
    };
    Chart->OnClickAxis = [&](TCustomChart*, TChartAxis* A, TMouseButton, TShiftState, int, int) {
        got.push_back(A == Left() ? "left axis" : "axis");
    };
    Series->OnClick = [&](TChartSeries*, int Index, TMouseButton, TShiftState, int, int) {
        got.push_back("point " + std::to_string(Index));
    };
    const TRect title = Chart->Title()->ShapeBounds();
    SimulateClick(Chart.get(), (title.Left + title.Right) / 2, (title.Top + title.Bottom) / 2);
    const TRect legend = Chart->Legend()->ShapeBounds();
    SimulateClick(Chart.get(), (legend.Left + legend.Right) / 2, legend.Top + 5);
    SimulateClick(Chart.get(), Series->CalcXPos(4), Series->CalcYPos(4));
    SimulateClick(Chart.get(), Left()->PosAxis - 2,
                  (Chart->ChartRect().Top + Chart->ChartRect().Bottom) / 2);
    EXPECT_EQ(got, (std::vector<std::string>{"title", "legend", "point 4", "left axis"}));
}

} // namespace

namespace {
// Each axis gets back exactly what it had before the first zoom: its range and
// its three automatic switches, even after the axis list changed in between.
TEST_F(ChartMouseTest, UndoGivesEveryAxisItsOwnRangeAndAutomaticSwitches) {
    Left()->SetMinMax(0, 50);
    Chart->RightAxis()->SetMinMax(5, 9);
    Chart->RightAxis()->SetAutomaticMaximum(true);
    auto* a = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    auto* b = static_cast<TChartAxis*>(Chart->CustomAxes()->Add());
    a->SetMinMax(0, 10);
    b->SetMinMax(100, 200);
    ASSERT_TRUE(Bottom()->Automatic());
    Draw();
    const TRect r = Chart->ChartRect();
    Drag(mbLeft, r.Left + 40, r.Top + 30, r.Right - 40, r.Bottom - 30);
    ASSERT_FALSE(Bottom()->Automatic());
    delete a;
    b->SetMinMax(300, 400);
    Left()->SetMinMax(7, 8);
    Chart->RightAxis()->SetAutomaticMinimum(true);
    Drag(mbLeft, r.Left + 50, r.Top + 40, r.Right - 50, r.Bottom - 40); // keeps the first save
    Chart->UndoZoom();
    EXPECT_FALSE(Left()->Automatic());
    EXPECT_DOUBLE_EQ(Left()->Minimum(), 0);
    EXPECT_DOUBLE_EQ(Left()->Maximum(), 50);
    EXPECT_TRUE(Bottom()->Automatic());
    EXPECT_FALSE(Chart->RightAxis()->AutomaticMinimum());
    EXPECT_TRUE(Chart->RightAxis()->AutomaticMaximum());
    EXPECT_DOUBLE_EQ(b->Minimum(), 100);
    EXPECT_DOUBLE_EQ(b->Maximum(), 200);
    EXPECT_TRUE(Chart->RestoredAxisScales());
}
} // namespace
