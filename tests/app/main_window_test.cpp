// The main window as the program start builds it: SETUP.INI and its
// defaults, the optional menu items, the range table and the caption.
#include "app/display_help.h"
#include "app/pgt300.h"
#include "app/rxmcalimenu.h"
#include "app/setcpm.h"
#include "app_fixture.h"
#include "platform/forms/testhooks.h"
#include "support/pgt_sim.h"

TEST_F(AppTest, WithoutSetupIniTheDefaultsHold) {
    Start();
    EXPECT_EQ(Application->MainForm(), MainForm);
    EXPECT_EQ(MainForm->Caption(), "QM read out");
    EXPECT_EQ(MainForm->Exit1->Caption(), "Exit");
    EXPECT_EQ(MainForm->Device->Caption(), "Device");
    EXPECT_EQ(MainForm->View->Caption(), "View");
    EXPECT_EQ(MainForm->Help->Caption(), "?");
    EXPECT_FALSE(MainForm->View->Enabled());
    EXPECT_FALSE(MainForm->Opt11->Visible());
    EXPECT_FALSE(MainForm->Opt21->Visible());
    EXPECT_FALSE(MainForm->RXM_Calibrate->Visible());
    EXPECT_TRUE(MainForm->PGT3001->Visible());
    EXPECT_TRUE(MainForm->EFM640B1->Visible());
    EXPECT_EQ(MainForm->Sampling_time_Chart, 10);
    EXPECT_EQ(MainForm->Sampling_time_Display, 10);
    EXPECT_EQ(MainForm->Delta_U, 200);
    EXPECT_EQ(MainForm->Average_U, 1);
    EXPECT_DOUBLE_EQ(MainForm->ChartWidth, 0.6);
    EXPECT_EQ(MainForm->CPM_DataDirectory, MapWindowsPath("C:"));
    EXPECT_EQ(MainForm->Banner, "Banner.jpg");
    EXPECT_FALSE(MainForm->Chart1->Visible());
    EXPECT_TRUE(MainForm->ImageWallpaper->Visible());
    EXPECT_EQ(MainForm->Left(), (1280 - 1006) / 2);
    EXPECT_EQ(MainForm->Top(), (1024 - 700) / 2);
    EXPECT_TRUE(MainForm->SetupProblems().empty());
}

TEST_F(AppTest, OptionalMenusComeFromSetupIni) {
    WriteIni(
        "[Menue]\r\nMain_1=Ende\r\nText_Men_Opt_1=EFM 999\r\nText_Sub_Men_Opt_1=Field\r\n"
        "Text_Opt1_Unit=kV/m\r\nText_Opt1_2_Unit=MV/m\r\n"
        "Value_Opt1_LeftAxisMin=-20\r\nValue_Opt1_LeftAxisMax=20\r\nValue_Opt1_Calc_Factor=20\r\n"
        "Value_Opt1_2_LeftAxisMin=-3\r\nValue_Opt1_2_LeftAxisMax=3\r\n"
        "Value_Opt1_2_Calc_Factor=0.5\r\n"
        // A unipolar range is hidden; a group without its mode text stays hidden.
        "Text_Men_Opt_2=EFM 998\r\nValue_Opt2_LeftAxisMin=0\r\nValue_Opt2_LeftAxisMax=10\r\n"
        "[SetUP_ADC]\r\nSampling_time_Display=1000\r\n");
    char arg0[] = "qmreadout", arg1[] = "x", arg2[] = "CaLiBrAtE";
    char* argv[] = {arg0, arg1, arg2, nullptr};
    InitCommandLine(3, argv);
    Start();
    EXPECT_EQ(MainForm->Exit1->Caption(), "Ende");
    EXPECT_TRUE(MainForm->Opt11->Visible());
    EXPECT_EQ(MainForm->Opt11->Caption(), "EFM 999");
    EXPECT_EQ(MainForm->Opt111->Caption(), "Field");
    EXPECT_EQ(MainForm->Opt121->Caption(), "\xB1"
                                           "20kV/m");
    EXPECT_EQ(MainForm->Opt122->Caption(), "\xB1"
                                           "3MV/m");
    EXPECT_TRUE(MainForm->Opt121->Visible());
    EXPECT_FALSE(MainForm->Opt21->Visible());
    EXPECT_TRUE(MainForm->RXM_Calibrate->Visible());
    EXPECT_DOUBLE_EQ(MainForm->ChartWidth, 60);

    // The second item of the first group reads the Opt1_2 keys (code 72).
    MainForm->Opt122->Click();
    EXPECT_EQ(MainForm->RangeCode, 72);
    EXPECT_EQ(MainForm->ModelText, "EFM 999");
    EXPECT_EQ(MainForm->UnitText, "MV/m");
    EXPECT_DOUBLE_EQ(MainForm->RangeFactor, 0.5);
    EXPECT_EQ(MainForm->Caption(), "QM read out    Selected type =  EFM 999  Range : \xB1"
                                   "3MV/m");
}

