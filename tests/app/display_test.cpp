// The large-figure display in the operator's sequences, on the converter and
// the simulated plate monitor: Start, Break, Reset, Exit and reopening; the
// instrument pulled mid-run or silent at Start.
#include "app_fixture.h"
#include "support/cpm_sim.h"

namespace {
class DisplaySequence : public AppTest {
public:
    using AppTest::Responder;
    ~DisplaySequence() override {
        if (Cpm) Time.Clock.Detach(Cpm.get());
    }
    void UseConverter() {
        PlugConverter();
        FakeUsb::SetDefaultRaw(100); // 4.30kV/m in the ±20 kV/m range
        Start();
        Item("N20kVm1")->Click();
    }
    void UsePlateMonitor() {
        Cpm = std::make_unique<TCpmSimulator>();
        Time.Clock.Attach(Cpm.get());
        Cpm->Change([&] {
            Cpm->Display = "V-METER     " + std::string(1, '\0') + "400" + "       -123,4 V ";
            Cpm->Identity = "CPM 690  V6.20  12345678010524";
        });
        Start();
        FoCom->ComPort1->SetDeviceName(Cpm->Path().c_str());
        Item("Plate_N400V")->Click();
    }
    // Opens the display and runs the script's steps inside its modal loop.
    void Open(TPumpScript& Script) {
        MainForm->Display->Click();
        EXPECT_TRUE(Script.Done());
        EXPECT_FALSE(D->Visible());
        EXPECT_TRUE(MainForm->View->Enabled());
        EXPECT_TRUE(MainForm->Device->Enabled());
    }
    // Start, and Break once the current figure shows Figure.
    static void StartBreak(TPumpScript& Script, const AnsiString& Figure) {
        Script.Click(D->b_Start)
            .When([Figure] { return D->LabelMesswert->Caption() == Figure; })
            .Click(D->b_Stop);
    }
    // The box of the idle state after a Break: out of view, as designed.
    static void ExpectBreakStatus() {
        EXPECT_EQ(D->Memo_Status->Left(), 1000);
        EXPECT_EQ(D->Memo_Status->Width(), 85);
        EXPECT_EQ(D->Memo_Status->Text(), "STOP");
        EXPECT_TRUE(D->b_Start->Enabled());
    }
    void ExpectPortMessage() { Responder.ExpectMessage(("Port " + Cpm->Path()).c_str(), IDOK); }
    inline static TFormDisplay*& D = FormDisplay;
    std::unique_ptr<TCpmSimulator> Cpm;
};

struct TDisplayCase {
    const char* Name;
    std::function<void(DisplaySequence&)> Steps;
};

const TDisplayCase DisplayCases[] = {
    {"ConverterStartBreakStartResetExit",
     [](DisplaySequence& t) {
         t.UseConverter();
         TPumpScript s;
         s.Do([] {
             // As built: the status box at its design place.
             EXPECT_EQ(FormDisplay->Memo_Status->Left(), 850);
             EXPECT_EQ(FormDisplay->Memo_Status->Width(), 100);
         });
         s.Click(FormDisplay->b_Start).When([] {
             return FormDisplay->LabelMesswert->Caption() == "4.30kV/m";
         });
         s.Do([] {
             // Widened for the converter's sampling period.
             EXPECT_EQ(FormDisplay->Memo_Status->Left(), 725);
             EXPECT_EQ(FormDisplay->Memo_Status->Width(), 230);
             EXPECT_EQ(FormDisplay->Memo_Status->Text(), "RUN sampling time = 10 mSec.");
         });
         s.Click(FormDisplay->b_Stop).Do(DisplaySequence::ExpectBreakStatus);
         // The maxima stay across Break and Start, until Reset.
         s.Do([] { FakeUsb::SetDefaultRaw(50); });
         DisplaySequence::StartBreak(s, "2.15kV/m");
         s.Do([] { EXPECT_EQ(FormDisplay->LabelPosMaximum_Value->Caption(), "4.30kV/m"); });
         s.Click(FormDisplay->b_Reset).Do([] {
             EXPECT_EQ(FormDisplay->LabelPosMaximum_Value->Caption(), "0kV/m");
             EXPECT_EQ(FormDisplay->LabelMesswert->Caption(), "0kV/m");
             EXPECT_DOUBLE_EQ(MainForm->PosMax, -9999.0);
         });
         s.Click(FormDisplay->bCancel);
         t.Open(s);
         // Reopened: fresh figures, and Start runs again.
         TPumpScript again;
         again.Do([] { EXPECT_EQ(FormDisplay->LabelMesswert->Caption(), "0kV/m"); });
         DisplaySequence::StartBreak(again, "2.15kV/m");
         again.Click(FormDisplay->bCancel);
         t.Open(again);
     }},
    {"PlateMonitorStartBreakExit",
     [](DisplaySequence& t) {
         t.UsePlateMonitor();
         TPumpScript s;
         s.Click(FormDisplay->b_Start)
             .When([] { return FormDisplay->LabelMesswert->Caption() == "-123 V "; })
             .Do([] {
                 // Only the converter's period widens the box.
                 EXPECT_EQ(FormDisplay->Memo_Status->Left(), 850);
                 EXPECT_EQ(FormDisplay->Memo_Status->Width(), 100);
                 EXPECT_TRUE(FoCom->ComPort1->Active());
             })
             .Click(FormDisplay->b_Stop)
             .Do(DisplaySequence::ExpectBreakStatus)
             .Do([] { EXPECT_TRUE(FoCom->ComPort1->Active()); }) // Break keeps the port
             .Click(FormDisplay->bCancel);
         t.Open(s);
         EXPECT_FALSE(FoCom->ComPort1->Active());
     }},
    {"PlateMonitorPulledMidRun",
     [](DisplaySequence& t) {
         t.UsePlateMonitor();
         TPumpScript s;
         s.Click(FormDisplay->b_Start)
             .When([] { return FormDisplay->LabelMesswert->Caption() == "-123 V "; })
             .Do([&t] {
                 t.ExpectPortMessage();
                 t.Cpm->HangUp();
             })
             .When([] { return FormDisplay->b_Start->Enabled(); })
             .Do([&t] {
                 EXPECT_TRUE(t.Responder.Done());
                 EXPECT_EQ(FormDisplay->LabelMesswert->Caption(), "---");
                 EXPECT_EQ(FormDisplay->LabelNegMaximum_Value->Caption(), "-123 V ");
                 EXPECT_FALSE(FoCom->ComPort1->Active());
                 DisplaySequence::ExpectBreakStatus();
                 // Start again: the port is gone; said with its name.
                 t.ExpectPortMessage();
             })
             .Click(FormDisplay->b_Start)
             .When([] { return FormDisplay->b_Start->Enabled(); })
             .Click(FormDisplay->bCancel);
         t.Open(s);
     }},
    {"PlateMonitorSilentAtStart",
     [](DisplaySequence& t) {
         t.UsePlateMonitor();
         t.Cpm->SetFault(TSerialSimulator::Silent);
         TPumpScript s;
         s.Do([&t] { t.ExpectPortMessage(); })
             .Click(FormDisplay->b_Start)
             .When([] { return FormDisplay->b_Start->Enabled(); })
             .Do([&t] {
                 EXPECT_TRUE(t.Responder.Done());
                 EXPECT_NE(t.Responder.Shown().back().Text.Pos("Timeout"), 0);
                 EXPECT_FALSE(FoCom->ComPort1->Active());
                 t.Cpm->SetFault(TSerialSimulator::None);
                 t.Cpm->Settle();
             });
         DisplaySequence::StartBreak(s, "-123 V ");
         s.Click(FormDisplay->bCancel);
         t.Open(s);
     }},
};

class DisplaySequenceTest : public DisplaySequence,
                            public ::testing::WithParamInterface<TDisplayCase> {};
} // namespace

TEST_P(DisplaySequenceTest, Runs) {
    GetParam().Steps(*this);
    EXPECT_TRUE(Responder.Done());
}

INSTANTIATE_TEST_SUITE_P(Operator, DisplaySequenceTest, ::testing::ValuesIn(DisplayCases),
                         [](const auto& i) { return std::string(i.param.Name); });
