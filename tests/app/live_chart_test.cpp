// The chart view's live measurement: figures, points, the scrolling time
// axis and the missing converter; then the operator's sequences on the
// converter and the simulated plate monitor (zoom, pan, Stop, Reset, Exit,
// reopen, Start; the instrument pulled, silent or garbled; the chart editor
// replacing the series).
#include "app_fixture.h"
#include "chart/control/teeseriestypes.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/formatsettings.h"
#include "support/cpm_sim.h"

namespace {
class LiveChartTest : public AppTest {
public:
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

TEST_F(LiveChartTest, TheTimeAxisScrollsOnceTimePassesTheChartWidth) {
    WriteIni("[SetUP_ADC]\nSampling_time_Chart=1000\nSampling_time_Display=1000\n");
    PlugConverter();
    FakeUsb::SetDefaultRaw(10);
    OpenChart("N20kVm1");
    TPumpScript script;
    script.AdvanceClockPerPump(100);
    // Until the next point's time passes 60 s the axis stays 0..60 s.
    script
        .When([] {
            const TChartSeries* s = MainForm->Series1;
            return s->Count() > 0 && s->XValues()->Last() + 1 < 60;
        })
        .Do([this] {
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

// ---------------------------------------------------------------------------
// Sequences of the operator's steps

namespace {
class ChartSequence : public LiveChartTest {
public:
    ~ChartSequence() override {
        if (Cpm) Time.Clock.Detach(Cpm.get());
        DecimalSeparator = '.';
    }
    // The plate monitor in its field mode instead of the converter.
    void UsePlateMonitor() {
        Cpm = std::make_unique<TCpmSimulator>();
        Time.Clock.Attach(Cpm.get());
        Cpm->Change([&] {
            Cpm->Display = "E-FIELD     " + std::string(1, '\0') + "20k" + "      12,34 kV/m";
            Cpm->Identity = "CPM 690  V6.20  12345678010524";
        });
        Start();
        FoCom->ComPort1->SetDeviceName(Cpm->Path().c_str());
        Item("E_Feld_N20kVm")->Click();
        MainForm->Grafik1->Click();
    }
    void UseConverter() {
        PlugConverter();
        FakeUsb::SetDefaultRaw(100);
        OpenChart("N20kVm1");
    }
    // Start, and Stop once the series holds Points more points; Also runs once
    // the series holds AlsoAt points (inside the loop).
    void Run(int Points, std::function<void()> Also = nullptr, int AlsoAt = 2) {
        const int until = Count() + Points, at = Count() + AlsoAt;
        TPumpScript script;
        if (Also) script.When([at] { return Count() >= at; }).Do(Also);
        script.When([until] { return Count() >= until; }).Click(MainForm->b_Stop_);
        MainForm->b_Start->Click();
        EXPECT_TRUE(script.Done());
    }
    // Start, expecting the run to end by a failure the operator is told of.
    void RunToFailure(std::function<void()> Also, int AlsoAt) {
        const int at = Count() + AlsoAt;
        TPumpScript script;
        script.When([at] { return Count() >= at; }).Do(Also);
        ExpectPortMessage();
        SimulateClick(MainForm->b_Start);
        EXPECT_TRUE(script.Done());
    }
    void ExpectPortMessage() { Responder.ExpectMessage(("Port " + Cpm->Path()).c_str(), IDOK); }
    static int Count() { return MainForm->LiveSeries()->Count(); }
    // Left button dragged across the plot: a zoom.
    void Zoom() { Drag(mbLeft, 0.3, 0.3, 0.6, 0.6); }
    // Right button dragged: the axes scroll with the mouse.
    void Pan() { Drag(mbRight, 0.2, 0.5, 0.9, 0.1); }
    void Drag(TMouseButton Button, double X0, double Y0, double X1, double Y1) {
        MainForm->Chart1->Repaint();
        const TRect r = MainForm->Chart1->ChartRect();
        auto x = [&r](double f) { return r.Left + static_cast<int>((r.Right - r.Left) * f); };
        auto y = [&r](double f) { return r.Top + static_cast<int>((r.Bottom - r.Top) * f); };
        SimulateMouse(MainForm->Chart1, TMouseAction::Down, Button, x(X0), y(Y0));
        SimulateMouse(MainForm->Chart1, TMouseAction::Move, Button, x(X1), y(Y1));
        SimulateMouse(MainForm->Chart1, TMouseAction::Up, Button, x(X1), y(Y1));
    }
    // Idle: the time axis from 0 to the chart width, nothing zoomed, Start usable.
    void ExpectIdleAxis() {
        EXPECT_FALSE(MainForm->Chart1->Zoomed());
        EXPECT_DOUBLE_EQ(Bottom()->Minimum(), 0);
        EXPECT_DOUBLE_EQ(Bottom()->Maximum(), MainForm->ChartWidth);
        EXPECT_EQ(Bottom()->MinimumOffset(), 0);
        EXPECT_TRUE(MainForm->b_Start->Enabled());
    }
    void ExpectIdleAfterFailure() {
        EXPECT_TRUE(Responder.Done());
        EXPECT_TRUE(MainForm->b_Start->Enabled());
        EXPECT_FALSE(FoCom->ComPort1->Active());
        EXPECT_EQ(Text(MainForm->Messwert), "---");
    }
    std::unique_ptr<TCpmSimulator> Cpm;
};

struct TChartCase {
    const char* Name;
    std::function<void(ChartSequence&)> Steps;
};

const TChartCase ChartCases[] = {
    {"ZoomWhileRunningThenReset",
     [](ChartSequence& t) {
         t.UseConverter();
         t.Run(6, [&t] { t.Zoom(); });
         EXPECT_TRUE(MainForm->Chart1->Zoomed());
         MainForm->b_Reset->Click();
         t.ExpectIdleAxis();
         EXPECT_EQ(t.Count(), 0);
         t.Run(3);
         EXPECT_EQ(t.Count(), 3);
     }},
    {"ZoomThenExitReopenStart",
     [](ChartSequence& t) {
         t.UseConverter();
         t.Run(5);
         t.Zoom();
         MainForm->b_Cancel->Click();
         EXPECT_FALSE(MainForm->Chart1->Visible());
         t.ExpectIdleAxis();
         MainForm->Grafik1->Click();
         t.ExpectIdleAxis();
         EXPECT_DOUBLE_EQ(t.Left()->Maximum(), 20 * 1.001);
         t.Run(3);
         EXPECT_EQ(t.Count(), 3);
     }},
    {"PanPastTheCurveThenExitReopenStart",
     [](ChartSequence& t) {
         t.UseConverter();
         t.Run(4, [&t] { t.Pan(); });
         t.Pan();
         MainForm->b_Cancel->Click();
         MainForm->Grafik1->Click();
         t.ExpectIdleAxis();
         EXPECT_DOUBLE_EQ(t.Left()->Minimum(), -20 * 1.001);
         EXPECT_DOUBLE_EQ(t.Left()->Maximum(), 20 * 1.001);
         t.Run(3);
     }},
    {"StopAndStartAgainCarryTheTimeOn",
     [](ChartSequence& t) {
         t.UseConverter();
         t.Run(3);
         const double last = MainForm->Series1->XValues()->Last();
         Sleep(5000); // the operator pauses: a stopped chart does not count it
         t.Run(2);
         const TChartValueList* x = MainForm->Series1->XValues();
         EXPECT_NEAR(x->Value(3), last + 0.01, 1e-9);
         EXPECT_GT(x->Value(4), x->Value(3));
         MainForm->b_Reset->Click();
         EXPECT_DOUBLE_EQ(MainForm->SampleTime, 0);
         t.Run(1);
         EXPECT_DOUBLE_EQ(x->Value(0), 0);
     }},
    {"PlateMonitorPointsStandAtTheirMeasuredTime",
     [](ChartSequence& t) {
         t.UsePlateMonitor();
         const uint32_t started = GetTickCount();
         t.Run(8);
         const double elapsed = (GetTickCount() - started) * 0.001;
         const TChartValueList* x = MainForm->Series1->XValues();
         // A reading takes far longer than the 10 ms period: the points show it.
         for (int i = 1; i < x->Count(); ++i)
             EXPECT_GT(x->Value(i) - x->Value(i - 1), 0.1) << i;
         EXPECT_LE(x->Last(), elapsed);
     }},
    {"PlateMonitorPulledMidRun",
     [](ChartSequence& t) {
         t.UsePlateMonitor();
         t.RunToFailure([&t] { t.Cpm->HangUp(); }, 3);
         t.ExpectIdleAfterFailure();
         EXPECT_EQ(MainForm->Maxwert->Text(), "12.34 kV/m"); // the maximum is a result: it stays
         // Start again: the port is gone, and the operator is told which one.
         t.ExpectPortMessage();
         SimulateClick(MainForm->b_Start);
         t.ExpectIdleAfterFailure();
         MainForm->b_Cancel->Click();
         EXPECT_TRUE(MainForm->Device->Enabled());
     }},
    {"PlateMonitorSilentAtStart",
     [](ChartSequence& t) {
         t.UsePlateMonitor();
         t.Cpm->SetFault(TSerialSimulator::Silent);
         t.ExpectPortMessage();
         SimulateClick(MainForm->b_Start);
         t.ExpectIdleAfterFailure();
         t.Cpm->SetFault(TSerialSimulator::None);
         t.Cpm->Settle();
         t.Run(2);
         EXPECT_EQ(MainForm->Messwert->Text(), "12.34 kV/m");
     }},
    {"PlateMonitorGarbledMidRun",
     [](ChartSequence& t) {
         t.UsePlateMonitor();
         t.RunToFailure([&t] { t.Cpm->SetFault(TSerialSimulator::Garbage); }, 2);
         t.ExpectIdleAfterFailure();
     }},
    {"GermanFiguresFromTheStart",
     [](ChartSequence& t) {
         DecimalSeparator = ',';
         t.UseConverter();
         EXPECT_EQ(MainForm->Maxwert->Text(), "0,00kV/m");
         EXPECT_EQ(MainForm->Minwert->Text(), "0,00kV/m");
         t.Run(1);
         EXPECT_EQ(MainForm->Messwert->Text(), "4,30kV/m");
         MainForm->b_Reset->Click();
         EXPECT_EQ(MainForm->Messwert->Text(), "0,00kV/m");
     }},
    {"EditorChangesTheSeriesType",
     [](ChartSequence& t) {
         t.UseConverter();
         t.Run(2);
         TChartSeries* s = MainForm->Series1;
         ChangeSeriesType(s, &TPointSeries::ClassInfo);
         t.Run(3);
         ASSERT_EQ(MainForm->Chart1->SeriesCount(), 1);
         EXPECT_EQ(MainForm->Chart1->Series(0), MainForm->Series1);
         EXPECT_TRUE(dynamic_cast<TPointSeries*>(MainForm->Chart1->Series(0)));
         EXPECT_EQ(MainForm->Chart1->Series(0)->Count(), 5);
         MainForm->b_Cancel->Click();
         EXPECT_EQ(t.Count(), 0);
     }},
    {"EditorDeletesTheSeries",
     [](ChartSequence& t) {
         t.UseConverter();
         t.Run(2);
         delete MainForm->Series1;
         EXPECT_EQ(MainForm->Chart1->SeriesCount(), 0);
         MainForm->b_Reset->Click();
         t.Run(3);
         ASSERT_EQ(MainForm->Chart1->SeriesCount(), 1);
         EXPECT_EQ(MainForm->Chart1->Series(0), MainForm->Series1);
         EXPECT_EQ(MainForm->Chart1->Series(0)->Count(), 3);
     }},
    {"EditorRenamesTheSeries",
     [](ChartSequence& t) {
         t.UseConverter();
         MainForm->Series1->SetName("Measured");
         MainForm->Series1->SetTitle("measured");
         t.Run(3);
         EXPECT_EQ(MainForm->Series1->Name(), "Measured");
         EXPECT_EQ(t.Count(), 3);
     }},
};

class ChartSequenceTest : public ChartSequence, public ::testing::WithParamInterface<TChartCase> {};
} // namespace

// No step may raise a message the sequence does not expect (the strict
// responder fails the test on any other box).
TEST_P(ChartSequenceTest, Runs) {
    GetParam().Steps(*this);
    EXPECT_TRUE(Responder.Done());
}

INSTANTIATE_TEST_SUITE_P(Operator, ChartSequenceTest, ::testing::ValuesIn(ChartCases),
                         [](const auto& i) { return std::string(i.param.Name); });
