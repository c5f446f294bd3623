// The plate monitor's live modes, on the chart and on the large-figure
// display, against the simulated instrument on a pseudo-terminal.
#include "app_fixture.h"
#include "support/cpm_sim.h"

namespace {
struct TMode {
    const char* Name;
    const char* Item;
    std::string Display; // the two 16-character lines
    const char* Payload; // set-up words 3..11 as sent
    const char* Unit;    // as the instrument reported it at Start
    double Value;        // scaled
    const char* ChartFigure;
    const char* DisplayFigure;
};

const std::string Pm(1, '\0'); // the display's plus-minus sign

const TMode Modes[] = {
    {"PlateKilovolt", "Plate_N1000V", "V-METER     " + Pm + "1kV" + "          523 V ",
     "010102023209010101", "kV", 0.523, "0.52kV", "0.523kV"},
    {"Plate400", "Plate_N400V", "V-METER     " + Pm + "400" + "       -123,4 V ",
     "010101013209010101", " V ", -123.4, "-123.40 V ", "-123 V "},
    {"Probe", "VP31_N200V", "V-METER VP31" + Pm + "200" + "        45,67 V ", "010001013209010101",
     " V ", 45.67, "45.67 V ", "46 V "},
    {"Field", "E_Feld_N20kVm", "E-FIELD     " + Pm + "20k" + "      12,34 kV/m",
     "020001013209010101", " kV/m", 12.34, "12.34 kV/m", "12.3 kV/m"},
    {"Overflow", "Plate_N400V", "V-METER     " + Pm + "400" + "  OVERFLOW      ",
     "010101013209010101", "V", 0, "OVERFLOW !", "OVERFLOW !"},
};

class PlateMonitorLiveTest : public AppTest, public ::testing::WithParamInterface<TMode> {
protected:
    void SetUp() override {
        Time.Clock.Attach(&Sim);
        Sim.Change([&] {
            Sim.Display = GetParam().Display;
            // Version 6.10 wants the field mode set by hand; this one takes the set-up.
            Sim.Identity = "CPM 690  V6.20  12345678010524";
        });
        Start();
        FoCom->ComPort1->SetDeviceName(Sim.Path().c_str());
        Item(GetParam().Item)->Click();
    }
    void TearDown() override { Time.Clock.Detach(&Sim); }
    void CheckSetupSent() {
        EXPECT_EQ(Sim.SetupPayload(), GetParam().Payload);
        EXPECT_EQ(MainForm->UnitText, GetParam().Unit);
        EXPECT_TRUE(Responder.Done());
    }
    TCpmSimulator Sim;
};
} // namespace

TEST_P(PlateMonitorLiveTest, OnTheChart) {
    const TMode& m = GetParam();
    MainForm->Grafik1->Click();
    TPumpScript script;
    script.When([] { return MainForm->Series1->Count() >= 2; }).Click(MainForm->b_Stop_);
    MainForm->b_Start->Click();
    CheckSetupSent();
    TChartSeries* s = MainForm->Series1;
    ASSERT_GE(s->Count(), 2);
    if (m.Value == 0) {
        EXPECT_TRUE(s->IsNull(0)); // 9999 is the instrument's overflow mark, not a value
        EXPECT_EQ(Text(MainForm->Messwert), "OVERFLOW !");
    } else {
        EXPECT_NEAR(s->YValues()->Value(1), m.Value, 1e-9);
        EXPECT_EQ(Text(MainForm->Messwert), m.ChartFigure);
        EXPECT_EQ(Text(m.Value > 0 ? MainForm->Maxwert : MainForm->Minwert), m.ChartFigure);
    }
    EXPECT_FALSE(FoCom->ComPort1->Active()); // Stop closes the port
}

