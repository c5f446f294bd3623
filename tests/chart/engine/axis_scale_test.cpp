#include "axis_fixture.h"
#include "chart/engine/teeconst.h"
#include <cmath>

using AxisScaleTest = AxisPanelTest;

TEST_F(AxisScaleTest, ValueToPixelOnBottomAndLeftAxes) {
    TChartAxis* b = Chart->BottomAxis();
    Place(b, 40, 640, 0, 60);
    EXPECT_EQ(b->CalcPosValue(30), 340);
    EXPECT_EQ(b->CalcPosValue(0), 40);
    EXPECT_EQ(b->CalcPosValue(60), 640);
    b->SetInverted(true);
    EXPECT_EQ(b->CalcPosValue(0), 640);
    EXPECT_EQ(b->CalcPosPoint(340), 30);

    TChartAxis* l = Chart->LeftAxis();
    Place(l, 20, 420, -1, 1);
    EXPECT_EQ(l->CalcPosValue(1), 20);
    EXPECT_EQ(l->CalcPosValue(-1), 420);
    EXPECT_DOUBLE_EQ(l->CalcPosPoint(220), 0);
    EXPECT_EQ(l->CalcSizeValue(0.5), 100);
    EXPECT_EQ(l->CalcSizeValue(-1), 0);
}

TEST_F(AxisScaleTest, ZeroRangeMapsToCentre) {
    TChartAxis* b = Chart->BottomAxis();
    Place(b, 40, 640, 5, 5);
    EXPECT_EQ(b->CalcXPosValue(5), 340);
    EXPECT_EQ(b->CalcXPosValue(-1e9), 340);
}

TEST_F(AxisScaleTest, HugeAndInvalidValuesStayWithinPixelLimit) {
    TChartAxis* l = Chart->LeftAxis();
    Place(l, 20, 420, 0, 1);
    EXPECT_EQ(l->CalcYPosValue(1e300), -TeeMaxPixelPos);
    EXPECT_EQ(l->CalcYPosValue(-1e300), TeeMaxPixelPos);
    const int nan = l->CalcYPosValue(std::nan(""));
    EXPECT_LE(std::abs(nan), TeeMaxPixelPos);
    // The unclamped pair still bounds its offsets.
    Chart->Axes()->SetFastCalc(true);
    EXPECT_GE(l->CalcYPosValue(1e300), 420 - TeeMaxPixelPos);
    Chart->Axes()->SetFastCalc(false);
}

TEST_F(AxisScaleTest, LogarithmicMapping) {
    TChartAxis* l = Chart->LeftAxis();
    l->SetLogarithmic(true);
    Place(l, 0, 300, 1, 1000);
    EXPECT_EQ(l->CalcYPosValue(1), 300);
    EXPECT_EQ(l->CalcYPosValue(10), 200);
    EXPECT_EQ(l->CalcYPosValue(1000), 0);
    // Zero or less sits on the axis start (the bottom of a vertical axis).
    EXPECT_EQ(l->CalcYPosValue(0), 300);
    EXPECT_NEAR(l->CalcPosPoint(100), 100, 1e-9);
    EXPECT_EQ(l->CalcPosPoint(0), 1000);
    EXPECT_EQ(l->CalcPosPoint(300), 1);
}

TEST_F(AxisScaleTest, SettersValidateAndNormalise) {
    TChartAxis* a = Chart->LeftAxis();
    a->SetMinMax(10, 0);
    EXPECT_EQ(a->Minimum(), 0);
    EXPECT_EQ(a->Maximum(), 10);
    EXPECT_FALSE(a->Automatic());
    a->SetMinMax(3, 3);
    EXPECT_EQ(a->Maximum(), 3 + 1e-10);

    struct Row {
        std::function<void()> Call;
        AnsiString Message;
    };
    const Row rows[] = {
        {[&] { a->SetMinimum(20); }, TeeMsg_AxisMinMax},
        {[&] { a->SetMaximum(-20); }, TeeMsg_AxisMaxMin},
        {[&] { a->SetIncrement(-1); }, TeeMsg_AxisIncrementNeg},
        {[&] { a->SetLabelsSeparation(-1); }, TeeMsg_AxisLabelSep},
        {[&] { a->SetLogarithmicBase(1); }, TeeMsg_AxisLogBase},
        {[&] { a->SetLogarithmicBase(-10); }, TeeMsg_AxisLogBase},
        {[&] { a->SetLogarithmicBase(std::nan("")); }, TeeMsg_AxisLogBase},
    };
    for (const Row& r : rows) {
        try {
            r.Call();
            ADD_FAILURE() << "no exception for " << r.Message;
        } catch (const AxisException& e) {
            EXPECT_EQ(e.Message, r.Message);
        }
    }
    EXPECT_EQ(a->Minimum(), 3);
    EXPECT_EQ(a->LogarithmicBase(), 10);
    a->SetLogarithmicBase(2);
    EXPECT_EQ(a->LogarithmicBase(), 2);
}

TEST_F(AxisScaleTest, MinimumAboveMaximumAcceptedWhileReading) {
    TChartAxis* a = Chart->LeftAxis();
    a->SetMinMax(0, 10);
    Chart->BeginLoading();
    a->SetMinimum(20);
    Chart->CancelLoading();
    EXPECT_EQ(a->Minimum(), 20);
}

