// The close box of every window, as the window manager sends it: each window
// leaves as its own Exit, Cancel or OK does, and nothing stays disabled or
// hidden behind it.
#include "app/chartcpm.h"
#include "app/display_help.h"
#include "app/pgt300.h"
#include "app/portsettings.h"
#include "app/readeepromdata.h"
#include "app/rxm850.h"
#include "app/rxm850inputfilecomments.h"
#include "app/rxmcalimenu.h"
#include "app/setcpm.h"
#include "app_fixture.h"
#include "chart/control/teecommander.h"
#include "chart/editor/teeeditcha.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/series/teeextraseries.h"
#include "platform/forms/buttons.h"
#include "platform/forms/menus.h"
#include "platform/forms/testhooks.h"
#include "support/cpm_sim.h"
#include "support/pgt_sim.h"
#include "support/rxm_sim.h"

namespace {
// Each window opened the user's way, closed by its close box, and what the
// user then finds. Open may run a loop of its own (a modal window, an
// operator wait): the pump script sends the close box inside it, after the
// steps the user takes to get there.
class CloseBoxTest;
struct TCloseCase {
    const char* Name;
    std::function<TCustomForm*()> Window;
    std::function<void(CloseBoxTest&)> Open;
    std::function<void(CloseBoxTest&)> After;
    std::function<void(TPumpScript&)> Steps = {};
};
void PrintTo(const TCloseCase& c, std::ostream* os) {
    *os << c.Name;
}

class CloseBoxTest : public AppTest, public ::testing::WithParamInterface<TCloseCase> {
public:
    CloseBoxTest() {
        char arg0[] = "qmreadout", arg1[] = "calibrate";
        char* argv[] = {arg0, arg1, nullptr};
        InitCommandLine(2, argv);
        // As the program starts.
        InstallPortSettingsDialog();
        TeeExtraSeriesStartup();
        TeeEditorStartup();
        Start();
    }
    ~CloseBoxTest() override {
        for (TSerialSimulator* s : Attached)
            Time.Clock.Detach(s);
    }
    void Use(TSerialSimulator& Sim) {
        Time.Clock.Attach(&Sim);
        Attached.push_back(&Sim);
        FoCom->ComPort1->SetDeviceName(Sim.Path().c_str());
    }
    void Close(const TCloseCase& c) {
        TPumpScript script;
        if (c.Steps) c.Steps(script);
        script.When([&] { return c.Window() && c.Window()->Visible(); })
            .Do([&] { SimulateCloseBox(c.Window()); }, "close box");
        c.Open(*this);
        for (int i = 0; i < 20 && !script.Done(); ++i)
            Application->ProcessMessages();
        EXPECT_TRUE(script.Done()) << "the window never showed";
    }
    // The main window is back for the user: shown, enabled, its menus usable.
    static void ExpectMainWindowBack() {
        EXPECT_TRUE(MainForm->Visible());
        EXPECT_TRUE(MainForm->Enabled());
        EXPECT_TRUE(MainForm->Device->Enabled());
        EXPECT_TRUE(MainForm->Setup->Enabled());
    }
    void RunDecay() {
        Use(Cpm);
        Item("CPM_Start")->Click();
        Cpm.Change([&] {
            Cpm.DecayFrames = {TCpmSimulator::SampleFrame(0x00, 1000),
                               TCpmSimulator::SampleFrame(0x20, 15),
                               TCpmSimulator::ResultFrame(1000, 100, 20, 23, 120, -12)};
        });
        CPMSetup->BitBtnStart->Click();
        ASSERT_TRUE(CPMSetup->BitBtnSaveResult->Enabled());
    }
    using AppTest::Dir;
    using AppTest::Item;
    using AppTest::PlugConverter;
    using AppTest::QueueCounts;
    using AppTest::Responder;
    TCpmSimulator Cpm;
    TRxmSimulator Rxm;
    TPgtSimulator Pgt;
    std::vector<TSerialSimulator*> Attached;
};

template <class T> std::function<TCustomForm*()> Window(T*& Form) {
    return [&Form] { return static_cast<TCustomForm*>(Form); };
}
// A modal window of a class that exists only while it runs.
template <class T> std::function<TCustomForm*()> Active() {
    return [] { return static_cast<TCustomForm*>(dynamic_cast<T*>(Screen->ActiveForm())); };
}

void PortClosedAndMainBack(CloseBoxTest&) {
    EXPECT_FALSE(FoCom->ComPort1->Active());
    CloseBoxTest::ExpectMainWindowBack();
}
} // namespace

TEST_P(CloseBoxTest, LeavesAsItsOwnExitDoes) {
    const TCloseCase& c = GetParam();
    Close(c);
    EXPECT_FALSE(c.Window() && c.Window()->Visible());
    c.After(*this);
}

