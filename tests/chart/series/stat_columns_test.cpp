// Point-and-figure columns for a known price path and histogram bars that
// fill the axis.
#include "chart/control/series_fixture.h"
#include "chart/series/histogram.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teepointfigure.h"
#include <limits>
#include <tuple>
#include <vector>

namespace {

class StatColumnsTest : public SeriesChartTest {
protected:
    StatColumnsTest() { TeeExtraSeriesStartup(); }
};

using TSymbol = std::tuple<int, double, bool>;

// Box 1, reversal 3: falls to 6, reverses up to 12, reverses down to 8.
TEST_F(StatColumnsTest, PointAndFigureColumnsForAKnownPricePath) {
    auto* s = Add<TPointFigureSeries>();
    const double hl[][2] = {{10, 8}, {10, 6}, {10, 9}, {12, 11}, {11, 8}};
    for (const auto& p : hl)
        s->AddOHLC(p[1], p[0], p[1], p[1]);
    std::vector<TSymbol> got;
    s->OnSymbol = [&](int c, double v, bool up) { got.emplace_back(c, v, up); };
    EXPECT_EQ(s->CalcMaxColumns(false), 3);
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(s->MaxXValue(), 2);
    Ranges(-0.5, 2.5, 5, 13);
    Render("point_figure");
    const std::vector<TSymbol> want = {{0, 8, false}, {0, 9, false},  {0, 10, false}, {0, 6, false},
                                       {0, 7, false}, {1, 7, true},   {1, 8, true},   {1, 9, true},
                                       {1, 10, true}, {1, 11, true},  {1, 12, true},  {2, 8, false},
                                       {2, 9, false}, {2, 10, false}, {2, 11, false}};
    EXPECT_EQ(got, want);
    EXPECT_EQ(Pixel(XPos(2), YPos(9)), clRed);            // down circle filled red
    EXPECT_EQ(Pixel(XPos(2), YPos(12)), clWhite);         // nothing above the last down stack
    EXPECT_EQ(Pixel(XPos(1) + 3, YPos(12) + 3), clBlack); // up cross, drawn by its pen
    EXPECT_EQ(s->LegendString(0, ltsPlain), "Up");
    EXPECT_EQ(s->LegendItemColor(1), clRed);
}

TEST_F(StatColumnsTest, PointAndFigureFlatPricesAndBadBoxes) {
    auto* s = Add<TPointFigureSeries>();
    EXPECT_EQ(s->CalcMaxColumns(false), 0);
    for (int i = 0; i < 5; ++i)
        s->AddOHLC(10, 11, 9, 10);
    EXPECT_EQ(s->CalcMaxColumns(false), 1);
    int symbols = 0;
    s->OnSymbol = [&](int, double, bool) { ++symbols; };
    for (double box : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), 1e-300}) {
        s->SetBoxSize(box);
        symbols = 0;
        Render("point_figure_bad");
        EXPECT_LE(symbols, 10000) << box;
    }
}

TEST_F(StatColumnsTest, HistogramBarsTouchAndFillTheAxis) {
    auto* s = Add<THistogramSeries>();
    s->Pen()->SetVisible(false);
    s->Add(10);
    Ranges(-0.5, 0.5, 0, 20);
    Render("histogram_one");
    const TRect one = Bounds(clRed);
    EXPECT_NEAR(one.Right - one.Left, Chart->BottomAxis()->IAxisSize, 2);
    s->Add(20, "", clBlue);
    s->Add(5, "", clGreen);
    s->Pen()->SetVisible(true);
    s->LinesPen()->SetVisible(true);
    s->LinesPen()->SetColor(clYellow);
    Ranges(-0.5, 2.5, 0, 25);
    Render("histogram");
    const TRect red = Bounds(clRed), blue = Bounds(clBlue), green = Bounds(clGreen);
    EXPECT_EQ(red.Top, YPos(10) + 1);
    EXPECT_EQ(blue.Top, YPos(20) + 1);
    EXPECT_LE(blue.Left - red.Right, 1); // contiguous: only the separator between
    EXPECT_LE(green.Left - blue.Right, 1);
    EXPECT_EQ(Pixel(red.Right, YPos(2)), clYellow); // separator up to the lower top
    EXPECT_EQ(Pixel(blue.Right, YPos(8)), clBlack); // outline step from 20 down to 5
    EXPECT_EQ(s->Clicked(XPos(1), YPos(15)), 1);
    EXPECT_EQ(s->Clicked(XPos(2), YPos(15)), -1);
}

} // namespace
