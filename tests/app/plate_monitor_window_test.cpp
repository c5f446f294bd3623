// The plate monitor's set-up window: a decay test from set-up to saved CSV row,
// breaks, the set-up read back, the identity, its stored result files into a
// CSV file, and an instrument that stays silent.
#include "app/chartcpm.h"
#include "app/readeepromdata.h"
#include "app/setcpm.h"
#include "app_fixture.h"
#include "support/cpm_sim.h"

namespace {
std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    return out;
}

// The fields after date and time.
std::string Tail(const std::string& row) {
    const size_t first = row.find(';');
    return row.substr(row.find(';', first + 1) + 1);
}

class PlateMonitorWindowTest : public AppTest {
protected:
    void SetUp() override {
        Time.Clock.Attach(&Sim);
        Start();
        FoCom->ComPort1->SetDeviceName(Sim.Path().c_str());
        Item("CPM_Start")->Click();
        W = CPMSetup;
        ASSERT_TRUE(W->Visible());
    }
    void TearDown() override { Time.Clock.Detach(&Sim); }

    AnsiString Memo() const { return W->MemoDisplay->Text(); }
    bool ControlsEnabled() const {
        return W->BitBtnStart->Enabled() && W->BitBtnInfo->Enabled() &&
               W->BitBtnReadFile->Enabled() && W->GroupBoxsetup->Enabled() &&
               W->BitBtnCancel->Enabled();
    }
    // A decay test: two positive samples, an offset sample, then the result.
    void ScriptDecay(int pos10, int neg10, int offsetVolts) {
        Sim.Change([&] {
            Sim.DecayFrames = {
                TCpmSimulator::SampleFrame(0x00, 1000), TCpmSimulator::SampleFrame(0x00, 800),
                TCpmSimulator::SampleFrame(0x20, 15),
                TCpmSimulator::ResultFrame(1000, 100, 20, pos10, neg10, offsetVolts)};
        });
    }
    std::string Csv() const { return (Dir / "result.csv").string(); }

    TCpmSimulator Sim;
    TCPMSetup* W = nullptr;
};
} // namespace

TEST_F(PlateMonitorWindowTest, OpensWithTheDefaultsOfAMissingSetupIni) {
    EXPECT_EQ(Text(W->ComboBoxVStart), "1000V");
    EXPECT_EQ(Text(W->ComboBoxVStop), "500 V");
    EXPECT_EQ(Text(W->ComboBoxOffsetTime), "20 sec.");
    EXPECT_EQ(W->SelectMode->ItemIndex(), 0);
    EXPECT_FALSE(W->BitBtnSaveResult->Enabled());
    EXPECT_FALSE(MainForm->Enabled());
    EXPECT_EQ(W->Caption().Pos("CHARGE-PLATE Monitor / Port : "), 1);
}

struct TDecayMode {
    const char* Name;
    int Mode;
    const char* Payload; // set-up words 3..11 as sent
    bool PosShown, NegShown;
    const char* ModeText; // in the CSV row
};
void PrintTo(const TDecayMode& m, std::ostream* os) {
    *os << m.Name;
}

class PlateMonitorDecayTest : public PlateMonitorWindowTest,
                              public ::testing::WithParamInterface<TDecayMode> {};

TEST_P(PlateMonitorDecayTest, FromSetUpToTheSavedRow) {
    const TDecayMode& m = GetParam();
    W->SelectMode->SetItemIndex(m.Mode);
    W->ComboBoxVStop->SetItemIndex(2);
    ScriptDecay(23, 120, -123);
    W->BitBtnStart->Click();

    EXPECT_EQ(Sim.SetupPayload(), m.Payload);
    EXPECT_EQ(Text(W->LabelPosDecayTime), "2.3 sec");
    EXPECT_EQ(Text(W->LabelNegDecayTime), "12.0 sec");
    EXPECT_EQ(Text(W->LabelOffset), "-123.0 V");
    EXPECT_EQ(W->LabelPosDecayTime->Visible(), m.PosShown);
    EXPECT_EQ(W->LabelNegDecayTime->Visible(), m.NegShown);
    EXPECT_EQ(Text(W->GroupBoxOffset), "Offset");
    EXPECT_NE(Memo().Pos("Decay time measuring successful finished !"), 0);
    EXPECT_TRUE(ControlsEnabled());
    // The curve: the mark, two samples, the offset sample; reference lines alike.
    EXPECT_EQ(FormChartCPM->Series1->Count(), 4);
    EXPECT_EQ(FormChartCPM->Series2->Count(), 4);
    EXPECT_EQ(FormChartCPM->Series4->YValues()->Value(0), -1000);

    // A comment with a field separator and a line break stays one field.
    Responder.ExpectSave(AnsiString(Csv().c_str()));
    TPumpScript script;
    script.When([&] { return W->Edit1->Visible(); })
        .Do([&] { W->Edit1->SetText("plate A; left\r\nside"); })
        .Click(W->BitBtnOK);
    W->BitBtnSaveResult->Click();
    EXPECT_TRUE(Responder.Done());
    const auto lines = Lines(ReadFile(Csv()));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Device: CPM 690  V6.10 ;Serial No.: 12345678;Cal.Date: 01-05-2024");
    EXPECT_EQ(Tail(lines[2]), std::string(m.ModeText) + ";1000;100;20;2.3;12.0;-123.0;plate A, "
                                                        "left  side");
    EXPECT_FALSE(W->BitBtnSaveResult->Enabled()); // saved once
    EXPECT_TRUE(W->BitBtnSaveResult->Visible());
    EXPECT_FALSE(W->Edit1->Visible());

    W->BitBtnChart->Click();
    EXPECT_FALSE(W->Visible());
    ASSERT_TRUE(FormChartCPM->Visible());
    TStrings* title = FormChartCPM->Chart1->Title()->Text();
    ASSERT_EQ(title->Count(), 2);
    EXPECT_EQ(title->Strings(0), W->Edit1->Text());
    EXPECT_NE(title->Strings(0).Pos("plate A"), 0);
    EXPECT_EQ(title->Strings(1), "pos. decay 2.3 sec / neg. decay 12.0 sec / offset -123.0 V");
    FormChartCPM->BitBtn_Exit->Click();
    EXPECT_TRUE(W->Visible());
}

const TDecayMode DecayModes[] = {
    {"Auto", 0, "00000000100A020201", true, true, "Auto"},
    {"Pos", 1, "00000000210A020201", true, false, "Pos."},
    {"Neg", 2, "00000000320A020201", false, true, "Neg."},
};
INSTANTIATE_TEST_SUITE_P(Modes, PlateMonitorDecayTest, ::testing::ValuesIn(DecayModes),
                         [](const auto& info) { return std::string(info.param.Name); });
