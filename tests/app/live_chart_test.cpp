// The chart view's live measurement with the converter: figures, points,
// overflow, the scrolling time axis, Reset, Exit and the missing converter.
#include "app_fixture.h"
#include "platform/rtl/clock.h"

namespace {
class LiveChartTest : public AppTest {
protected:
    void OpenChart(const char* RangeItem) {
        Start();
        Item(RangeItem)->Click();
        MainForm->Grafik1->Click();
    }
    // Start, then Stop once the series holds Points points.
    void RunUntil(int Points, TPumpScript& Script) {
        Script.When([Points] { return MainForm->Series1->Count() >= Points; })
            .Click(MainForm->b_Stop_);
        MainForm->b_Start->Click();
        EXPECT_TRUE(Script.Done());
    }
    TChartAxis* Bottom() { return MainForm->Chart1->BottomAxis(); }
    TChartAxis* Left() { return MainForm->Chart1->LeftAxis(); }
};
} // namespace

TEST_F(LiveChartTest, ThreePointsOfTheFieldMeterWithTheirFiguresAndOverflow) {
    PlugConverter();
    QueueCounts(100);  // 214.8 mV
    QueueCounts(-200); // -429.6 mV
    QueueCounts(698);  // 1499.3 mV: beyond 1.02 V, but its whole part is 1: not read again
    OpenChart("N20kVm1");
    EXPECT_EQ(MainForm->Caption(), "QM read out    Selected type =  EFM 640B  Range : \xB1"
                                   "20kV/m");
    EXPECT_DOUBLE_EQ(Left()->Minimum(), -20 * 1.001);
    EXPECT_DOUBLE_EQ(Left()->Maximum(), 20 * 1.001);
    EXPECT_EQ(Left()->Title()->Caption(), "kV/m");
    EXPECT_EQ(Bottom()->Title()->Caption(), "Time sek.");
    EXPECT_EQ(MainForm->Chart1->Title()->Text()->Text(), "--EFM 640B--\r\n");
    EXPECT_EQ(Text(MainForm->Maxwert), "0.00kV/m");
    EXPECT_FALSE(MainForm->View->Enabled());
    EXPECT_FALSE(MainForm->Device->Enabled());

    TPumpScript script;
    RunUntil(3, script);
    TChartSeries* s = MainForm->Series1;
    ASSERT_EQ(s->Count(), 3);
    // Measured time: a cycle takes 41 ms of the clock (the converter's pair of
    // reads and the wait), far more than the 10 ms period.
    const double x[] = {0, 0.041, 0.082};
    const double y[] = {100 * 2.148e-3 * 20, -200 * 2.148e-3 * 20, 698 * 2.148e-3 * 20};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(s->XValues()->Value(i), x[i], 1e-12) << i;
        EXPECT_NEAR(s->YValues()->Value(i), y[i], 1e-9) << i;
    }
    EXPECT_EQ(Text(MainForm->Messwert), "OVERFLOW !");
    EXPECT_EQ(Text(MainForm->Maxwert), "OVERFLOW !");
    EXPECT_EQ(Text(MainForm->Minwert), "-8.59kV/m");
    EXPECT_DOUBLE_EQ(MainForm->PosMax, y[2]);
    EXPECT_EQ(MainForm->laSampleTime->Caption(), "Sample time = 10 mSek");
    EXPECT_EQ(MainForm->Chart1->Title()->Text()->Strings(0).SubString(1, 22),
              "--EFM 640B--  Start : ");
    EXPECT_TRUE(MainForm->b_Start->Enabled());
    EXPECT_TRUE(MainForm->ClearChartOnReset);
}

TEST_F(LiveChartTest, TheNoValueMarkLeavesAGapAndShowsOverflow) {
    PlugConverter();
    QueueCounts(100);
    // Both attempts fail: the converter's averaged read gives its no-value mark.
    for (int i = 0; i < 1000; ++i)
        FakeUsb::QueueReply({-5, {}});
    OpenChart("N20kVm1");
    TPumpScript script;
    RunUntil(2, script);
    TChartSeries* s = MainForm->Series1;
    ASSERT_EQ(s->Count(), 2);
    EXPECT_FALSE(s->IsNull(0));
    EXPECT_TRUE(s->IsNull(1));
    EXPECT_LT(s->MaxYValue(), 20); // never drawn as 9999 x factor
    EXPECT_EQ(Text(MainForm->Messwert), "OVERFLOW !");
    EXPECT_EQ(Text(MainForm->Maxwert), "OVERFLOW !");
}