// The file as the settings reader gives it: found in any letter case, keys in
// any letter case and spacing, quotes taken off, the first of two equal keys.
TEST_F(AppTest, SetupIniIsReadAsTheSettingsReaderGivesIt) {
    std::ofstream(Dir / "setup.ini", std::ios::binary)
        << "[setup_adc]\r\n AVERAGE_U = 4 \r\nAverage_U=9\r\n"
           "[MENUE]\r\nmain_1=\"Quit now\"\r\nBanner='logo.png'\r\n"
           "value_opt1_leftaxismax=1.5\r\n[CPM]\r\nTestOutput=yes\r\n";
    Responder.ExpectMessage("[CPM] TestOutput = \"yes\"", IDOK);
    Start();
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(MainForm->Average_U, 4);
    EXPECT_EQ(MainForm->Exit1->Caption(), "Quit now");
    EXPECT_EQ(MainForm->Banner, "logo.png");
    EXPECT_DOUBLE_EQ(MainForm->Value_Opt1_LeftAxisMax, 1.5);
    EXPECT_FALSE(MainForm->TestOutput);
    EXPECT_EQ(MainForm->SetupProblems().size(), 1u);
}

struct TBadIni {
    const char* Name;
    std::string Content; // "" with Folder: SETUP.INI is a folder
    bool Folder;
    const char* Reported;
};

class BadSetupIniTest : public AppTest, public ::testing::WithParamInterface<TBadIni> {};

