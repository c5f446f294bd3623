#include "axis_fixture.h"
#include "chart/engine/teeprocs.h"
#include "platform/rtl/formatsettings.h"
#include <climits>
#include <cmath>
#include <string>
#include <tuple>

namespace {
// The text argument of a recorded TextOut3D / RotateLabel3D call.
std::string TextOf(const TRecordedCall& Call) {
    const size_t a = Call.Text.find('"');
    const size_t b = Call.Text.rfind('"');
    return a == std::string::npos || b <= a ? std::string() : Call.Text.substr(a + 1, b - a - 1);
}
} // namespace

class AxisLabelsTest : public AxisPanelTest {
protected:
    AxisLabelsTest() {
        Canvas->Forward = false;
        ThousandSeparator = ',';
        DecimalSeparator = '.';
    }

    // Lays the axis out over the plot rectangle and draws it once.
    std::vector<std::string> Draw(TChartAxis* Axis, const TRect& Plot = TRect(20, 20, 620, 420)) {
        Chart->SetChartRect(Plot);
        Chart->ReCalcWidthHeight();
        Axis->AdjustMaxMin();
        Axis->InternalCalcPositions();
        Canvas->Clear();
        Axis->Draw(true);
        std::vector<std::string> texts;
        for (const TRecordedCall& c : Canvas->Calls())
            if (c.Depth == 0 && (c.Name == "TextOut3D" || c.Name == "RotateLabel3D"))
                texts.push_back(TextOf(c));
        return texts;
    }

    TChartAxis* Bottom(double Min, double Max) {
        TChartAxis* a = Chart->BottomAxis();
        a->SetLabelStyle(talValue);
        a->SetMinMax(Min, Max);
        return a;
    }
};

TEST_F(AxisLabelsTest, NextStepRunsOneTwoFive) {
    const double rows[][2] = {{0.3, 0.5},      {7, 10},  {20, 50},     {1, 2},
                              {2, 5},          {5, 10},  {0.05, 0.1},  {150, 200},
                              {0.0015, 0.002}, {4.5, 5}, {0.045, 0.05}};
    for (const auto& r : rows)
        EXPECT_DOUBLE_EQ(TChartAxis::NextStep(r[0]), r[1]) << r[0];
    EXPECT_GT(TChartAxis::NextStep(0), 0);
}

TEST_F(AxisLabelsTest, StepFromLabelWidthAndSeparation) {
    Canvas->CharWidth = 10; // "60" is 20 pixels: S = 22, 27 labels fit in 600
    TChartAxis* a = Bottom(0, 60);
    const auto texts = Draw(a);
    const std::vector<std::string> want = {"60", "55", "50", "45", "40", "35", "30",
                                           "25", "20", "15", "10", "5",  "0"};
    EXPECT_EQ(texts, want);
    ASSERT_EQ(a->Tick.size(), want.size());
    EXPECT_EQ(a->Tick.front(), 620);
    EXPECT_EQ(a->Tick[1], 570);
    EXPECT_EQ(a->Tick.back(), 20);
}

TEST_F(AxisLabelsTest, DesiredIncrementIsKeptWhileLabelsFit) {
    TChartAxis* a = Bottom(0, 60);
    a->SetIncrement(7);
    const std::vector<std::string> want = {"56", "49", "42", "35", "28", "21", "14", "7", "0"};
    EXPECT_EQ(Draw(a), want);
}