TEST_F(AxisScaleTest, LogarithmicRefusesNegativeRangeAndDates) {
    TAxisTestSeries* s = AddSeries();
    s->AddXY(0, -5);
    s->AddXY(1, 5);
    try {
        Chart->LeftAxis()->SetLogarithmic(true);
        ADD_FAILURE();
    } catch (const AxisException& e) {
        EXPECT_EQ(e.Message, TeeMsg_AxisLogNotPositive);
    }
    EXPECT_FALSE(Chart->LeftAxis()->Logarithmic());
    s->XValues()->SetDateTime(true);
    try {
        Chart->BottomAxis()->SetLogarithmic(true);
        ADD_FAILURE();
    } catch (const AxisException& e) {
        EXPECT_EQ(e.Message, TeeMsg_AxisLogDateTime);
    }
}

TEST_F(AxisScaleTest, AutomaticRangeComesFromTheSeriesOnTheAxis) {
    TAxisTestSeries* s = AddSeries();
    s->AddXY(2, 10);
    s->AddXY(8, -4);
    TAxisTestSeries* other = AddSeries();
    other->SetVertAxis(aRightAxis);
    other->AddXY(-3, 100);
    Chart->LeftAxis()->AdjustMaxMin();
    EXPECT_EQ(Chart->LeftAxis()->IMinimum, -4);
    EXPECT_EQ(Chart->LeftAxis()->IMaximum, 10);
    Chart->BottomAxis()->AdjustMaxMin();
    EXPECT_EQ(Chart->BottomAxis()->IMinimum, -3);
    EXPECT_EQ(Chart->BottomAxis()->IMaximum, 8);
}

TEST_F(AxisScaleTest, ScrollOnlyWhenDataLieBeyond) {
    TAxisTestSeries* s = AddSeries();
    for (int i = 0; i <= 10; ++i)
        s->AddXY(i, i);
    TChartAxis* b = Chart->BottomAxis();
    b->SetMinMax(0, 10);
    b->Scroll(5, true);
    EXPECT_EQ(b->Maximum(), 10);
    b->Scroll(0, true);
    EXPECT_EQ(b->Maximum(), 10);
    b->SetMinMax(0, 6);
    b->Scroll(5, true);
    EXPECT_EQ(b->Minimum(), 5);
    EXPECT_EQ(b->Maximum(), 11);
    b->Scroll(-2, false);
    EXPECT_EQ(b->Minimum(), 3);
}

TEST_F(AxisScaleTest, MarginsWidenTheRange) {
    TChartAxis* b = Chart->BottomAxis();
    Chart->SetChartRect(TRect(40, 0, 640, 400));
    Chart->ReCalcWidthHeight();
    b->InternalCalcPositions();
    b->IMinimum = 0;
    b->IMaximum = 60;
    b->InternalCalcRange();
    b->AdjustMaxMinRect(TRect(60, 0, 60, 0));
    EXPECT_EQ(b->IStartPos, 40);
    EXPECT_EQ(b->IEndPos, 640);
    EXPECT_DOUBLE_EQ(b->IMinimum, -7.5);
    EXPECT_DOUBLE_EQ(b->IMaximum, 67.5);
    EXPECT_EQ(b->CalcPosValue(0), 100);
    // Margins wider than the axis leave the range alone.
    b->AdjustMaxMinRect(TRect(400, 0, 400, 0));
    EXPECT_DOUBLE_EQ(b->IMinimum, -7.5);
    EXPECT_DOUBLE_EQ(b->IMaximum, 67.5);
}

TEST_F(AxisScaleTest, PositionsAndRoomAroundThePlot) {
    TChartAxis* l = Chart->LeftAxis();
    Chart->SetChartRect(TRect(100, 50, 600, 450));
    Chart->ReCalcWidthHeight();
    l->SetStartPosition(25);
    l->SetEndPosition(75);
    l->InternalCalcPositions();
    EXPECT_EQ(l->IStartPos, 150);
    EXPECT_EQ(l->IEndPos, 350);
    EXPECT_EQ(l->ICenterPos, 250);
    // Axis line width 2 + 1, ticks 4.
    EXPECT_EQ(l->SizeTickAxis(), 7);
    l->SetPositionPercent(10);
    EXPECT_EQ(l->ApplyPosition(100, Chart->ChartRect()), 150);
    Chart->BottomAxis()->SetPositionPercent(10);
    EXPECT_EQ(Chart->BottomAxis()->ApplyPosition(450, Chart->ChartRect()), 410);
    l->SetPositionUnits(muPixels);
    EXPECT_EQ(l->ApplyPosition(100, Chart->ChartRect()), 110);
}

TEST_F(AxisScaleTest, CustomAxesJoinTheCollectionAndNameThemselves) {
    EXPECT_EQ(Chart->Axes()->Count(), 5);
    EXPECT_EQ(Chart->CustomAxes()->Count(), 0);
    TChartAxis* custom = Chart->CustomAxes()->Get(0 + Chart->CustomAxes()->Add()->Index());
    EXPECT_EQ(Chart->Axes()->Count(), 6);
    EXPECT_EQ(Chart->Axes()->Get(5), custom);
    EXPECT_TRUE(custom->IsCustom());
    EXPECT_FALSE(Chart->LeftAxis()->IsCustom());
    EXPECT_EQ(custom->DisplayName(), "Custom 0");
    EXPECT_EQ(Chart->LeftAxis()->DisplayName(), TeeMsg_LeftAxis);

    TAxisTestSeries* s = AddSeries();
    s->SetCustomVertAxis(custom);
    EXPECT_EQ(s->GetVertAxis(), custom);
    Chart->CustomAxes()->Delete(0);
    EXPECT_EQ(Chart->Axes()->Count(), 5);
    EXPECT_EQ(s->VertAxis(), aLeftAxis);
    EXPECT_EQ(s->GetVertAxis(), Chart->LeftAxis());
}