TEST_P(BadSetupIniTest, GivesTheDefaultsAndSaysWhy) {
    const TBadIni& p = GetParam();
    if (p.Folder)
        fs::create_directories(Dir / "SETUP.INI");
    else
        WriteIni(p.Content);
    Responder.ExpectMessage(p.Reported, IDOK);
    Start();
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(MainForm->Average_U, 1);
    EXPECT_EQ(MainForm->Sampling_time_Chart, 10);
    EXPECT_EQ(MainForm->Sampling_time_Display, 10);
    EXPECT_DOUBLE_EQ(MainForm->Value_Opt1_LeftAxisMax, 0);
    EXPECT_FALSE(MainForm->SetupProblems().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadSetupIniTest,
    ::testing::Values(
        TBadIni{"Garbage",
                "[SetUP_ADC]\nAverage_U=many\nSampling_time_Chart=-5\nSampling_time_Display=0\n"
                "[Menue]\nValue_Opt1_LeftAxisMax=nan\n",
                false, "[SetUP_ADC] Average_U = \"many\""},
        TBadIni{"Huge", "[SetUP_ADC]\nAverage_U=3\n" + std::string(2 << 20, ';'), false,
                "larger than"},
        TBadIni{"Folder", "", true, "is a folder"}),
    [](const auto& info) { return std::string(info.param.Name); });

namespace {
struct TDecayChoices {
    const char* Name;
    std::string Ini;
    int VStart, VStop, TOffset;
    std::vector<const char*> Named; // in the start's one message
};
class DecayChoicesTest : public AppTest, public ::testing::WithParamInterface<TDecayChoices> {};
} // namespace

// The decay test's start, stop and offset choices come from [CPM]; a value
// that is no entry of its list takes the default and is named, with every
// other refused key (the calibration factors' too), in the one message of the
// start. The file stays as it was.
TEST_P(DecayChoicesTest, ComeFromSetupIniAndTheUnusableAreNamedOnce) {
    const TDecayChoices& r = GetParam();
    WriteIni(r.Ini);
    if (!r.Named.empty()) Responder.ExpectMessage(r.Named.front(), IDOK);
    Start();
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(CPMSetup->ComboBoxVStart->ItemIndex(), r.VStart);
    EXPECT_EQ(CPMSetup->ComboBoxVStop->ItemIndex(), r.VStop);
    EXPECT_EQ(CPMSetup->ComboBoxOffsetTime->ItemIndex(), r.TOffset);
    EXPECT_EQ(FormRXMCali->MaskEdit_k0->Text().Trim(), "200");
    ASSERT_EQ(Responder.Shown().size(), r.Named.empty() ? 0u : 1u);
    if (!r.Named.empty()) {
        EXPECT_EQ(Responder.Shown()[0].Caption, "SETUP.INI");
        const std::string said = Responder.Shown()[0].Text.c_str();
        for (const char* named : r.Named)
            EXPECT_NE(said.find(named), std::string::npos) << named << " in\n" << said;
        EXPECT_EQ(MainForm->SetupProblems().size(), r.Named.size()) << said;
    }
    EXPECT_EQ(ReadIni(), r.Ini);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecayChoicesTest,
    ::testing::Values(
        TDecayChoices{"Edges", "[CPM]\r\nvStart=0\r\nvStop=10\r\ntOffset=15\r\n", 0, 10, 15, {}},
        TDecayChoices{"NoEntries",
                      "[CPM]\r\nvStart=abc\r\nvStop=99\r\ntOffset=16\r\n",
                      10,
                      10,
                      2,
                      {"[CPM] vStart = \"abc\"", "[CPM] vStop = \"99\"", "[CPM] tOffset = \"16\""}},
        TDecayChoices{"WithOtherKeys",
                      "[SetUP_ADC]\r\nAverage_U=many\r\n[CPM]\r\nComPortIndex=x\r\nvStart=11\r\n"
                      "vStop=-1\r\ntOffset=7\r\n[RXM850]\r\nk0=abc\r\n",
                      10,
                      10,
                      7,
                      {"[SetUP_ADC] Average_U = \"many\"", "[CPM] vStart = \"11\"",
                       "[CPM] vStop = \"-1\"", "[CPM] ComPortIndex = \"x\"",
                       "[RXM850] k0 = \"abc\""}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(AppTest, RangeItemsSetTypeCodeAndCaption) {
    struct TRow {
        const char* Item;
        int Type, Code;
        const char* Unit;
        double Factor, Min, Max;
        const char* Caption;
    };
    const TRow rows[] = {
        {"N2kV1", 2, 26, "kV", 2, -2, 2,
         "EFM 640B  Range : \xB1"
         "2kV"},
        {"Plate_N1000V", 101, 42, "kV", 0.001, -1.001, 1,
         "CPM 690 V-Meter (Plate)  Range : \xB1"
         "1kV"},
        {"Plate_N400V", 101, 41, "V", 1, -401, 400,
         "CPM 690 V-Meter (Plate)  Range : \xB1"
         "400V"},
        {"N1MVm5", 1, 82, "MV/m", 1, -1, 1,
         "EFM 085  Range : \xB1"
         "1MV/m"},
        {"E_Feld_N200kVm", 103, 63, "kV/m", 1, -200, 200,
         "CPM 690 E-Field  Range : \xB1"
         "200kV/m"},
    };
    Start();
    for (const TRow& r : rows) {
        Item(r.Item)->Click();
        EXPECT_EQ(MainForm->DeviceType, r.Type) << r.Item;
        EXPECT_EQ(MainForm->RangeCode, r.Code) << r.Item;
        EXPECT_EQ(MainForm->UnitText, r.Unit) << r.Item;
        EXPECT_DOUBLE_EQ(MainForm->RangeFactor, r.Factor) << r.Item;
        TRangeRow row;
        ASSERT_TRUE(MainForm->FindRange(r.Code, row));
        EXPECT_DOUBLE_EQ(row.Minimum, r.Min) << r.Item;
        EXPECT_DOUBLE_EQ(row.Maximum, r.Max) << r.Item;
        EXPECT_EQ(MainForm->Caption(), AnsiString("QM read out    Selected type =  ") + r.Caption);
        EXPECT_TRUE(MainForm->View->Enabled());
    }
    // A code without a row leaves what the last one set.
    double factor = 7, minimum = 1, maximum = 2;
    AnsiString unit = "u";
    MainForm->GetRangeData(0, factor, unit, minimum, maximum);
    EXPECT_EQ(unit, "u");
    EXPECT_DOUBLE_EQ(factor, 7);
}

namespace {
// What the user chose before Info, and whether View is offered after its OK.
struct TInfoCase {
    const char* Name;
    std::vector<const char*> Items; // menu items clicked, in order
    bool ViewAfterOk;
};
void PrintTo(const TInfoCase& c, std::ostream* os) {
    *os << c.Name;
}
class InfoOkTest : public AppTest, public ::testing::WithParamInterface<TInfoCase> {};
} // namespace

TEST_P(InfoOkTest, GivesViewBackOnlyForARange) {
    TPgtSimulator sim;
    Time.Clock.Attach(&sim);
    Start();
    FoCom->ComPort1->SetDeviceName(sim.Path().c_str());
    for (const char* name : GetParam().Items) {
        Item(name)->Click();
        // A serial instrument's window ends by its close box, as the user leaves it.
        if (FormPGT300->Visible()) SimulateCloseBox(FormPGT300);
    }
    ASSERT_TRUE(MainForm->Enabled());
    MainForm->Help->Click();
    EXPECT_FALSE(MainForm->View->Enabled());
    SimulateClick(FormHelp->HelpOKButton);
    EXPECT_FALSE(FormHelp->Visible());
    EXPECT_TRUE(MainForm->Device->Enabled());
    EXPECT_EQ(MainForm->View->Enabled(), GetParam().ViewAfterOk);
    Time.Clock.Detach(&sim);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, InfoOkTest,
    ::testing::Values(TInfoCase{"Nothing", {}, false},
                      TInfoCase{"ConverterRange", {"N20kVm1"}, true},
                      TInfoCase{"PlateMonitorRange", {"Plate_N100V"}, true},
                      TInfoCase{"GroundingTester", {"Start_PGT300"}, false},
                      TInfoCase{"GroundingTesterAfterARange", {"N20kVm1", "Start_PGT300"}, false},
                      TInfoCase{"RangeAfterGroundingTester", {"Start_PGT300", "N2kV1"}, true}),
    [](const auto& info) { return std::string(info.param.Name); });

// Without a banner file the chart view shows the default logo: white title on blue.
TEST_F(AppTest, TheChartViewShowsTheDefaultLogoWithoutABanner) {
    Start();
    Item("N20kVm1")->Click();
    MainForm->Grafik1->Click();
    ASSERT_TRUE(MainForm->image_Manufac_Logo->Visible());
    TBitmap* logo = MainForm->image_Manufac_Logo->Picture()->Bitmap();
    ASSERT_EQ(logo->Width(), 329);
    ASSERT_EQ(logo->Height(), 81);
    TCanvas* c = logo->Canvas();
    EXPECT_EQ(c->Pixels(2, 2), TColor(0x804000));
    int white = 0;
    for (int x = 0; x < 329; ++x)
        white += c->Pixels(x, 40) == clWhite;
    EXPECT_GT(white, 10);
}
