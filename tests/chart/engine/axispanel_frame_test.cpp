#include "axis_fixture.h"

// One whole frame drawn for real into a bitmap.
class AxisPanelFrameTest : public AxisPanelTest {
protected:
    AxisPanelFrameTest() {
        S = AddSeries();
        S->SetSeriesColor(clRed);
        for (int i = 0; i <= 20; ++i)
            S->AddXY(i * 5, i % 2 ? 100 : 10 + i * 2);
        // Part of the line lies above the fixed range and must be clipped.
        Chart->LeftAxis()->SetMinMax(0, 80);
        Chart->LeftAxis()->Grid()->SetStyle(psSolid);
        Chart->LeftAxis()->Grid()->SetColor(clBlue);
        Chart->BottomAxis()->Grid()->SetVisible(false);
    }

    TColor Pixel(int X, int Y) { return Target->Canvas()->Pixels(X, Y); }

    TAxisTestSeries* S;
};

TEST_F(AxisPanelFrameTest, SeriesPixelsAtTheirComputedPositions) {
    DrawFrame();
    TChartAxis* h = Chart->BottomAxis();
    TChartAxis* v = Chart->LeftAxis();
    EXPECT_EQ(S->FirstVisibleIndex(), 0);
    EXPECT_EQ(S->LastVisibleIndex(), 20);
    int checked = 0;
    for (int i = 0; i < S->Count() - 1; ++i) {
        const double y = S->YValues()->Value(i);
        if (y > 80) continue;
        const int px = h->CalcXPosValue(S->XValues()->Value(i));
        const int py = v->CalcYPosValue(y);
        // The left edge belongs to the axis line (series are clipped inside it).
        if (px <= Chart->ChartRect().Left) continue;
        EXPECT_EQ(Pixel(px, py), clRed) << "point " << i << " at " << px << "," << py;
        ++checked;
    }
    EXPECT_EQ(checked, 9);
    // The axes reserved room for their labels and ticks.
    const TRect r = Chart->ChartRect();
    EXPECT_GT(r.Left, 10);
    EXPECT_LT(r.Bottom, 470);
    EXPECT_EQ(h->IStartPos, r.Left);
    EXPECT_EQ(v->IEndPos, r.Bottom);
}

TEST_F(AxisPanelFrameTest, GridAtTheTickPositions) {
    DrawFrame();
    const TRect r = Chart->ChartRect();
    TChartAxis* v = Chart->LeftAxis();
    ASSERT_GE(v->Tick.size(), 3u);
    int lines = 0;
    for (int t : v->Tick) {
        if (t <= v->IStartPos || t >= v->IEndPos) continue;
        int blue = 0;
        for (int x = r.Left + 1; x < r.Right; ++x)
            if (Pixel(x, t) == clBlue) ++blue;
        // The series crosses the grid in a few places only.
        EXPECT_GT(blue, (r.Right - r.Left) * 9 / 10) << "grid row " << t;
        ++lines;
        // Not on the neighbouring rows.
        EXPECT_NE(Pixel(r.Left + 3, t - 1), clBlue);
        EXPECT_NE(Pixel(r.Left + 3, t + 1), clBlue);
    }
    EXPECT_GE(lines, 2);
    // The end ticks get no grid line (the frame shows there).
    ASSERT_EQ(v->Tick.front(), v->IStartPos);
    ASSERT_EQ(v->Tick.back(), v->IEndPos);
    for (int end : {v->IStartPos, v->IEndPos})
        for (int x = r.Left + 1; x < r.Right; ++x)
            ASSERT_NE(Pixel(x, end), clBlue) << x << "," << end;
    // Labels were drawn for the ticks.
    EXPECT_GE(Canvas->Count("TextOut3D", 9), static_cast<int>(v->Tick.size()));
}

TEST_F(AxisPanelFrameTest, NothingOfTheSeriesOutsideThePlot) {
    DrawFrame();
    const TRect r = Chart->ChartRect();
    int inside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (Pixel(x, y) == clRed) {
                const bool in = x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom;
                EXPECT_TRUE(in) << x << "," << y;
                if (!in) return;
                ++inside;
            }
    EXPECT_GT(inside, 100);
}

