// The program start (single instance, the windows in order, the program as
// a process), the COM port window and the help window's version block.
#include "app/display_help.h"
#include "app/portsettings.h"
#include "app/setcpm.h"
#include "app_fixture.h"
#include "support/cpm_sim.h"
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>

namespace {
struct TArgs {
    std::vector<std::string> Words; // after the program path
    TInstanceCheck Expected;
};

class InstanceTest : public AppTest, public ::testing::WithParamInterface<TArgs> {};
} // namespace

TEST_P(InstanceTest, ASecondInstanceRunsOnlyWithTask) {
    AnsiString reason;
    ASSERT_EQ(CheckSingleInstance("qmreadout", reason), TInstanceCheck::Run);
    std::vector<std::string> words{"qmreadout"};
    words.insert(words.end(), GetParam().Words.begin(), GetParam().Words.end());
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(w.data());
    InitCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(CheckSingleInstance("qmreadout", reason), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Args, InstanceTest,
    ::testing::Values(TArgs{{}, TInstanceCheck::AlreadyRunning},
                      TArgs{{"TASK"}, TInstanceCheck::Run},
                      TArgs{{"a", "b", "c", "calibrate", "Task"}, TInstanceCheck::Run},
                      TArgs{{"a", "b", "c", "d", "e", "task"}, TInstanceCheck::AlreadyRunning}));

TEST_F(AppTest, ALockThatCannotBeMadeIsReportedNotTakenForASecondInstance) {
    SetLockFolderOverride(AnsiString((Dir.string() + "/missing/").c_str()));
    AnsiString reason;
    EXPECT_EQ(CheckSingleInstance("qmreadout", reason), TInstanceCheck::LockFailed);
    EXPECT_GT(reason.Pos("could not be made"), 0);
}

TEST_F(AppTest, TheTwelveWindowsAreCreatedInOrderAndOnlyTheMainOneShows) {
    Start();
    const char* order[] = {"TMainForm",     "TFormDisplay",        "TFormHelp",
                           "TFoCom",        "TCPMSetup",           "TSetup_COM",
                           "TFormChartCPM", "TFormReadCPMFiles",   "TFormRXM850",
                           "TFormRXMCali",  "TFormRXM850FComment", "TFormPGT300"};
    ASSERT_EQ(Application->ComponentCount(), 12);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(Application->Components(i)->ClassName(), order[i]);
        auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
        EXPECT_EQ(form->Visible(), i == 0) << order[i];
    }
}

TEST_F(AppTest, TheMainWindowTellsItsFirstPaintOnceAndOnlyWhenPainted) {
    CreateProgramWindows();
    int told = 0;
    MainForm->OnFirstPaint = [&told](TObject*) { ++told; };
    Application->ProcessMessages();
    EXPECT_EQ(told, 0) << "told before the window was shown";
    MainForm->Show();
    for (int i = 0; i < 100 && told == 0; ++i)
        Application->ProcessMessages();
    EXPECT_EQ(told, 1);
    MainForm->Hide();
    MainForm->Show();
    for (int i = 0; i < 20; ++i)
        Application->ProcessMessages();
    EXPECT_EQ(told, 1) << "told again at a later paint";
}

