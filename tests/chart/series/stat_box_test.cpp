// Box plot statistics for known samples, the box, median, whiskers and
// outliers in pictures, custom values and sample values.
#include "chart/control/series_fixture.h"
#include "chart/series/teeboxplot.h"
#include "chart/series/teeextraseries.h"

namespace {

class StatBoxTest : public SeriesChartTest {
protected:
    StatBoxTest() { TeeExtraSeriesStartup(); }
    template <typename T> T* Box(std::initializer_list<double> Samples) {
        auto* s = Add<T>();
        for (double v : Samples) {
            if (s->Vertical())
                s->AddY(v);
            else
                s->AddX(v);
        }
        s->RecalcStats();
        return s;
    }
};

TEST_F(StatBoxTest, QuartilesAndFencesOfOneToFour) {
    auto* s = Box<TBoxSeries>({1, 2, 3, 4});
    EXPECT_DOUBLE_EQ(s->Median(), 2.5);
    EXPECT_DOUBLE_EQ(s->Quartile1(), 1.5);
    EXPECT_DOUBLE_EQ(s->Quartile3(), 3.5);
    EXPECT_DOUBLE_EQ(s->InnerFence1(), -1.5);
    EXPECT_DOUBLE_EQ(s->InnerFence3(), 6.5);
    EXPECT_DOUBLE_EQ(s->OuterFence1(), -4.5);
    EXPECT_DOUBLE_EQ(s->OuterFence3(), 9.5);
    EXPECT_EQ(s->AdjacentPoint1(), 0);
    EXPECT_EQ(s->AdjacentPoint3(), 3);
}

// Samples in any order give the statistics of the sorted samples; the adjacent
// points stay indexes into the series' own points. Odd counts, one and two
// samples: the quantile walk must not read before the first sample.
TEST_F(StatBoxTest, StatisticsOfTheSortedSamples) {
    struct Case {
        std::initializer_list<double> Samples;
        double Median, Q1, Q3;
        int Adjacent1, Adjacent3;
    };
    const Case cases[] = {
        {{7}, 7, 7, 7, 0, -1},
        {{2, 4}, 3, 2, 4, 0, 1},
        {{1, 2, 3, 4, 5}, 3, 1.75, 4.25, 0, 4},
        {{4, 1, 3, 2}, 2.5, 1.5, 3.5, 1, 0},
        {{9, 100, 1, 5, 3}, 5, 2.5, 31.75, 2, 0},
    };
    for (const Case& c : cases) {
        auto* s = Box<TBoxSeries>(c.Samples);
        EXPECT_DOUBLE_EQ(s->Median(), c.Median);
        EXPECT_DOUBLE_EQ(s->Quartile1(), c.Q1);
        EXPECT_DOUBLE_EQ(s->Quartile3(), c.Q3);
        EXPECT_EQ(s->AdjacentPoint1(), c.Adjacent1);
        EXPECT_EQ(s->AdjacentPoint3(), c.Adjacent3);
    }
}

TEST_F(StatBoxTest, CustomValuesSurviveNewSamples) {
    auto* s = Box<TBoxSeries>({1, 2, 3, 4});
    s->SetUseCustomValues(true);
    s->SetMedian(10);
    s->AddY(100);
    s->RecalcStats();
    EXPECT_EQ(s->Median(), 10);
    EXPECT_DOUBLE_EQ(s->Quartile1(), 1.5);
}

// The statistics of 1, 2, 3, 4 set by hand, with 6.5 (on the inner fence:
// inside), 9.5 (on the outer fence: mild) and 20 (extreme) as further samples.
TEST_F(StatBoxTest, BoxMedianWhiskersAndOutliersInAPicture) {
    auto* s = Box<TBoxSeries>({1, 2, 3, 4, 6.5, 9.5, 20});
    s->SetUseCustomValues(true);
    s->SetMedian(2.5);
    s->SetQuartile1(1.5);
    s->SetQuartile3(3.5);
    s->SetInnerFence1(-1.5);
    s->SetInnerFence3(6.5);
    s->SetOuterFence1(-4.5);
    s->SetOuterFence3(9.5);
    s->SetAdjacentPoint1(0);
    s->SetAdjacentPoint3(3);
    s->SetPosition(1);
    s->MedianPen()->SetStyle(psSolid);
    s->MedianPen()->SetColor(clBlue);
    s->WhiskerPen()->SetColor(clGreen);
    s->MildOut()->Brush()->SetColor(clYellow);
    s->ExtrOut()->SetStyle(psRectangle);
    Ranges(0, 2, -5, 25);
    Render("box_plot");
    const int x = XPos(1);
    EXPECT_EQ(Pixel(x + 5, YPos(2.5)), clBlue); // median line across the box
    EXPECT_EQ(Pixel(x + 5, YPos(3)), clWhite);  // white box inside
    EXPECT_EQ(Pixel(x + 15, YPos(3)), clBlack); // box border 15 px out
    EXPECT_EQ(Pixel(x + 17, YPos(3)), clWhite);
    EXPECT_EQ(Pixel(x, YPos(1.25)), clGreen);   // lower whisker down to sample 1
    EXPECT_EQ(Pixel(x + 10, YPos(1)), clGreen); // and its crossbar
    EXPECT_EQ(Pixel(x, YPos(0.5)), clWhite);
    EXPECT_EQ(Pixel(x, YPos(9.5)), clYellow); // mild outlier on the outer fence
    EXPECT_EQ(Pixel(x, YPos(20)), clRed);     // extreme outlier in the point colour
    EXPECT_EQ(Count(clRed, TRect(0, YPos(7.5), W, YPos(5.5))), 0); // 6.5 is inside
    EXPECT_EQ(Count(clYellow, TRect(0, YPos(7.5), W, YPos(5.5))), 0);
}

TEST_F(StatBoxTest, HorizontalBoxLiesAlongTheBottomAxis) {
    auto* s = Box<THorizBoxSeries>({1, 2, 3, 4});
    s->SetPosition(1);
    EXPECT_EQ(s->MinYValue(), 1);
    EXPECT_EQ(s->MaxYValue(), 1);
    Ranges(-2, 7, 0, 2);
    Render("box_horiz");
    const TRect black = Bounds(clBlack);
    EXPECT_NEAR(black.Left, XPos(1), 1); // whisker crossbar at sample 1
    EXPECT_NEAR(black.Right - 1, XPos(4), 1);
    EXPECT_EQ(Pixel(XPos(2), YPos(1) + 5), clWhite);
    EXPECT_EQ(Pixel(XPos(2), YPos(1) + 15), clBlack); // box border across
    EXPECT_EQ(Pixel(XPos(2), YPos(1) + 20), clWhite);
    EXPECT_EQ(Pixel(XPos(1.5), YPos(1) + 5), clBlack); // box end at Q1 along
    EXPECT_EQ(Pixel(XPos(3.5), YPos(1) - 5), clBlack);
}

TEST_F(StatBoxTest, SampleValuesRunFromMinusKToTwiceK) {
    auto* s = Add<TBoxSeries>();
    s->FillSampleValues(10);
    ASSERT_EQ(s->Count(), 9); // -k, eight steps 2..8 minus ..., 2k
    const double k = -s->SampleValues()->Value(0);
    EXPECT_GE(k, 3 * 2);
    EXPECT_EQ(s->SampleValues()->Value(s->Count() - 1), 2 * k);
    EXPECT_DOUBLE_EQ(s->SampleValues()->Value(1), k * 2 / 10);
    EXPECT_EQ(s->MinXValue(), 0);
}

} // namespace