const TCloseCase CloseCases[] = {
    {"DecayChart", Window(FormChartCPM),
     [](CloseBoxTest& t) {
         t.RunDecay();
         CPMSetup->BitBtnChart->Click();
     },
     [](CloseBoxTest& t) {
         // Back to the set-up window, where the result is still to be saved.
         ASSERT_TRUE(CPMSetup->Visible());
         EXPECT_FALSE(MainForm->Enabled());
         const std::string csv = (t.Dir / "result.csv").string();
         t.Responder.ExpectSave(AnsiString(csv.c_str()));
         TPumpScript script;
         script.When([] { return CPMSetup->Edit1->Visible(); }).Click(CPMSetup->BitBtnOK);
         ASSERT_TRUE(CanUserReach(CPMSetup->BitBtnSaveResult));
         SimulateClick(CPMSetup->BitBtnSaveResult);
         EXPECT_TRUE(t.Responder.Done());
         EXPECT_TRUE(fs::exists(csv));
     }},
    {"PlateMonitor", Window(CPMSetup),
     [](CloseBoxTest& t) {
         t.Use(t.Cpm);
         t.Item("CPM_Start")->Click();
     },
     PortClosedAndMainBack},
    {"FileRange", Window(FormReadCPMFiles),
     [](CloseBoxTest& t) {
         t.Use(t.Cpm);
         t.Item("CPM_Start")->Click();
         t.Cpm.Change([&] { t.Cpm.SetupFields = "000000001009050204"; });
         CPMSetup->BitBtnReadFile->Click();
     },
     [](CloseBoxTest&) {
         // Read File ends as Abort ends it; the plate monitor's window goes on.
         EXPECT_TRUE(CPMSetup->Visible());
         EXPECT_TRUE(CanUserReach(CPMSetup->BitBtnStart));
         EXPECT_NE(CPMSetup->MemoDisplay->Text().Pos("User break !"), 0);
     }},
    {"Info", Window(FormHelp),
     [](CloseBoxTest& t) {
         t.Item("N20kVm1")->Click();
         MainForm->Help->Click();
     },
     [](CloseBoxTest&) {
         CloseBoxTest::ExpectMainWindowBack();
         EXPECT_TRUE(MainForm->View->Enabled()); // a device was chosen
     }},
    {"LargeDisplay", Window(FormDisplay),
     [](CloseBoxTest& t) {
         t.Item("N20kVm1")->Click();
         MainForm->Display->Click();
     },
     [](CloseBoxTest&) { CloseBoxTest::ExpectMainWindowBack(); }},
    {"LargeDisplayMeasuring", Window(FormDisplay),
     [](CloseBoxTest& t) {
         t.PlugConverter();
         for (int i = 0; i < 20; ++i)
             t.QueueCounts(100);
         t.Item("N20kVm1")->Click();
         MainForm->Display->Click();
     },
     [](CloseBoxTest&) {
         EXPECT_TRUE(MainForm->StopSampling);
         CloseBoxTest::ExpectMainWindowBack();
     },
     [](TPumpScript& s) { s.Click(FormDisplay->b_Start).After(3); }},
    {"ResistanceMeter", Window(FormRXM850),
     [](CloseBoxTest& t) {
         t.Use(t.Rxm);
         t.Item("RXM_850_Start")->Click();
     },
     PortClosedAndMainBack},
    {"StoredResistanceFiles", Window(FormRXM850FComment),
     [](CloseBoxTest& t) {
         t.Use(t.Rxm);
         t.Item("RXM_850_Start")->Click();
         FormRXM850->BitBtn_init->Click();
         // Comments not saved: the close box asks as Exit does.
         t.Responder.ExpectMessage("File is not saved yet", IDOK);
         FormRXM850->BitBtn_readFile->Click();
     },
     [](CloseBoxTest& t) {
         EXPECT_TRUE(FormRXM850->Visible());
         EXPECT_TRUE(CanUserReach(FormRXM850->BitBtn_exit));
         EXPECT_TRUE(t.Responder.Done());
     },
     [](TPumpScript& s) {
         s.Click(FormRXM850->BitBtn_OK_FileNo)
             .When([] { return FormRXM850FComment->Visible(); })
             .Do([] {
                 FormRXM850FComment->EditComments->SetText("plate B");
                 FormRXM850FComment->BitBtnNext->Click();
             });
     }},
    {"Calibration", Window(FormRXMCali),
     [](CloseBoxTest& t) {
         t.Use(t.Rxm);
         t.Item("RXM_Calibrate")->Click();
     },
     PortClosedAndMainBack},
    {"GroundingTester", Window(FormPGT300),
     [](CloseBoxTest& t) {
         t.Use(t.Pgt);
         t.Item("Start_PGT300")->Click();
     },
     PortClosedAndMainBack},
    {"ComPort", Window(Setup_COM), [](CloseBoxTest&) { MainForm->Com1->Click(); },
     [](CloseBoxTest&) { CloseBoxTest::ExpectMainWindowBack(); }},
    {"PortSettings", Active<TPortSettingsDialog>(),
     [](CloseBoxTest& t) {
         t.Use(t.Cpm);
         MainForm->Com1->Click();
         Setup_COM->BtSetComPara->Click();
     },
     [](CloseBoxTest&) {
         EXPECT_TRUE(Setup_COM->Visible());
         EXPECT_TRUE(CanUserReach(Setup_COM->BtOK));
         EXPECT_TRUE(CanUserReach(Setup_COM->BtSetComPara));
     }},
    {"ChartEditor", Active<TChartEditForm>(),
     [](CloseBoxTest& t) {
         t.Item("N20kVm1")->Click();
         MainForm->Grafik1->Click();
         MainForm->TeeCommander1->ButtonEdit()->Click();
     },
     [](CloseBoxTest&) {
         EXPECT_TRUE(MainForm->Enabled());
         EXPECT_TRUE(MainForm->Chart1->Visible());
     }},
};
INSTANTIATE_TEST_SUITE_P(Windows, CloseBoxTest, ::testing::ValuesIn(CloseCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The main window's close box ends the program as Exit does.
TEST_F(AppTest, MainWindowCloseBoxEndsTheProgramAsExitDoes) {
    Start();
    TExitTrap trap;
    EXPECT_THROW(SimulateCloseBox(MainForm), EProcessExit);
    EXPECT_TRUE(trap.Exited());
    EXPECT_EQ(trap.ExitCode(), 0);
}