TEST_P(PlateMonitorLiveTest, OnTheLargeDisplay) {
    const TMode& m = GetParam();
    TFormDisplay* d = FormDisplay;
    TPumpScript script;
    script.Click(d->b_Start)
        .When([d] { return d->LabelMesswert->Caption() != "0" + MainForm->UnitText; })
        .Click(d->b_Stop)
        .Do([d] {
            // Break moves the status box out of view.
            EXPECT_EQ(d->Memo_Status->Left(), 1000);
            EXPECT_EQ(d->Memo_Status->Width(), 85);
            EXPECT_EQ(Text(d->Memo_Status), "STOP");
        })
        .Click(d->bCancel);
    MainForm->Display->Click();
    EXPECT_TRUE(script.Done());
    CheckSetupSent();
    EXPECT_EQ(d->LabelMesswert->Caption(), m.DisplayFigure);
    if (m.Value != 0)
        EXPECT_EQ((m.Value > 0 ? d->LabelPosMaximum_Value : d->LabelNegMaximum_Value)->Caption(),
                  m.DisplayFigure);
    EXPECT_TRUE(MainForm->View->Enabled());
    EXPECT_FALSE(FoCom->ComPort1->Active()); // Exit closes the serial instruments' port
}

INSTANTIATE_TEST_SUITE_P(Modes, PlateMonitorLiveTest, ::testing::ValuesIn(Modes),
                         [](const auto& info) { return std::string(info.param.Name); });

// Firmware 6.10 takes the field mode only by hand: the set-up is announced but
// its data withheld, and after the operator's notice the readings come as usual.
class PlateMonitorField610Test : public AppTest {
protected:
    void SetUp() override {
        Application->SetTitle("QM read out"); // as the program's start gives it
        Time.Clock.Attach(&Sim);
        Sim.Change([&] { Sim.Display = "E-FIELD     " + Pm + "20k" + "      12,34 kV/m"; });
        Start();
        FoCom->ComPort1->SetDeviceName(Sim.Path().c_str());
        Item("E_Feld_N20kVm")->Click();
        Responder.ExpectMessage(
            "Please, select at the CPM 690 manually the E-Field mode and select the range !", IDOK);
    }
    void TearDown() override { Time.Clock.Detach(&Sim); }
    void CheckNoticeInsteadOfSetup() {
        EXPECT_TRUE(Responder.Done());
        ASSERT_FALSE(Responder.Shown().empty());
        // Titled as the program's other boxes, not left for the window system to name.
        EXPECT_EQ(Responder.Shown().front().Caption, "QM read out");
        EXPECT_EQ(Responder.Shown().front().Flags, MB_OK | MB_ICONINFORMATION);
        EXPECT_TRUE(MainForm->CPM_Version610);
        EXPECT_EQ(Sim.SetupPayload(), "");
        const auto commands = Sim.Commands();
        ASSERT_GE(commands.size(), 3u);
        EXPECT_EQ(commands[1], "w1");
        EXPECT_EQ(commands[2], "r2"); // taken as a request, not as the withheld set-up
        EXPECT_EQ(MainForm->UnitText, " kV/m");
    }
    TCpmSimulator Sim; // its identity says V6.10
};

TEST_F(PlateMonitorField610Test, OnTheChart) {
    MainForm->Grafik1->Click();
    TPumpScript script;
    script.When([] { return MainForm->Series1->Count() >= 2; }).Click(MainForm->b_Stop_);
    MainForm->b_Start->Click();
    CheckNoticeInsteadOfSetup();
    ASSERT_GE(MainForm->Series1->Count(), 2);
    EXPECT_NEAR(MainForm->Series1->YValues()->Value(1), 12.34, 1e-9);
    EXPECT_EQ(Text(MainForm->Messwert), "12.34 kV/m");
}

TEST_F(PlateMonitorField610Test, OnTheLargeDisplay) {
    TFormDisplay* d = FormDisplay;
    TPumpScript script;
    script.Click(d->b_Start)
        .When([d] { return d->LabelMesswert->Caption() != "0" + MainForm->UnitText; })
        .Click(d->b_Stop)
        .Click(d->bCancel);
    MainForm->Display->Click();
    EXPECT_TRUE(script.Done());
    CheckNoticeInsteadOfSetup();
    EXPECT_EQ(d->LabelMesswert->Caption(), "12.3 kV/m");
}