TEST_F(LiveChartTest, TheTimeAxisScrollsOnceTimePassesTheChartWidth) {
    WriteIni("[SetUP_ADC]\nSampling_time_Chart=1000\nSampling_time_Display=1000\n");
    PlugConverter();
    FakeUsb::SetDefaultRaw(10);
    OpenChart("N20kVm1");
    TPumpScript script;
    script.AdvanceClockPerPump(100);
    // Until the next point's time passes 60 s the axis stays 0..60 s.
    script.When([] {
              const TChartSeries* s = MainForm->Series1;
              return s->Count() > 0 && s->XValues()->Last() + 1 < 60;
          }).Do([this] {
        EXPECT_DOUBLE_EQ(Bottom()->Maximum(), 60);
        EXPECT_EQ(Bottom()->MinimumOffset(), 0);
    });
    script.When([] { return MainForm->SampleTime > 62; }).Click(MainForm->b_Stop_);
    MainForm->b_Start->Click();
    EXPECT_TRUE(script.Done());
    const double t = MainForm->SampleTime;
    EXPECT_DOUBLE_EQ(Bottom()->Maximum(), t);
    EXPECT_EQ(Bottom()->MinimumOffset(), 10 * static_cast<int>(60 - t));
    EXPECT_NEAR(MainForm->Series1->XValues()->Last() + 1, t, 1e-9);
    EXPECT_FALSE(Bottom()->Automatic());
}

TEST_F(LiveChartTest, ResetAfterStopClearsTheCurveAndExitClosesTheView) {
    PlugConverter();
    FakeUsb::SetDefaultRaw(100);
    OpenChart("N20kVm1");
    TPumpScript script;
    // Reset while running restarts only the maxima.
    script.When([] { return MainForm->Series1->Count() == 2; }).Do([] {
        MainForm->b_Reset->Click();
        EXPECT_EQ(Text(MainForm->Maxwert), "0.00kV/m");
        EXPECT_DOUBLE_EQ(MainForm->PosMax, -9999.0);
        EXPECT_EQ(MainForm->Series1->Count(), 2);
    });
    RunUntil(4, script);
    EXPECT_EQ(MainForm->Series1->Count(), 4);

    MainForm->b_Reset->Click();
    EXPECT_EQ(MainForm->Series1->Count(), 0);
    EXPECT_DOUBLE_EQ(MainForm->SampleTime, 0);
    EXPECT_EQ(Text(MainForm->Messwert), "0.00kV/m");

    MainForm->b_Cancel->Click();
    EXPECT_TRUE(MainForm->ImageWallpaper->Visible());
    EXPECT_FALSE(MainForm->Chart1->Visible());
    EXPECT_FALSE(MainForm->GroupBox1->Visible());
    EXPECT_TRUE(MainForm->View->Enabled());
    EXPECT_TRUE(MainForm->Device->Enabled());
    EXPECT_EQ(Text(MainForm->Messwert), "");
}

TEST_F(LiveChartTest, AMissingConverterShowsTheNoticeForFiveSecondsAndEndsWithMinusOne) {
    OpenChart("N20kVm1");
    const uint32_t before = GetTickCount();
    TExitTrap trap;
    EXPECT_THROW(MainForm->b_Start->Click(), EProcessExit);
    EXPECT_EQ(trap.ExitCode(), -1);
    EXPECT_TRUE(MainForm->Error_1->Visible());
    EXPECT_EQ(MainForm->Error_1->Lines()->Strings(2), "USB ADC device not found !");
    EXPECT_GE(GetTickCount() - before, 5000u);
}

TEST_F(LiveChartTest, ExitInTheMenuEndsTheProgramWithZero) {
    Start();
    TExitTrap trap;
    EXPECT_THROW(MainForm->Exit1->Click(), EProcessExit);
    EXPECT_EQ(trap.ExitCode(), 0);
}