TEST_F(AxisPanelFrameTest, FrameOrderAndEvents) {
    std::vector<std::string> order;
    Chart->OnBeforeDrawChart = [&](TObject*) { order.push_back("chart"); };
    Chart->OnBeforeDrawAxes = [&](TObject*) { order.push_back("axes"); };
    Chart->OnBeforeDrawSeries = [&](TObject*) { order.push_back("series"); };
    Chart->OnAfterDraw = [&](TObject*) { order.push_back("after"); };
    S->BeforeDrawValues = [&](TChartSeries*) { order.push_back("values"); };
    DrawFrame();
    EXPECT_EQ(order, (std::vector<std::string>{"chart", "axes", "series", "values", "after"}));
    order.clear();
    Chart->SetAxisBehind(false);
    DrawFrame();
    EXPECT_EQ(order, (std::vector<std::string>{"chart", "series", "values", "axes", "after"}));
    // Auto-repaint is back on after the frame.
    EXPECT_TRUE(Chart->AutoRepaint());
}

TEST_F(AxisPanelFrameTest, ThreeDimensionalFrame) {
    Chart->SetView3D(true);
    Chart->DepthAxis()->SetVisible(true);
    DrawFrame();
    EXPECT_GT(Chart->Width3D(), 0);
    EXPECT_EQ(Chart->SeriesDepthWidth, Chart->Width3D());
    EXPECT_EQ(S->StartZ(), 0);
    EXPECT_EQ(S->EndZ(), Chart->Width3D());
    EXPECT_EQ(S->Marks()->ZPosition, Chart->Width3D() / 2);
    EXPECT_EQ(Chart->RightAxis()->IZPos, Chart->Width3D());
    EXPECT_EQ(Chart->LeftAxis()->IZPos, 0);
    // The depth axis walks the series titles over its depth.
    EXPECT_TRUE(Chart->IsAxisVisible(Chart->DepthAxis()));
    EXPECT_EQ(Chart->DepthAxis()->CalcLabelStyle(), talText);
    EXPECT_EQ(Chart->DepthAxis()->IMinimum, -0.5);
    EXPECT_EQ(Chart->DepthAxis()->IMaximum, 0.5);
    bool title = false;
    for (const auto& c : Canvas->Find("TextOut3D", 0))
        if (c.Text.find("\"Series1\"") != std::string::npos) title = true;
    EXPECT_TRUE(title);
    // A series with Z values of its own gets value labels, even with one Z.
    S->SetHasZValues(true);
    EXPECT_EQ(Chart->DepthAxis()->CalcLabelStyle(), talValue);
}

TEST_F(AxisPanelFrameTest, CustomDrawOfAnExtraAxisCopy) {
    DrawFrame();
    TChartAxis* l = Chart->LeftAxis();
    const bool gridBefore = l->Grid()->Visible();
    Canvas->Clear();
    l->CustomDrawMinMax(300, 280, 310, false, 0, 1, 0.5);
    std::vector<std::string> texts;
    for (const auto& c : Canvas->Find("TextOut3D", 0))
        texts.push_back(c.Text.substr(c.Text.find('"')));
    EXPECT_EQ(texts, (std::vector<std::string>{"\"1\")", "\"0.5\")", "\"0\")"}));
    EXPECT_EQ(Canvas->Count("DoHorizLine", 0), 3 + 3 * 2 + 3);
    // Everything is as it was.
    EXPECT_EQ(l->Minimum(), 0);
    EXPECT_EQ(l->Maximum(), 80);
    EXPECT_EQ(l->Grid()->Visible(), gridBefore);
    EXPECT_FALSE(l->Automatic());
}

TEST_F(AxisPanelFrameTest, ExtraAxisCopyPutsTheAxisBackWhenALabelEventRaises) {
    DrawFrame();
    TChartAxis* b = Chart->BottomAxis();
    const double min = b->Minimum(), max = b->Maximum(), imax = b->IMaximum;
    Chart->OnGetAxisLabel = [](TChartAxis*, TChartSeries*, int, AnsiString&) {
        throw Exception("label");
    };
    EXPECT_THROW(b->CustomDrawMinMax(300, 280, 310, true, -7, 7, 3), Exception);
    EXPECT_THROW(b->CustomDrawMinMaxStartEnd(300, 280, 310, true, -7, 7, 3, 10, 200), Exception);
    EXPECT_TRUE(b->Automatic() && b->AutomaticMinimum() && b->AutomaticMaximum());
    EXPECT_EQ(b->Minimum(), min);
    EXPECT_EQ(b->Maximum(), max);
    EXPECT_EQ(b->Increment(), 0);
    EXPECT_EQ(b->IMaximum, imax);
}