TEST_F(AxisLabelsTest, ZeroRangeDrawsOneLabel) {
    TChartAxis* a = Bottom(3, 3);
    a->SetMinMax(3, 3);
    // SetMinMax keeps a minimal range; the walk sees the stored values.
    a->SetAutomatic(false);
    Chart->SetChartRect(TRect(20, 20, 620, 420));
    Chart->ReCalcWidthHeight();
    a->InternalCalcPositions();
    a->IMinimum = a->IMaximum = 3;
    a->InternalCalcRange();
    Canvas->Clear();
    a->Draw(true);
    const auto calls = Canvas->Find("TextOut3D", 0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(TextOf(calls[0]), "3");
}

TEST_F(AxisLabelsTest, TooManyLabelsDrawNothing) {
    Canvas->CharWidth = 1;
    TChartAxis* a = Bottom(0, 20000);
    a->SetLabelsSeparation(0);
    a->SetAxisValuesFormat("0");
    EXPECT_TRUE(Draw(a, TRect(0, 0, 70000, 100)).empty());
    EXPECT_TRUE(a->Tick.empty());
}

TEST_F(AxisLabelsTest, LogarithmicLabelsFromZero) {
    TChartAxis* a = Chart->LeftAxis();
    a->SetLabelStyle(talValue);
    a->SetMinMax(0, 1000);
    a->SetLogarithmic(true);
    const std::vector<std::string> want = {"0.1", "1", "10", "100", "1,000"};
    EXPECT_EQ(Draw(a), want);
    a->SetMinMax(1, 64);
    a->SetLogarithmicBase(2);
    const std::vector<std::string> two = {"1", "2", "4", "8", "16", "32", "64"};
    EXPECT_EQ(Draw(a), two);
}

TEST_F(AxisLabelsTest, MonthLabelsOnADateAxis) {
    TAxisTestSeries* s = AddSeries();
    s->XValues()->SetDateTime(true);
    s->AddXY(EncodeDate(2024, 1, 10), 1);
    s->AddXY(EncodeDate(2024, 6, 20), 2);
    TChartAxis* a = Chart->BottomAxis();
    a->SetDateTimeFormat("yyyy-mm-dd");
    a->SetIncrement(DateTimeStep[dtOneMonth]);
    const std::vector<std::string> want = {"2024-06-01", "2024-05-01", "2024-04-01", "2024-03-01",
                                           "2024-02-01"};
    EXPECT_EQ(Draw(a), want);
    EXPECT_EQ(a->LabelValue(-1), "");
}

TEST_F(AxisLabelsTest, HalfMonthStepsOnADateAxis) {
    TAxisTestSeries* s = AddSeries();
    s->XValues()->SetDateTime(true);
    s->AddXY(EncodeDate(2024, 3, 3), 1);
    s->AddXY(EncodeDate(2024, 4, 20), 2);
    TChartAxis* a = Chart->BottomAxis();
    a->SetDateTimeFormat("mm-dd");
    a->SetIncrement(DateTimeStep[dtHalfMonth]);
    const std::vector<std::string> want = {"04-15", "04-01", "03-15"};
    EXPECT_EQ(Draw(a), want);
}

TEST_F(AxisLabelsTest, MultiLineLabelsAreDrawnAndMeasuredByLine) {
    TChartAxis* a = Bottom(0, 10);
    a->SetIncrement(10);
    a->SetLabelsMultiLine(true);
    Chart->OnGetAxisLabel = [](TChartAxis*, TChartSeries*, int, AnsiString& Text) {
        Text = "one two three";
    };
    EXPECT_EQ(a->LabelHeight(5), 30);
    EXPECT_EQ(a->LabelWidth(5), 30);
    const std::vector<std::string> want = {"one", "two", "three", "one", "two", "three"};
    EXPECT_EQ(Draw(a), want);
}

TEST_F(AxisLabelsTest, NextLabelEvent) {
    TChartAxis* a = Bottom(0, 100);
    Chart->OnGetNextAxisLabel = [](TChartAxis*, int, double&, bool&) {};
    const auto defaults = Draw(a);
    EXPECT_FALSE(defaults.empty());
    EXPECT_EQ(defaults.front(), "100");

    Chart->OnGetNextAxisLabel = [](TChartAxis*, int Index, double& Value, bool& Stop) {
        Stop = Index > 2;
        Value = Index * 25.0;
    };
    const std::vector<std::string> want = {"0", "25", "50"};
    EXPECT_EQ(Draw(a), want);

    // A handler that never stops is cut off.
    Chart->OnGetNextAxisLabel = [](TChartAxis*, int, double& Value, bool& Stop) {
        Stop = false;
        Value = 1;
    };
    EXPECT_EQ(Draw(a).size(), 2001u);
}

TEST_F(AxisLabelsTest, SeriesLabelsSkipOverlappingTexts) {
    TAxisTestSeries* s = AddSeries();
    for (int i = 0; i < 10; ++i)
        s->AddXY(i, i, "label nr " + IntToStr(i));
    TChartAxis* a = Chart->BottomAxis();
    EXPECT_EQ(a->CalcLabelStyle(), talText);
    // Points 60 pixels apart; a label of 60 pixels plus 10 % overlaps its neighbours.
    const std::vector<std::string> want = {"label nr 0", "label nr 2", "label nr 4", "label nr 6",
                                           "label nr 8"};
    EXPECT_EQ(Draw(a, TRect(30, 20, 570, 420)), want);
    a->SetLabelsSeparation(0);
    EXPECT_EQ(Draw(a, TRect(30, 20, 570, 420)).size(), 10u);
}

TEST_F(AxisLabelsTest, HugeSeparationKeepsLabelsApartInsteadOfWrapping) {
    TAxisTestSeries* s = AddSeries();
    for (int i = 0; i < 10; ++i)
        s->AddXY(i, i, "label nr " + IntToStr(i));
    TChartAxis* a = Chart->BottomAxis();
    a->SetLabelsSeparation(INT_MAX);
    EXPECT_EQ(Draw(a, TRect(30, 20, 570, 420)), std::vector<std::string>{"label nr 0"});
    // No label of 1000 pixels and more fits: the step of no room at all.
    Place(a, 0, 600, 0, 60);
    EXPECT_EQ(a->CalcXYIncrement(1000), a->CalcLabelsIncrement(0));
}

TEST_F(AxisLabelsTest, CustomItemsReplaceTheWalk) {
    TChartAxis* a = Bottom(0, 60);
    a->Items()->Add(10, "ten");
    a->Items()->Add(20);
    a->Items()->Add(99, "outside");
    const std::vector<std::string> want = {"ten", "20"};
    EXPECT_EQ(Draw(a), want);
    ASSERT_EQ(a->Tick.size(), 2u);
    EXPECT_EQ(a->Tick[0], 120);
}

TEST_F(AxisLabelsTest, LeftAxisLabelsAreRightAlignedAndCentredOnTicks) {
    TChartAxis* a = Chart->LeftAxis();
    a->SetLabelStyle(talValue);
    a->SetMinMax(0, 10);
    a->SetIncrement(5);
    Chart->SetChartRect(TRect(100, 20, 600, 420));
    Chart->ReCalcWidthHeight();
    a->AdjustMaxMin();
    a->InternalCalcPositions();
    TRect r = Chart->ChartRect();
    a->CalcRect(r, false);
    Canvas->Clear();
    a->Draw(false);
    EXPECT_EQ(a->PosAxis, 100);
    EXPECT_EQ(a->PosLabels, 93);
    const auto labels = Canvas->Find("TextOut3D", 0);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[0].Text, "TextOut3D(93,15,0,\"10\")");
    EXPECT_EQ(labels[2].Text, "TextOut3D(93,415,0,\"0\")");
    EXPECT_NE(Canvas->Text().find("SetTextAlign(2)"), std::string::npos);
    const auto ticks = Canvas->Find("DoHorizLine", 0);
    ASSERT_GE(ticks.size(), 3u);
    EXPECT_EQ(ticks[0].Text, "DoHorizLine(99,95,20)");
}

