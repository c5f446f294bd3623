// Every save of the program through its dialog into a folder whose name holds
// umlauts and accents: the file lands under its UTF-8 name, a folder kept in
// SETUP.INI keeps the Windows-1252 bytes of its other texts, and a folder the
// program cannot name is refused before anything is written.
#include "app/chartcpm.h"
#include "app/pgt300.h"
#include "app/readeepromdata.h"
#include "app/rxm850.h"
#include "app/rxm850inputfilecomments.h"
#include "app/rxmcalimenu.h"
#include "app/setcpm.h"
#include "app_fixture.h"
#include "chart/control/teecommander.h"
#include "chart/control/teeedit.h"
#include "chart/editor/teeeditorstartup.h"
#include "chart/editor/teeexport.h"
#include "platform/classes/filenames.h"
#include "platform/forms/comctrls.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "platform/rtl/formatsettings.h"
#include "support/cpm_sim.h"
#include "support/pgt_sim.h"
#include "support/rxm_sim.h"
#include <cctype>
#include <functional>

namespace {
// "Prüfungen/Messwerte éàç€" as the program holds it and as the disk names it.
const char* const FolderName = "Pr\xFC"
                               "fungen/Messwerte \xE9\xE0\xE7\x80";
const char* const FolderOnDisk = "Pr\xC3\xBC"
                                 "fungen/Messwerte \xC3\xA9\xC3\xA0\xC3\xA7\xE2\x82\xAC";
const char* const HomeOnDisk = "J\xC3\xBCrgen";

class FileNamesTest : public AppTest {
public:
    using AppTest::Dir;
    using AppTest::Item;
    using AppTest::Responder;
    void SetUp() override {
        DecimalSeparator = '.';
        fs::create_directories(Dir / FolderOnDisk);
        fs::create_directories(Dir / FHomeOnDisk);
        const char* home = std::getenv("HOME");
        FHome = home ? home : "";
        setenv("HOME", (Dir / FHomeOnDisk).c_str(), 1);
        // The decay test's samples go to "C:\TestData.TXT", the home folder.
        WriteIni("[CPM]\nTestOutput=1\n");
        char arg0[] = "qmreadout", arg1[] = "calibrate";
        char* argv[] = {arg0, arg1, nullptr};
        InitCommandLine(2, argv);
        TeeEditorStartup();
        BeforeStart();
        Start();
    }
    virtual void BeforeStart() {}
    void TearDown() override {
        for (auto& s : FSims)
            Time.Clock.Detach(s.get());
        setenv("HOME", FHome.c_str(), 1);
    }
    AnsiString Folder() const { return AnsiString(Dir.string()) + "/" + FolderName + "/"; }
    // A simulated instrument on the port, for the rest of the case.
    template <class T> T& Plug() {
        auto sim = std::make_unique<T>();
        T& s = *sim;
        Time.Clock.Attach(&s);
        FoCom->ComPort1->SetDeviceName(s.Path().c_str());
        FSims.push_back(std::move(sim));
        return s;
    }
    TFormPGT300* TransferredGroundingTester() {
        Plug<TPgtSimulator>();
        Item("Start_PGT300")->Click();
        Responder.ExpectMessage("Press the plate", IDOK);
        SimulateClick(FormPGT300->BitBtn_Start);
        return FormPGT300;
    }
    TFormRXM850* MeasuringResistanceMeter() {
        Plug<TRxmSimulator>();
        Item("RXM_850_Start")->Click();
        FormRXM850->BitBtn_init->Click();
        return FormRXM850;
    }
    TCPMSetup* PlateMonitor(const std::function<void(TCpmSimulator&)>& Prepare) {
        TCpmSimulator& sim = Plug<TCpmSimulator>();
        sim.Change([&] { Prepare(sim); });
        Item("CPM_Start")->Click();
        return CPMSetup;
    }
    static bool NoRealPrinter() { return Printer()->Printers()->Count() == 1; }

