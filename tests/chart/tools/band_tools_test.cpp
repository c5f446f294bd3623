// Colour bands, grid bands, the draggable colour line and mouse rotation.
#include "chart/control/tool_bands.h"
#include "tools_fixture.h"

namespace {

TEST_F(ToolsTest, ColorBandFillsBetweenItsValuesInEitherOrder) {
    auto* band = new TColorBandTool(Chart.get());
    band->SetAxis(Bottom());
    band->SetColor(clRed);
    band->SetStartValue(6);
    band->SetEndValue(4);
    Paint();
    const int y = Left()->CalcPosValue(95);
    EXPECT_EQ(Window()->Pixels(Bottom()->CalcPosValue(5), y), clRed);
    EXPECT_NE(Window()->Pixels(Bottom()->CalcPosValue(3), y), clRed);
    EXPECT_NE(Window()->Pixels(Bottom()->CalcPosValue(7), y), clRed);
    // Wholly above the axis maximum: nothing.
    band->SetStartValue(20);
    band->SetEndValue(30);
    Paint();
    EXPECT_NE(Window()->Pixels(Bottom()->IEndPos - 2, y), clRed);
}

TEST_F(ToolsTest, GridBandsAlternateAndAClearBandLeavesItsStripe) {
    auto* grid = new TGridBandTool(Chart.get());
    grid->SetAxis(Left());
    grid->Band1()->SetStyle(bsClear);
    grid->Band2()->SetColor(clBlue);
    Paint();
    const TAxisTicks& t = Left()->Tick;
    ASSERT_GE(t.size(), 3u);
    const int x = Bottom()->CalcPosValue(8.5);
    const int first = Window()->Pixels(x, (t[0] + t[1]) / 2) == clBlue;
    const int second = Window()->Pixels(x, (t[1] + t[2]) / 2) == clBlue;
    EXPECT_EQ(first + second, 1);
    grid->Band2()->SetStyle(bsClear);
    Paint();
    EXPECT_NE(Window()->Pixels(x, (t[0] + t[1]) / 2), clBlue);
    EXPECT_NE(Window()->Pixels(x, (t[1] + t[2]) / 2), clBlue);
}

TEST_F(ToolsTest, ColorLineIsDraggedAndStopsAtTheAxisLimit) {
    auto* line = new TColorLineTool(Chart.get());
    line->SetAxis(Bottom());
    line->SetStyle(clCenter);
    line->SetValue(2);
    line->SetStyle(clCenter);
    Paint();
    EXPECT_DOUBLE_EQ(line->CalcValue(), 5);
    const int p = Bottom()->CalcPosValue(5), y = Left()->CalcPosValue(50);
    int ends = 0;
    line->OnEndDragLine = [&](TColorLineTool*) { ++ends; };
    Drag(p + 2, y, Bottom()->CalcPosValue(7), y);
    EXPECT_EQ(line->Style(), clCustom);
    EXPECT_DOUBLE_EQ(line->Value(), Bottom()->CalcPosPoint(Bottom()->CalcPosValue(7)));
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(Chart->Zoomed());
    Paint();
    const int q = Bottom()->CalcPosValue(line->Value());
    Drag(q, y, Bottom()->IEndPos + 40, y);
    EXPECT_DOUBLE_EQ(line->Value(), Bottom()->CalcPosPoint(Bottom()->IEndPos));
}

TEST(RotateToolRules, RotationAndElevationChanges) {
    struct TRow {
        bool Elevation, Full;
        int Angle, Change, Expected;
    };
    const TRow rows[] = {
        {false, false, 80, 20, 90},   {false, false, 10, -20, 350}, {false, false, 300, -40, 270},
        {false, true, 10, -20, 0},    {false, false, 350, 20, 10},  {false, false, 45, 0, 45},
        {true, false, 280, -20, 270}, {true, false, 350, 20, 360},  {true, true, 10, -20, 0},
    };
    for (const TRow& r : rows) {
        const int got = r.Elevation ? TRotateTool::ElevationChange(r.Full, r.Angle, r.Change)
                                    : TRotateTool::RotationChange(r.Full, r.Angle, r.Change);
        EXPECT_EQ(got, r.Expected)
            << r.Elevation << " " << r.Full << " " << r.Angle << " " << r.Change;
    }
}

TEST_F(ToolsTest, RotateToolTurnsTheViewWithTheMouse) {
    auto* rotate = new TRotateTool(Chart.get());
    Chart->Tools()->Add(rotate);
    Chart->View3DOptions()->SetRotation(345);
    Chart->View3DOptions()->SetElevation(345);
    Paint();
    int rotations = 0;
    rotate->OnRotate = [&](TObject*) { ++rotations; };
    Down(200, 150);
    Move(220, 140); // dx = R(20 * 90 / 400) = 4, dy = R(10 * 90 / 300) = 3
    Up(220, 140);
    EXPECT_EQ(rotations, 1);
    EXPECT_TRUE(Chart->View3D());
    EXPECT_FALSE(Chart->View3DOptions()->Orthogonal());
    EXPECT_EQ(Chart->View3DOptions()->Rotation(), 349);
    EXPECT_EQ(Chart->View3DOptions()->Elevation(), 348);
    EXPECT_FALSE(Chart->Zoomed());
}

} // namespace
