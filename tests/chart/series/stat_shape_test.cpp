// Funnel segments by their share of the quote, the funnel legend, pyramid
// slices and the donut's hole.
#include "chart/control/series_fixture.h"
#include "chart/control/teestore.h"
#include "chart/series/teeextraseries.h"
#include "chart/series/teefunnel.h"
#include "platform/classes/streams.h"
#include <cmath>

namespace {

class StatShapeTest : public SeriesChartTest {
protected:
    StatShapeTest() { TeeExtraSeriesStartup(); }
};

// Quotes 100, 80, 60 reaching 100 %, 75 % and 50 %: above, within and below
// the default limit of 30 %. Added out of order: the funnel sorts its quotes.
TEST_F(StatShapeTest, FunnelSegmentsColouredByTheirShareOfTheQuote) {
    auto* s = Add<TFunnelSeries>();
    s->AddSegment(60, 30, "c");
    s->AddSegment(100, 100, "a");
    s->AddSegment(80, 60, "b");
    ASSERT_EQ(s->Count(), 3);
    EXPECT_EQ(s->QuoteValues()->Value(0), 100);
    EXPECT_EQ(s->OpportunityValues()->Value(2), 30); // moved with its quote
    EXPECT_EQ(s->GetXLabel(1), "b");
    EXPECT_EQ(s->MinXValue(), -0.5);
    EXPECT_EQ(s->MaxXValue(), 2.5);
    Ranges(-0.5, 2.5, 0, 100);
    Render("funnel");
    s->Recalc();
    const double slope = (100 - 60) * 0.5 / 3;
    const TColor want[] = {clGreen, clYellow, clRed};
    for (int i = 0; i < 3; ++i) {
        const int y = YPos((i + 1) * slope + 2);
        EXPECT_EQ(Pixel(XPos(i), y), want[i]) << i;
        EXPECT_EQ(s->Clicked(XPos(i), y), i) << i;
    }
    // The 50 % segment is filled only part way up; above its level it stays white.
    EXPECT_EQ(Pixel(XPos(2), YPos(100 - 2.5 * slope - 2)), clWhite);
    EXPECT_EQ(s->Clicked(XPos(2), YPos(100 - 2.5 * slope - 2)), -1);
    EXPECT_EQ(s->GetMarkText(1), "75.00 %");
    s->SetDifferenceLimit(20);
    EXPECT_EQ(s->SegmentColor(1), clRed);
}

TEST_F(StatShapeTest, FunnelLegendReadsTheLimit) {
    auto* s = Add<TFunnelSeries>();
    EXPECT_EQ(s->CountLegendItems(), 3);
    EXPECT_EQ(s->LegendString(0, ltsPlain), "Exceeds quota");
    EXPECT_EQ(s->LegendString(1, ltsPlain), "30.00 % within quota");
    EXPECT_EQ(s->LegendString(2, ltsPlain), "30.00 % or more below quota");
    EXPECT_EQ(s->LegendItemColor(1), TColor(65535));
}

TEST_F(StatShapeTest, FunnelWithZeroQuotesAndFlatQuotesDraws) {
    auto* s = Add<TFunnelSeries>();
    s->AddSegment(0, 5);
    s->AddSegment(0, 0);
    Render("funnel_zero");
    EXPECT_EQ(s->SegmentColor(0), clRed); // no quote: ratio 0
    s->Clear();
    s->AddSegment(50, 25);
    s->AddSegment(50, 25);
    Ranges(-0.5, 1.5, 0, 50);
    Render("funnel_flat");
    EXPECT_EQ(Pixel(XPos(0), YPos(10)), clRed);
}

TEST_F(StatShapeTest, PyramidSlicesShareTheHeightAndNarrowUpwards) {
    auto* s = Add<TPyramidSeries>();
    s->SetColorEachPoint(false);
    s->Add(30, "", clBlue);
    s->Add(10, "", clGreen);
    EXPECT_EQ(s->MaxYValue(), 40);
    EXPECT_EQ(s->AcumUpTo(0), 30);
    Ranges(-1, 1, 0, 40);
    Render("pyramid");
    const int x = XPos(0);
    EXPECT_EQ(Pixel(x, YPos(15)), clBlue);
    EXPECT_EQ(Pixel(x, YPos(35)), clGreen);
    // Half the base is 50 % x 0.5 of the axis; at level 30 the width is a quarter of it.
    const int base = int(std::nearbyint(Chart->BottomAxis()->IAxisSize * 0.25));
    EXPECT_EQ(Pixel(x + base - 3, YPos(1)), clBlue);
    EXPECT_EQ(Pixel(x + base / 4 + 3, YPos(31)), clWhite);
    EXPECT_EQ(s->Clicked(x, YPos(35)), 1);
}

// A negative value counts against the running sum, while its slice keeps its
// size: the slices stack by sizes, so they never overlap.
TEST_F(StatShapeTest, PyramidSumsSignedValuesAndStacksSlicesBySize) {
    auto* s = Add<TPyramidSeries>();
    s->SetColorEachPoint(false);
    s->Add(3, "", clBlue);
    s->Add(-4, "", clGreen);
    EXPECT_EQ(s->AcumUpTo(0), 3);
    EXPECT_EQ(s->AcumUpTo(1), -1);
    EXPECT_EQ(s->AcumUpTo(5), -1);
    EXPECT_EQ(s->MaxYValue(), 7);
    Ranges(-1, 1, 0, 7);
    Render("pyramid_negative");
    const int x = XPos(0);
    EXPECT_EQ(Pixel(x, YPos(1.5)), clBlue);
    EXPECT_EQ(Pixel(x, YPos(5)), clGreen);
    EXPECT_EQ(s->Clicked(x, YPos(5)), 1);
}

// In 3D each slice is a truncated pyramid: the base's front edge stands at the
// series' front depth, the apex at its middle depth.
TEST_F(StatShapeTest, PyramidSlicesIn3DAreTruncatedPyramids) {
    Chart->SetView3D(true);
    auto* s = Add<TPyramidSeries>();
    s->SetColorEachPoint(false);
    s->Add(30, "", clBlue);
    s->Add(10, "", clGreen);
    Ranges(-1, 1, 0, 40);
    Render("pyramid_3d");
    TCanvas3D* c = Chart->Canvas();
    const int x = XPos(0), front = s->StartZ(), middle = (s->StartZ() + s->EndZ()) / 2;
    const auto at = [&](int X, int Y, int Z) {
        const TPoint q = c->Calculate3DPosition(X, Y, Z);
        return Pixel(q.x, q.y);
    };
    EXPECT_EQ(at(x, YPos(0) - 2, front + 1), clBlue); // the base's front edge
    EXPECT_EQ(at(x, YPos(32), middle - 2), clGreen);  // the top slice's front face
    EXPECT_EQ(at(x, YPos(40) - 3, middle), clWhite);  // above the apex
    const int base = int(std::nearbyint(Chart->BottomAxis()->IAxisSize * 0.25));
    EXPECT_EQ(at(x - base + 6, YPos(1), front), clBlue);
    EXPECT_EQ(at(x - base - 3, YPos(1), front), clWhite); // beyond the base's corner
}

TEST_F(StatShapeTest, DonutKeepsAHoleThroughChartFiles) {
    auto chart = std::make_unique<TChart>(nullptr);
    chart->SetName("Chart1");
    auto* d = new TDonutSeries(chart.get());
    d->SetName("Series1");
    d->SetParentChart(chart.get());
    EXPECT_EQ(d->DonutPercent(), 50);
    d->SetDonutPercent(0);
    d->Add(1);
    TMemoryStream file;
    SaveChartToStream(chart.get(), &file, true, true);
    file.SetPosition(0);
    TCustomChart* loaded = new TChart(nullptr);
    std::unique_ptr<TCustomChart> own(loaded);
    LoadChartFromStream(loaded, &file);
    auto* back = dynamic_cast<TDonutSeries*>(loaded->Series(0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->DonutPercent(), 50);
}

} // namespace
