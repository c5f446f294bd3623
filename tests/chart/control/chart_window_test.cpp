// The chart's window on its form: outside a rounded border and behind a
// transparent chart the form's own colour is what the screen shows.
#include "chart/control/chart.h"
#include "chart/control/series.h"
#include "platform/forms/forms.h"
#include "platform/forms/testhooks.h"
#include <gtest/gtest.h>

namespace {
constexpr TColor FormColour = static_cast<TColor>(0x00308040);

class ChartWindowTest : public ::testing::Test {
protected:
    ChartWindowTest() {
        Form.SetColor(FormColour);
        Form.SetBounds(0, 0, 300, 240);
        Chart = new TChart(&Form);
        Chart->SetParent(&Form);
        Chart->SetBounds(20, 30, 200, 150);
        Chart->SetColor(clYellow);
        Chart->SetBevelOuter(bvNone);
        Chart->Legend()->SetVisible(false);
        Chart->Title()->SetVisible(false);
        Chart->SetView3D(false);
        Chart->SetAxisVisible(false);
        Chart->BackWall()->Pen()->SetVisible(false);
        auto* s = new TLineSeries(&Form);
        s->SetParentChart(Chart);
        s->SetSeriesColor(clBlue);
        s->AddXY(0, 0);
        s->AddXY(1, 1);
        Form.Show();
    }

    // What the form shows at a point of the chart.
    TColor Shown(int X, int Y) {
        GrabControl(&Form, &Face);
        return Face.Canvas()->Pixels(Chart->Left() + X, Chart->Top() + Y);
    }

    TForm Form{nullptr};
    TChart* Chart;
    TBitmap Face;
};
} // namespace

TEST_F(ChartWindowTest, RoundedBorderShowsTheFormOutsideItsCorners) {
    EXPECT_EQ(Shown(0, 0), clYellow);
    Chart->SetBorderRound(40);
    // Each corner outside the rounding shows the form; the edges' middles stay the chart's.
    for (auto [x, y] : {std::pair{0, 0}, {199, 0}, {0, 149}, {199, 149}, {3, 3}, {196, 146}})
        EXPECT_EQ(Shown(x, y), FormColour) << x << "," << y;
    for (auto [x, y] : {std::pair{100, 0}, {0, 75}, {199, 75}, {100, 149}, {12, 12}})
        EXPECT_EQ(Shown(x, y), clYellow) << x << "," << y;

    // The outline follows a resize and goes with BorderRound 0.
    Chart->SetBounds(20, 30, 260, 180);
    EXPECT_EQ(Shown(259, 179), FormColour);
    EXPECT_EQ(Shown(199, 149), clYellow);
    Chart->SetBorderRound(0);
    EXPECT_EQ(Shown(259, 179), clYellow);
}

TEST_F(ChartWindowTest, TransparentChartShowsTheFormBehindItButKeepsItsDrawing) {
    Chart->SetColor(clNone);
    Chart->BackWall()->SetTransparent(true);
    Chart->BottomAxis()->SetMinMax(0, 1);
    Chart->LeftAxis()->SetMinMax(0, 1);
    EXPECT_EQ(Shown(2, 2), FormColour);
    EXPECT_EQ(Shown(150, 30), FormColour);
    // The line still shows over the form: its middle lies at the plotting area's centre.
    const int cx = (Chart->ChartRect().Left + Chart->ChartRect().Right) / 2;
    const int cy = (Chart->ChartRect().Top + Chart->ChartRect().Bottom) / 2;
    int blue = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            blue += Shown(cx + dx, cy + dy) == clBlue;
    EXPECT_GT(blue, 0);

    // A picture of the transparent chart never holds the window's see-through colour.
    TBitmap picture(200, 150);
    picture.Canvas()->Brush()->SetColor(clWhite);
    picture.Canvas()->FillRect(TRect(0, 0, 200, 150));
    Chart->Draw(picture.Canvas(), TRect(0, 0, 200, 150));
    EXPECT_EQ(picture.Canvas()->Pixels(2, 2), clWhite);

    Chart->SetColor(clYellow);
    EXPECT_EQ(Shown(2, 2), clYellow);
}

TEST_F(ChartWindowTest, WindowShowsExactlyThePictureOfTheChart) {
    // Axes with dashed grids, rotated titles, legend and caption, flat and in 3D.
    Chart->SetAxisVisible(true);
    Chart->Legend()->SetVisible(true);
    Chart->Title()->SetVisible(true);
    Chart->LeftAxis()->Title()->SetCaption("Volts");
    Chart->LeftAxis()->Grid()->SetStyle(psDash);
    Chart->BottomAxis()->Grid()->SetStyle(psDot);
    Chart->BackWall()->Pen()->SetVisible(true);
    for (const bool in3D : {false, true}) {
        Chart->SetView3D(in3D);
        GrabControl(&Form, &Face);
        TBitmap picture(Chart->Width(), Chart->Height());
        Chart->Draw(picture.Canvas(), TRect(0, 0, Chart->Width(), Chart->Height()));
        int differ = 0;
        for (int y = 0; y < Chart->Height(); ++y)
            for (int x = 0; x < Chart->Width(); ++x)
                differ += Face.Canvas()->Pixels(Chart->Left() + x, Chart->Top() + y) !=
                          picture.Canvas()->Pixels(x, y);
        EXPECT_EQ(differ, 0) << (in3D ? "3D" : "flat");
    }
}