// The start writes only in the bundled font families: the system's fonts are
// not read before the main window's first paint. In a process of its own, as
// the program starts.
using StartDeathTest = AppTest;
TEST_F(StartDeathTest, TheFirstPaintReadsNoFontOfTheSystems) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CreateProgramWindows();
            int told = 0;
            MainForm->OnFirstPaint = [&told](TObject*) { ++told; };
            MainForm->Show();
            for (int i = 0; i < 100 && told == 0; ++i)
                Application->ProcessMessages();
            const bool read = SystemFontsRead();
            std::error_code ec;
            fs::remove_all(Dir, ec);
            std::exit(told == 1 && !read ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(AppTest, TheBuiltProgramShowsItsMainWindowAndASecondOneEndsAtOnce) {
    const fs::path report = Dir / "windows.txt";
    // The platform may come with options: the screen a user has.
    const fs::path screen = Dir / "screen.json";
    std::ofstream(screen) << R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": 1280,)"
                             R"( "height": 1024, "logicalDpi": 96, "dpr": 1}]})";
    const std::string platform = "offscreen:configfile=" + screen.string();
    auto launch = [&](bool Report) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("QT_QPA_PLATFORM", Report ? platform.c_str() : "offscreen", 1);
            if (Report) ::setenv("QM_WINDOW_REPORT", report.c_str(), 1);
            ::execl(QM_PROGRAM_PATH, QM_PROGRAM_PATH, nullptr);
            ::_exit(127);
        }
        return pid;
    };
    // The lock folder of the process is the default one: ask for a private one.
    ::setenv("XDG_RUNTIME_DIR", Dir.c_str(), 1);
    const pid_t first = launch(true);
    for (int i = 0; i < 500 && !fs::exists(report); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const pid_t second = launch(false);
    int status = -1;
    ::waitpid(second, &status, 0);
    ::kill(first, SIGTERM);
    ::waitpid(first, nullptr, 0);
    ::unsetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(fs::exists(report));
    std::ifstream in(report);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "TMainForm\tQM read out\t1006x700\tmain");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(AppTest, TheHelpWindowShowsTheTextAndTheVersionBlock) {
    std::ofstream(ParamStr(0).c_str()) << "program";
    Start();
    MainForm->Help->Click();
    EXPECT_TRUE(FormHelp->Visible());
    EXPECT_FALSE(MainForm->Device->Enabled());
    EXPECT_FALSE(MainForm->Setup->Enabled());
    EXPECT_EQ(FormHelp->HelpMemo->Lines()->Strings(2),
              "- For CPM 690,RXM 850 or PGT 300 operating mode set the used ");
    TStrings* v = FormHelp->MemoVersions->Lines();
    ASSERT_GE(v->Count(), 7);
    EXPECT_EQ(v->Strings(0), "Product name\tQM read out");
    EXPECT_EQ(v->Strings(1), "File version\t1.0.0.0");
    EXPECT_EQ(v->Strings(2), "Product version\t1.0.0.0");
    EXPECT_EQ(v->Strings(3), "File size      \t7");
    EXPECT_EQ(v->Strings(4).Length(),
              int(std::string("Created        \t2024/01/01\t12:00").size()));
    EXPECT_EQ(v->Strings(6).SubString(1, 17), "Last access     \t");
    EXPECT_EQ(v->Strings(6).Length(), 27); // the date only

    // Without version data the block starts with the size.
    TFormHelp::TFileInfo info;
    const AnsiString text = TFormHelp::VersionText(ParamStr(0), nullptr, info);
    EXPECT_EQ(text.SubString(1, 10), "File size ");

    FormHelp->HelpOKButton->Click();
    EXPECT_FALSE(FormHelp->Visible());
    EXPECT_TRUE(MainForm->Device->Enabled());
    EXPECT_FALSE(MainForm->View->Enabled()); // no range chosen yet
}

TEST_F(AppTest, ChoosingAComPortWritesOnlyItsIndexAndEnablesTheInstruments) {
    TCpmSimulator sim;
    AddPort(1, sim.Path());
    AddPort(2, sim.Path());
    const std::string before = "; lab settings\r\n[SetUP_ADC]\r\n; pairs\r\nAverage_U = 3\r\n"
                               "\r\n[CPM]\r\nComPortIndex=7\r\nvStart=1000\r\n";
    WriteIni(before);
    Responder.ExpectMessage("[CPM] vStart = \"1000\"", IDOK); // no entry of its list
    Start();
    // A stored index beyond the list chooses nothing: no instrument can be reached.
    EXPECT_EQ(MainForm->ComPortName, "");
    EXPECT_FALSE(MainForm->CPM6901->Enabled());
    EXPECT_FALSE(MainForm->RXM8501->Enabled());
    EXPECT_FALSE(MainForm->PGT3001->Enabled());

    MainForm->Com1->Click();
    EXPECT_TRUE(Setup_COM->Visible());
    Setup_COM->ComboBoxDeviceName->SetItemIndex(1);
    Setup_COM->ComboBoxDeviceNameChange(nullptr);
    EXPECT_EQ(MainForm->ComPortIndex, 1);
    EXPECT_EQ(MainForm->ComPortName, "COM2");
    EXPECT_TRUE(FoCom->ComPort1->Active());
    EXPECT_TRUE(MainForm->CPM6901->Enabled());
    EXPECT_TRUE(MainForm->RXM8501->Enabled());
    EXPECT_TRUE(MainForm->PGT3001->Enabled());
    std::string expected = before;
    expected.replace(expected.find("ComPortIndex=7"), 14, "ComPortIndex=1");
    EXPECT_EQ(ReadIni(), expected);

    // The same entry again changes nothing, not even the file.
    fs::remove(Dir / "SETUP.INI");
    Setup_COM->ComboBoxDeviceNameChange(nullptr);
    EXPECT_FALSE(fs::exists(Dir / "SETUP.INI"));

    // The plate monitor's window then opens on that port.
    FoCom->ComPort1->Close();
    MainForm->CPM_Start->Click();
    EXPECT_EQ(CPMSetup->Caption(), "CHARGE-PLATE Monitor / Port : COM2");
    EXPECT_FALSE(MainForm->Enabled());
    CPMSetup->Close();
    EXPECT_TRUE(MainForm->Enabled());
    EXPECT_FALSE(FoCom->ComPort1->Active());
}

