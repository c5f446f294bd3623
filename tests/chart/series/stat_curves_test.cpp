// Bezier segments, line-point lines to the axes and bar join lines.
#include "chart/control/series_fixture.h"
#include "chart/series/mypoint.h"
#include "chart/series/teebezie.h"
#include "chart/series/teeextraseries.h"

namespace {

class StatCurvesTest : public SeriesChartTest {
protected:
    StatCurvesTest() { TeeExtraSeriesStartup(); }
};

// Five points with a cubic style: one segment over points 0..3, none towards 4.
TEST_F(StatCurvesTest, CubicBezierStopsAtTheLastWholeSegment) {
    auto* s = Add<TBezierSeries>();
    s->Pointer()->SetVisible(false);
    s->SetBezierStyle(bsBezier4);
    const double y[] = {0, 10, 10, 0, 10};
    for (int i = 0; i < 5; ++i)
        s->AddXY(i, y[i]);
    Ranges(-0.5, 4.5, -1, 11);
    Render("bezier4");
    // The curve's middle at t = 0.5: x = 1.5, y = 0.75 x 10 = 7.5.
    EXPECT_GT(Count(clRed, TRect(XPos(1.5) - 1, YPos(7.5) - 2, XPos(1.5) + 2, YPos(7.5) + 3)), 0);
    EXPECT_EQ(Count(clRed, TRect(XPos(3) + 2, 0, W, H)), 0); // nothing to point 4
    EXPECT_EQ(Pixel(XPos(1), YPos(10)), clWhite);            // control points are not on the curve
    s->SetBezierStyle(bsBezier3);
    Render("bezier3");
    EXPECT_GT(Count(clRed, TRect(XPos(3) + 2, 0, W, H)), 0); // quadratic 2..4 reaches point 4
}

TEST_F(StatCurvesTest, BezierRefusesFewerThanTwoPieces) {
    auto* s = Add<TBezierSeries>();
    EXPECT_THROW(s->SetNumBezierPoints(1), ChartException);
    EXPECT_EQ(s->NumBezierPoints(), 32);
    s->SetNumBezierPoints(2);
    s->AddXY(0, 1);
    s->AddXY(1, 2); // too few for any segment
    Render("bezier_short");
    s->SetSeriesColor(clBlue);
    EXPECT_EQ(s->LinePen()->Color(), clBlue);
}

TEST_F(StatCurvesTest, LinePointDrawsToBothAxes) {
    Chart->SetAxisVisible(true);
    auto* s = Add<TMyPointSeries>();
    s->LinesPen()->SetColor(clBlue);
    s->AddXY(5, 5);
    Ranges(0, 10, 0, 10);
    Render("line_point");
    EXPECT_EQ(Pixel(XPos(2), YPos(5)), clBlue); // towards the left axis
    EXPECT_EQ(Pixel(XPos(5), YPos(2)), clBlue); // down to the bottom axis
    EXPECT_NE(Pixel(XPos(7.5), YPos(5)), clBlue);
    EXPECT_NE(Pixel(XPos(5), YPos(7.5)), clBlue);
}

TEST_F(StatCurvesTest, BarJoinLinksTheTopsOfNeighbours) {
    auto* s = Add<TBarJoinSeries>();
    s->JoinPen()->SetColor(clBlue);
    s->AddXY(1, 10);
    Ranges(0, 3, 0, 12);
    Render("bar_join_one");
    EXPECT_EQ(Count(clBlue, TRect(0, 0, W, H)), 0);
    s->AddXY(2, 10);
    Render("bar_join");
    const TRect join = Bounds(clBlue);
    EXPECT_NEAR(join.Top, YPos(10), 1);
    EXPECT_EQ(join.Bottom - join.Top, 1);
    EXPECT_GT(join.Right - join.Left, 10);
}

// Stacked in 3D, the series share a depth and are drawn bar by bar rather than
// series by series: every drawing still starts with no bar before the first.
TEST_F(StatCurvesTest, BarJoinStartsEveryDrawingAtItsFirstBar) {
    Chart->SetView3D(true);
    auto* a = Add<TBarJoinSeries>();
    auto* b = Add<TBarJoinSeries>();
    a->JoinPen()->SetColor(clBlue);
    b->JoinPen()->SetColor(clLime);
    for (auto* s : {a, b}) {
        s->SetMultiBar(mbStacked);
        for (int i = 0; i < 3; ++i)
            s->AddXY(i, 5 + 3 * i);
    }
    Ranges(-1, 3, 0, 30);
    Render("bar_join_3d_first");
    const TRect blue = Bounds(clBlue), lime = Bounds(clLime);
    const int blueCount = Count(clBlue, TRect(0, 0, W, H));
    // The lines start at the first bar, not back from the last.
    EXPECT_GT(blue.Left, XPos(0));
    EXPECT_GT(lime.Left, XPos(0));
    for (const char* again : {"bar_join_3d_second", "bar_join_3d_third"}) {
        Render(again);
        EXPECT_EQ(Bounds(clBlue), blue) << again;
        EXPECT_EQ(Bounds(clLime), lime) << again;
        EXPECT_EQ(Count(clBlue, TRect(0, 0, W, H)), blueCount) << again;
    }
}

} // namespace
