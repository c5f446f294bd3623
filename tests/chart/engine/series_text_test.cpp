#include "chart/engine/teengine.h"
#include "chart/engine/teeprocs.h"
#include "platform/rtl/formatsettings.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

// Texts here use '.' decimals and ',' grouping whatever the machine's locale.
class SeriesText : public testing::Test {
protected:
    void SetUp() override {
        SavedDecimal = DecimalSeparator;
        SavedThousand = ThousandSeparator;
        DecimalSeparator = '.';
        ThousandSeparator = ',';
    }
    void TearDown() override {
        DecimalSeparator = SavedDecimal;
        ThousandSeparator = SavedThousand;
    }
    char SavedDecimal = '.', SavedThousand = ',';
    TChartSeries S{nullptr};
};

} // namespace

TEST_F(SeriesText, ValueColourComesFromThePointThePaletteOrTheSeries) {
    S.SetSeriesColor(clGreen);
    S.AddY(1);
    S.AddY(2, "", clRed);
    S.AddNull(3);
    EXPECT_EQ(S.GetValueColor(0), clGreen);
    EXPECT_EQ(S.GetValueColor(1), clRed);
    EXPECT_EQ(S.GetValueColor(2), clNone);
    S.SetColorEachPoint(true);
    EXPECT_EQ(S.GetValueColor(0), GetDefaultColor(0));
    EXPECT_EQ(S.GetValueColor(1), clRed);
    EXPECT_EQ(S.LegendItemColor(0), GetDefaultColor(0));
}

TEST_F(SeriesText, ColorRangeSkipsNullPoints) {
    for (double y : {1.0, 5.0, 10.0, 15.0})
        S.AddY(y);
    S.SetNull(2);
    S.ColorRange(S.YValues(), 5, 15, clBlue);
    EXPECT_EQ(S.InternalColor(0), clAutoColor);
    EXPECT_EQ(S.InternalColor(1), clBlue);
    EXPECT_EQ(S.InternalColor(2), clNone);
    EXPECT_EQ(S.InternalColor(3), clBlue);
}

struct MarkCase {
    TSeriesMarksStyle Style;
    bool MultiLine;
    int Index;
    AnsiString Expected;
};

class SeriesMarkText : public SeriesText, public testing::WithParamInterface<MarkCase> {};

TEST_P(SeriesMarkText, TextFollowsTheStyle) {
    const MarkCase& c = GetParam();
    S.AddY(1234.5, "first");
    S.AddY(-765.5);
    S.Marks()->SetStyle(c.Style);
    S.Marks()->SetMultiLine(c.MultiLine);
    EXPECT_EQ(S.GetMarkText(c.Index), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, SeriesMarkText,
    testing::Values(MarkCase{smsValue, false, 0, "1,234.5"}, MarkCase{smsLabel, false, 0, "first"},
                    MarkCase{smsLabel, false, 1, "-765.5"}, // no label: the value
                    MarkCase{smsPercent, false, 0, "61.73 %"},
                    MarkCase{smsPercent, false, 1, "38.28 %"},
                    MarkCase{smsPercentTotal, false, 0, "61.73 % of 2,000"},
                    MarkCase{smsPercentTotal, true, 0, "61.73 %\rof 2,000"},
                    MarkCase{smsLabelPercent, false, 0, "first 61.73 %"},
                    MarkCase{smsLabelValue, true, 0, "first\r1,234.5"},
                    MarkCase{smsXValue, false, 1, "1"}, MarkCase{smsXY, false, 1, "1 -765.5"}));

TEST_F(SeriesText, PercentOfAZeroTotalIsAHundred) {
    S.AddY(0);
    S.AddY(0);
    S.Marks()->SetStyle(smsPercent);
    EXPECT_EQ(S.GetMarkText(0), "100 %");
}

TEST_F(SeriesText, OnGetMarkTextHasTheLastWord) {
    S.AddY(1);
    S.OnGetMarkText = [](TChartSeries*, int i, AnsiString& t) { t = t + "#" + AnsiString(i); };
    S.Marks()->SetStyle(smsValue);
    EXPECT_EQ(S.GetMarkText(0), "1#0");
}

struct LegendCase {
    TLegendTextStyle Style;
    int Index;
    AnsiString Expected;
};

class SeriesLegendText : public SeriesText, public testing::WithParamInterface<LegendCase> {};

TEST_P(SeriesLegendText, TextFollowsTheStyle) {
    const LegendCase& c = GetParam();
    S.AddXY(3, 25, "a");
    S.AddXY(4, 75);
    EXPECT_EQ(S.LegendString(c.Index, c.Style), c.Expected);
}

const AnsiString Sep(TeeColumnSeparator);

INSTANTIATE_TEST_SUITE_P(
    Styles, SeriesLegendText,
    testing::Values(LegendCase{ltsPlain, 0, "a"}, LegendCase{ltsPlain, 1, ""},
                    LegendCase{ltsLeftValue, 0, "25" + Sep + "a"},
                    LegendCase{ltsRightValue, 0, "a" + Sep + "25"},
                    LegendCase{ltsRightValue, 1, "75"}, // no label: no separator
                    LegendCase{ltsLeftPercent, 1, "75 %"},
                    LegendCase{ltsRightPercent, 0, "a" + Sep + "25 %"},
                    LegendCase{ltsXValue, 1, "4"}, LegendCase{ltsValue, 0, "25"},
                    LegendCase{ltsPercent, 0, "25 %"},
                    LegendCase{ltsXAndValue, 0, "3" + Sep + "25"},
                    LegendCase{ltsXAndPercent, 1, "4" + Sep + "75 %"}));

TEST_F(SeriesText, HorizontalSeriesLegendShowsXAndMarksShowTheOtherValue) {
    S.SetHorizontal();
    S.XValues()->SetOrder(loNone);
    S.YValues()->SetOrder(loAscending);
    S.AddXY(7, 3);
    EXPECT_EQ(S.LegendString(0, ltsXValue), "7");
    EXPECT_EQ(S.LegendString(0, ltsXAndValue), "7" + Sep + "7");
    S.Marks()->SetStyle(smsXValue);
    EXPECT_EQ(S.GetMarkText(0), "3");
}

TEST_F(SeriesText, AssignCopiesFormatAndPoints) {
    TChartSeries src(nullptr);
    src.SetValueFormat("0.00");
    src.SetSeriesColor(clRed);
    src.SetTitle("Source");
    src.AddY(1, "one", clBlue);
    src.AddY(2);
    S.AddY(99);
    S.Assign(&src);
    EXPECT_EQ(S.ValueFormat(), "0.00");
    EXPECT_EQ(S.SeriesColor(), clRed);
    EXPECT_EQ(S.Title(), "Source");
    ASSERT_EQ(S.Count(), 2);
    EXPECT_EQ(S.GetXLabel(0), "one");
    EXPECT_EQ(S.InternalColor(0), clBlue);
    EXPECT_EQ(S.YValues()->Value(1), 2);
}