TEST_F(AxisLabelsTest, MaxLabelsWidthLeavesRoomForTheWidestEnd) {
    TChartAxis* a = Chart->LeftAxis();
    a->SetLabelStyle(talValue);
    a->SetMinMax(-1000, 50);
    Chart->SetChartRect(TRect(20, 20, 620, 420));
    Chart->ReCalcWidthHeight();
    a->AdjustMaxMin();
    a->InternalCalcPositions();
    // "-1,000" and a blank: 7 characters.
    EXPECT_EQ(a->MaxLabelsWidth(), 42);
    EXPECT_EQ(a->SizeLabels(), 42);
    a->SetLabelsAngle(90);
    EXPECT_EQ(a->SizeLabels(), 10);
}

TEST_F(AxisLabelsTest, LabelPlacementByAngle) {
    TChartAxis* a = Chart->BottomAxis();
    const struct {
        int Angle;
        const char* Call;
        int Align;
    } rows[] = {
        {0, "TextOut3D(100,200,0,\"12\")", 6},
        {90, "RotateLabel3D(95,200,0,\"12\",90)", 2},
        {180, "RotateLabel3D(100,200,0,\"12\",180)", 14},
        {270, "RotateLabel3D(105,200,0,\"12\",270)", 0},
        {45, "RotateLabel3D(92,208,0,\"12\",45)", 0},
        {30, "RotateLabel3D(100,200,0,\"12\",30)", 0},
    };
    for (const auto& r : rows) {
        Canvas->Clear();
        a->DrawAxisLabel(100, 200, r.Angle, "12");
        const auto log = Canvas->Log();
        ASSERT_EQ(log.size(), 4u) << r.Angle;
        EXPECT_EQ(log[0], "SetBackMode(" + std::to_string(int(cbmTransparent)) + ")") << r.Angle;
        EXPECT_EQ(log[1], "SetTextAlign(" + std::to_string(r.Align) + ")") << r.Angle;
        EXPECT_EQ(log[2], r.Call) << r.Angle;
    }
}