    std::string FHome;
    std::string FHomeOnDisk = HomeOnDisk;
    std::vector<std::unique_ptr<TSerialSimulator>> FSims;
};

std::vector<std::string> Decay() {
    return {TCpmSimulator::SampleFrame(0x00, 1000), TCpmSimulator::SampleFrame(0x00, 800),
            TCpmSimulator::SampleFrame(0x20, 15),
            TCpmSimulator::ResultFrame(1000, 100, 20, 23, 120, -123)};
}

struct TSaveCase {
    const char* Name;
    const char* File;       // the name typed, in the folder (none: in the home folder)
    const char* Remembered; // the SETUP.INI section that keeps the folder, if any
    std::function<void(FileNamesTest&, const AnsiString&)> Save;
};

const TSaveCase SaveCases[] = {
    {"grounding tester, Save data", "Erdung \xE4\xF6\xFC.CSV", nullptr,
     [](FileNamesTest& t, const AnsiString& file) {
         TFormPGT300* w = t.TransferredGroundingTester();
         t.Responder.ExpectSave(file);
         SimulateClick(w->BitBtnSaveData);
     }},
    {"grounding tester, Print data to a file", "Druck \xE9.pdf", nullptr,
     [](FileNamesTest& t, const AnsiString& file) {
         if (!FileNamesTest::NoRealPrinter()) GTEST_SKIP() << "a real printer is installed";
         TFormPGT300* w = t.TransferredGroundingTester();
         t.Responder.ExpectPrintToFile(file);
         w->BitBtnPrintData->Click();
     }},
    {"resistance meter, one reading", "Widerstand \xDF.CSV", "RXM850",
     [](FileNamesTest& t, const AnsiString& file) {
         TFormRXM850* w = t.MeasuringResistanceMeter();
         w->BitBtn_start->Click();
         TPumpScript script;
         script.Do([w] { w->Edit_Comment->SetText("\xFC"); }).Click(w->BitBtnOK);
         t.Responder.ExpectSave(file).ExpectMessage("File saved successfully.", IDOK);
         w->BitBtn_save->Click();
     }},
    {"resistance meter, stored files", "Dateien \x80.CSV", "RXM850",
     [](FileNamesTest& t, const AnsiString& file) {
         TFormRXM850* w = t.MeasuringResistanceMeter();
         TPumpScript script;
         script.Do([w] { w->MaskEdit_end_fn->SetText("1"); }).Click(w->BitBtn_OK_FileNo);
         w->BitBtn_readFile->Click();
         t.Responder.ExpectSave(file).ExpectMessage("File saved successfully.", IDOK);
         FormRXM850FComment->BitBtnSave->Click();
     }},
    {"calibration, Save", "Kalibrierung \xE7.CSV", "RXM850",
     [](FileNamesTest& t, const AnsiString& file) {
         t.Plug<TRxmSimulator>();
         t.Item("RXM_Calibrate")->Click();
         t.Responder.ExpectSave(file);
         FormRXMCali->BitBtn_save->SetEnabled(true);
         FormRXMCali->BitBtn_save->Click();
     }},
    {"calibration, Print to a file", "Protokoll \xFC.pdf", nullptr,
     [](FileNamesTest& t, const AnsiString& file) {
         if (!FileNamesTest::NoRealPrinter()) GTEST_SKIP() << "a real printer is installed";
         t.Plug<TRxmSimulator>();
         t.Item("RXM_Calibrate")->Click();
         FormRXMCali->BitBtn_read_meas_data->Click();
         FormRXMCali->BitBtn_read_cali_data->SetEnabled(true);
         FormRXMCali->BitBtn_read_cali_data->Click();
         t.Responder.ExpectPrintToFile(file);
         FormRXMCali->BitBtn_print->Click();
     }},
    {"plate monitor, decay test result", "Abkling \xF6.csv", nullptr,
     [](FileNamesTest& t, const AnsiString& file) {
         TCPMSetup* w = t.PlateMonitor([](TCpmSimulator& s) {
             s.DecayFrames = Decay();
         });
         w->BitBtnStart->Click();
         t.Responder.ExpectSave(file);
         TPumpScript script;
         script.When([w] { return w->Edit1->Visible(); }).Click(w->BitBtnOK);
         w->BitBtnSaveResult->Click();
     }},
    {"plate monitor, decay test samples", nullptr, nullptr,
     [](FileNamesTest& t, const AnsiString&) {
         TCPMSetup* w = t.PlateMonitor([](TCpmSimulator& s) {
             s.DecayFrames = Decay();
         });
         w->BitBtnStart->Click();
     }},
    {"plate monitor, stored files", "Platten \xC4.csv", nullptr,
     [](FileNamesTest& t, const AnsiString& file) {
         TCPMSetup* w = t.PlateMonitor([](TCpmSimulator& s) {
             s.SetupFields = "000000001009050204";
             s.StoredFiles[1] = TCpmSimulator::StoredFile(1, 0x10, 1000, 100, 10, 21, 31, 40);
         });
         TPumpScript script;
         script
             .When([] {
                 return FormReadCPMFiles->Visible() &&
                        FormReadCPMFiles->GroupBoxRangeFileNumber->Visible();
             })
             .Do([] {
                 FormReadCPMFiles->MaskEditStart->SetText("1");
                 FormReadCPMFiles->MaskEditStopp->SetText("1");
             })
             .Click(FormReadCPMFiles->BitBtnOK)
             .When([] {
                 return FormReadCPMFiles->Visible() &&
                        FormReadCPMFiles->GroupBoxInputComment->Visible();
             })
             .Click(FormReadCPMFiles->BitBtnOK);
         t.Responder.ExpectSave(file);
         w->BitBtnReadFile->Click();
     }},
    {"live chart, the commander's Save", "Kurve \xE9\xFC\xDF.tee", nullptr,
     [](FileNamesTest& t, const AnsiString& file) {
         t.Responder.ExpectSave(file);
         MainForm->TeeCommander1->ButtonSave()->Click();
     }},
    {"live chart, saved as a picture", "Bild \xE0.bmp", nullptr,
     [](FileNamesTest& t, const AnsiString& file) {
         t.Responder.ExpectSave(file, 2);
         SaveChartDialog(MainForm->Chart1);
     }},
    {"live chart, data exported", "Daten \xF1.txt", nullptr,
     [](FileNamesTest& t, const AnsiString& file) {
         MainForm->Chart1->GetSeries(0)->AddXY(1, 2);
         TTeeExportForm f(nullptr);
         f.SetSubject(MainForm->Chart1);
         f.Show();
         f.PageControl1->SelectPageByUser(f.TabData);
         t.Responder.ExpectSave(file);
         SimulateClick(f.BSave);
     }},
};

void PrintTo(const TSaveCase& c, std::ostream* os) {
    *os << c.Name;
}

class SaveIntoAFolderSoNamed : public FileNamesTest,
                               public ::testing::WithParamInterface<TSaveCase> {};
} // namespace

