// Error whiskers, error bars and the high-low band in pictures; their ranges,
// clicks and sample values.
#include "chart/control/series_fixture.h"
#include "chart/series/errorbar.h"
#include "chart/series/teeextraseries.h"
#include <cmath>
#include <limits>

namespace {

class StatErrorTest : public SeriesChartTest {
protected:
    StatErrorTest() { TeeExtraSeriesStartup(); }
};

// A whisker of 10 either side of 20: the vertical arm spans 10..30 and ends in
// ticks as wide as the bar; nothing beyond.
TEST_F(StatErrorTest, WhiskerSpansTheErrorWithTicksAtItsEnds) {
    auto* s = Add<TErrorSeries>();
    s->SetErrorWidth(0);
    s->AddErrorBar(1, 20, 10);
    Ranges(0, 2, 0, 50);
    Render("error_whisker");
    const TRect r = Bounds(clRed);
    const int mid = (r.Left + r.Right - 1) / 2;
    // The arm is the error's size in pixels, so it may round one off the axis position.
    EXPECT_NEAR(r.Top, YPos(30), 1);
    EXPECT_NEAR(r.Bottom - 1, YPos(10), 1);
    EXPECT_EQ(Pixel(mid, YPos(25)), clRed);
    EXPECT_EQ(Pixel(mid, YPos(15)), clRed);
    EXPECT_EQ(Pixel(mid + 3, YPos(25)), clWhite);
    EXPECT_EQ(Count(clRed, TRect(r.Left, r.Top, r.Right, r.Top + 1)), r.Right - r.Left);
    EXPECT_GT(r.Right - r.Left, 20);

    s->SetErrorStyle(essTop);
    Render("error_top");
    EXPECT_EQ(Pixel(mid, YPos(25)), clRed);
    EXPECT_EQ(Pixel(mid, YPos(15)), clWhite);
    // 50 % of the bar width, in pixels.
    s->SetErrorWidth(50);
    Render("error_half");
    EXPECT_NEAR(Bounds(clRed).Right - Bounds(clRed).Left, (r.Right - r.Left) / 2, 1);
    s->SetErrorWidthUnits(ewuPixels);
    s->SetErrorWidth(9);
    Render("error_pixels");
    EXPECT_EQ(Bounds(clRed).Right - Bounds(clRed).Left, 10); // 9 across, plus the last pixel
}

TEST_F(StatErrorTest, HorizontalWhiskersRunAlongTheValueAxis) {
    auto* s = Add<TErrorSeries>();
    s->SetErrorStyle(essLeftRight);
    s->SetErrorWidthUnits(ewuPixels);
    s->SetErrorWidth(8);
    s->AddErrorBar(5, 20, 2);
    Ranges(0, 10, 0, 50);
    Render("error_leftright");
    const TRect r = Bounds(clRed);
    EXPECT_NEAR(r.Left, XPos(3), 1);
    EXPECT_NEAR(r.Right - 1, XPos(7), 1);
    EXPECT_EQ(r.Bottom - r.Top, 9);
}

TEST_F(StatErrorTest, ErrorBarWhiskerPointsAwayFromTheBar) {
    auto* s = Add<TErrorBarSeries>();
    s->ErrorPen()->SetColor(clBlue);
    s->AddErrorBar(1, 20, 5);
    s->AddErrorBar(2, -20, 5);
    s->AddErrorBar(3, 10, 0); // no whisker, bar still drawn
    Ranges(0, 4, -30, 30);
    Render("error_bar");
    const TRect up = Bounds(clBlue);
    EXPECT_NEAR(up.Top, YPos(25), 1);
    EXPECT_NEAR(up.Bottom - 1, YPos(-25), 1);
    EXPECT_EQ(Count(clBlue, TRect(0, YPos(19), W, YPos(-19))), 0); // nothing over the bars
    EXPECT_EQ(Pixel(XPos(3) + 2, YPos(5)), clRed);
    EXPECT_EQ(s->MaxYValue(), 25);
    EXPECT_EQ(s->MinYValue(), -25);
}

TEST_F(StatErrorTest, RangesIncludeTheErrorAndEmptyIsZero) {
    auto* s = Add<TErrorSeries>();
    EXPECT_EQ(s->MaxYValue(), 0);
    EXPECT_EQ(s->MinYValue(), 0);
    s->AddErrorBar(0, 10, 3);
    s->AddErrorBar(1, 4, 5);
    EXPECT_EQ(s->MaxYValue(), 13);
    EXPECT_EQ(s->MinYValue(), -1);
    s->SetErrorValue(1, 1);
    EXPECT_EQ(s->GetErrorValue(1), 1);
    EXPECT_EQ(s->MinYValue(), 3);
    // A series without bars paints the whisker in the series colour both ways.
    s->SetSeriesColor(clGreen);
    EXPECT_EQ(s->ErrorPen()->Color(), clGreen);
}

TEST_F(StatErrorTest, HighLowFillsBetweenItsLinesAndFindsClicks) {
    auto* s = Add<THighLowSeries>();
    s->HighPen()->SetColor(clBlue);
    s->LowPen()->SetColor(clGreen);
    s->HighBrush()->SetStyle(bsSolid);
    s->Pen()->SetVisible(false);
    s->AddHighLow(1, 40, 10);
    Ranges(0, 3, 0, 50);
    Render("highlow_one");
    EXPECT_EQ(Count(clBlue, TRect(0, 0, W, H)), 0); // one point draws nothing
    s->AddHighLow(2, 40, 10);
    Render("highlow_two");
    const int x = (XPos(1) + XPos(2)) / 2;
    EXPECT_EQ(Pixel(x, YPos(40)), clBlue);
    EXPECT_EQ(Pixel(x, YPos(10)), clGreen);
    EXPECT_EQ(Pixel(x, YPos(25)), clRed);
    EXPECT_EQ(Pixel(x, YPos(45)), clWhite);
    EXPECT_EQ(s->Clicked(x, YPos(25)), 1);
    EXPECT_EQ(s->Clicked(x, YPos(45)), -1);
    EXPECT_EQ(s->MinYValue(), 10);
    EXPECT_EQ(s->MaxYValue(), 40);
}

TEST_F(StatErrorTest, BadValuesDrawWithoutCrashing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    auto* e = Add<TErrorBarSeries>();
    e->AddErrorBar(1, nan, 3);
    e->AddErrorBar(2, 5, inf);
    e->AddErrorBar(3, 1e300, nan);
    auto* h = Add<THighLowSeries>();
    h->AddHighLow(1, inf, -inf);
    h->AddHighLow(2, nan, 0);
    Ranges(0, 4, 0, 10);
    Render("error_bad");
    SUCCEED();
}

TEST_F(StatErrorTest, SampleValuesCarryErrorsAndLows) {
    auto* e = Add<TErrorBarSeries>();
    e->FillSampleValues(12);
    ASSERT_EQ(e->Count(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_GT(e->GetErrorValue(i), 0) << i;
    auto* h = Add<THighLowSeries>();
    h->FillSampleValues(12);
    ASSERT_EQ(h->Count(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_LE(h->LowValues()->Value(i), h->HighValues()->Value(i)) << i;
}

} // namespace