TEST_F(AxisLabelsTest, ExponentsAndFrames) {
    TChartAxis* a = Chart->BottomAxis();
    a->SetLabelsExponent(true);
    Canvas->Clear();
    a->DrawAxisLabel(100, 200, 0, "2E5");
    // Centred text: the raised exponent first, the mantissa left of it.
    auto texts = Canvas->Find("TextOut3D", 0);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "TextOut3D(100,198,0,\"5\")");
    EXPECT_EQ(texts[1].Text, "TextOut3D(93,200,0,\"2\")");

    a->SetLabelsExponent(false);
    a->Items()->Format()->SetTransparent(false);
    Canvas->Clear();
    a->DrawAxisLabel(100, 200, 0, "12");
    // The shadow comes first, then the frame.
    const auto boxes = Canvas->Find("Rectangle", 0);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().Text, "Rectangle(91,200,109,210)");
}

TEST_F(AxisLabelsTest, WalkKeepsTheEndLabelsWhenStepsAddUpRoundingErrors) {
    Canvas->CharWidth = 1;
    for (const auto& [lo, hi, inc] :
         {std::tuple{-1.0, 1.0, 0.05}, {-3.0, 0.0, 0.1}, {0.3, 2.0, 0.1}}) {
        TChartAxis* a = Bottom(lo, hi);
        a->SetLabelsSeparation(0);
        a->SetIncrement(inc);
        const auto texts = Draw(a);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.size(), size_t(std::lround((hi - lo) / inc)) + 1) << lo << ".." << hi;
        EXPECT_EQ(texts.back(), FloatToStr(lo).c_str()) << lo << ".." << hi;
    }
}

TEST_F(AxisLabelsTest, TextsFollowTheFormatAndTheSeparatorsFromDrawToDraw) {
    TChartAxis* a = Bottom(0, 2000);
    a->SetIncrement(1000);
    a->SetAxisValuesFormat("#,##0.0");
    const std::vector<std::string> first = Draw(a);
    EXPECT_EQ(Draw(a), first);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[1], "1,000.0");
    const char decimal = DecimalSeparator, thousand = ThousandSeparator;
    DecimalSeparator = ',';
    EXPECT_EQ(Draw(a)[1], "1,000,0");
    ThousandSeparator = '.';
    EXPECT_EQ(Draw(a)[1], "1.000,0");
    a->SetAxisValuesFormat("0.00");
    EXPECT_EQ(Draw(a)[1], "1000,00");
    DecimalSeparator = decimal;
    ThousandSeparator = thousand;
    EXPECT_EQ(a->LabelValue(-0.0), FormatFloat(a->AxisValuesFormat(), -0.0));
}