TEST_P(SaveIntoAFolderSoNamed, TheFileLandsUnderItsUtf8Name) {
    const TSaveCase& c = GetParam();
    GetParam().Save(*this, c.File ? Folder() + c.File : AnsiString());
    if (IsSkipped()) return;
    EXPECT_TRUE(Responder.Done()) << Responder.Pending() << " dialogs not shown";
    const fs::path written = c.File ? Dir / FolderOnDisk / SystemFileName(c.File)
                                    : Dir / HomeOnDisk / "TestData.TXT";
    std::error_code ec;
    EXPECT_GT(fs::file_size(written, ec), 0u) << written << ": " << ec.message();
    size_t entries = 0;
    for (const auto& e : fs::recursive_directory_iterator(Dir / FolderOnDisk))
        entries += e.is_regular_file();
    EXPECT_EQ(entries, c.File ? 1u : 0u);
    if (c.Remembered) {
        EXPECT_NE(ReadIni().find(std::string("DataDirectory=") + Folder().c_str()),
                  std::string::npos)
            << ReadIni();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, SaveIntoAFolderSoNamed, ::testing::ValuesIn(SaveCases),
                         [](const auto& i) {
                             std::string n;
                             for (const char* p = i.param.Name; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) n += *p;
                             return n;
                         });

// A Cyrillic folder chosen in the dialog: the tester's Save data
// names it in its refusal, asks again, and writes nothing anywhere.
TEST_F(FileNamesTest, AFolderTheProgramCannotNameIsRefusedAndTheDialogAsksAgain) {
    TFormPGT300* w = TransferredGroundingTester();
    fs::create_directories(Dir / "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB1\xD1\x8B");
    TDialogAnswer cyrillic;
    cyrillic.SystemName = (Dir / "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB1\xD1\x8B" / "pgt.csv").string();
    Responder.Expect(TDialogKind::SaveDialog, "", cyrillic)
        .ExpectMessage(("Cannot use \"" + Dir.string() + "/?????" "/pgt.csv\"").c_str(), IDOK)
        .ExpectCancel(TDialogKind::SaveDialog);
    SimulateClick(w->BitBtnSaveData);
    EXPECT_TRUE(Responder.Done());
    EXPECT_TRUE(fs::is_empty(Dir / "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB1\xD1\x8B"));
    // The data stay and can be saved where the program can name the folder.
    Responder.ExpectSave(Folder() + "pgt.csv");
    SimulateClick(w->BitBtnSaveData);
    EXPECT_TRUE(fs::exists(Dir / FolderOnDisk / "pgt.csv"));
}

namespace {
// "Пробы", a home folder the program cannot name.
const char* const Cyrillic = "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB1\xD1\x8B";

class UnnamableHomeTest : public FileNamesTest {
public:
    UnnamableHomeTest() { FHomeOnDisk = Cyrillic; }
    void BeforeStart() override {
        Responder.ExpectMessage(("Cannot use \"" + Dir.string() + "/?????\"").c_str(), IDOK);
    }
};
} // namespace

// The start names the home folder once; the data folders' dialogs then start
// where they are, and the plate monitor's samples, meant for the home folder,
// are refused naming it without costing the result.
TEST_F(UnnamableHomeTest, IsNamedAtTheStartAndNeverWrittenUnderOtherBytes) {
    EXPECT_TRUE(Responder.Done());
    TFormPGT300* w = TransferredGroundingTester();
    Responder.ExpectSave(Folder() + "pgt.csv");
    SimulateClick(w->BitBtnSaveData);
    EXPECT_EQ(Responder.Shown().back().InitialDir, "");
    EXPECT_TRUE(fs::exists(Dir / FolderOnDisk / "pgt.csv"));
    w->BitBtn_Cancel->Click();

    TCPMSetup* cpm = PlateMonitor([](TCpmSimulator& s) { s.DecayFrames = Decay(); });
    Responder.ExpectMessage(("The test output could not be written to C:\\TestData.TXT: Cannot "
                             "use \"" +
                             Dir.string() + "/?????\"")
                                .c_str(),
                            IDOK);
    cpm->BitBtnStart->Click();
    EXPECT_TRUE(Responder.Done());
    EXPECT_TRUE(cpm->BitBtnSaveResult->Enabled());
    EXPECT_TRUE(fs::is_empty(Dir / Cyrillic));
}