TEST_F(AppTest, PortSettingsDialogChangesThePortsSettings) {
    TCpmSimulator sim;
    AddPort(1, sim.Path());
    Start();
    InstallPortSettingsDialog();
    TPumpScript script;
    script
        .When([] {
            return Screen->ActiveForm() && Screen->ActiveForm()->Name() == "PortSettingsDialog";
        })
        .Do([] {
            auto* d = dynamic_cast<TPortSettingsDialog*>(Screen->ActiveForm());
            EXPECT_FALSE(Setup_COM->BtOK->Enabled());
            EXPECT_EQ(d->ComboBoxSpeed->Text(), "2400");
            EXPECT_EQ(d->ComboBoxDataBits->Text(), "8");
            EXPECT_EQ(d->ComboBoxStopBits->Items()->Count(), 2); // 1.5 is not offered
            d->ComboBoxSpeed->SetItemIndex(d->ComboBoxSpeed->Items()->IndexOf("9600"));
            d->ComboBoxDataBits->SetItemIndex(2);
            d->ComboBoxParity->SetItemIndex(2);
            d->ComboBoxStopBits->SetItemIndex(1);
            d->ComboBoxFlow->SetItemIndex(1);
            d->ButtonOK->Click();
        });
    Setup_COM->BtSetComPara->Click();
    EXPECT_TRUE(script.Done());
    TComPort* port = FoCom->ComPort1;
    EXPECT_EQ(port->CustomBaudRate(), 9600);
    EXPECT_EQ(port->DataBits(), db7);
    EXPECT_EQ(port->Parity(), paEven);
    EXPECT_EQ(port->StopBits(), sb2);
    EXPECT_EQ(port->FlowControl()->XOnXOff(), xcInputOutput);
    EXPECT_TRUE(Setup_COM->BtOK->Enabled());

    // An instrument then starts on the port, with XOn/XOff in effect both ways.
    Setup_COM->BtOK->Click();
    MainForm->CPM_Start->Click();
    EXPECT_TRUE(port->Active());
    termios line{};
    const int fd = ::open(sim.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ::tcgetattr(fd, &line);
    ::close(fd);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    CPMSetup->Close();
}

// The port, or the window that owns it, goes while its settings dialog shows:
// OK then writes nothing and the dialog counts as Cancel.
TEST_F(AppTest, PortSettingsDialogWhosePortWentChangesNothing) {
    TCpmSimulator sim;
    InstallPortSettingsDialog();
    for (const bool formGoes : {false, true}) {
        SCOPED_TRACE(formGoes ? "the form freed" : "the port freed");
        auto* form = new TForm(nullptr);
        auto* port = new TComPort(form);
        port->SetDeviceName(sim.Path().c_str());
        TPumpScript script;
        script
            .When([] {
                return Screen->ActiveForm() &&
                       Screen->ActiveForm()->Name() == "PortSettingsDialog";
            })
            .Do([&] {
                auto* d = dynamic_cast<TPortSettingsDialog*>(Screen->ActiveForm());
                if (formGoes)
                    delete form;
                else
                    delete port;
                d->ComboBoxSpeed->SetItemIndex(d->ComboBoxSpeed->Items()->IndexOf("9600"));
                d->ButtonOK->Click();
            });
        EXPECT_FALSE(port->ConfigDialog());
        EXPECT_TRUE(script.Done());
        if (!formGoes) delete form;
    }
}
