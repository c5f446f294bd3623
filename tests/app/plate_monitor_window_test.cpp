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
public:
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
    EXPECT_GE(W->LabelOffset->Width(), 200); // wide enough for the large figures
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

// A test broken off by Break, or by an instrument that stops answering
// part-way, shows no result and no live voltage as one.
TEST_F(PlateMonitorWindowTest, BreakOrSilencePartWayEndsTheTestWithoutAResultToSave) {
    for (const bool silence : {false, true}) {
        SCOPED_TRACE(silence ? "silence" : "Break");
        Sim.Change([&] {
            Sim.DecayFrames.assign(silence ? 3 : 200, TCpmSimulator::SampleFrame(0x00, 900));
        });
        TPumpScript script;
        if (!silence)
            script.When([] { return FormChartCPM->Series1->Count() >= 3; }).Click(W->BitBtnBreak);
        else
            Responder.ExpectMessage(("Port " + Sim.Path() + " : Timeout").c_str(), IDOK);
        W->BitBtnStart->Click();
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(Responder.Done());
        EXPECT_NE(Memo().Pos("Process abortet !!"), 0);
        EXPECT_EQ(Memo().Pos("successful"), 0);
        EXPECT_EQ(Text(W->LabelPosDecayTime), "0.0 sec");
        EXPECT_EQ(Text(W->GroupBoxOffset), "Offset");
        EXPECT_EQ(Text(W->LabelOffset), "0.0 V");
        EXPECT_FALSE(W->BitBtnSaveResult->Enabled());
        EXPECT_TRUE(ControlsEnabled());
    }
}

TEST_F(PlateMonitorWindowTest, SetupReadBackTakesOnlyKnownModes) {
    const struct {
        const char* Fields;
        int Mode; // expected after starting from NEG
        const char* Start;
        const char* Stop;
        const char* Offset;
    } rows[] = {{"000000002100050A0F", 1, "500 V", "250 V", "300 sec."},
                {"000000001007000301", 0, "850 V", "0 V", "30 sec."},
                {"00000000440A0A0001", 2, "1000V", "500 V", "0 sec."}};
    for (const auto& r : rows) {
        W->SelectMode->SetItemIndex(2);
        Sim.Change([&] { Sim.SetupFields = r.Fields; });
        W->ButtonReadSetup->Click();
        EXPECT_EQ(W->SelectMode->ItemIndex(), r.Mode) << r.Fields;
        EXPECT_EQ(Text(W->ComboBoxVStart), r.Start) << r.Fields;
        EXPECT_EQ(Text(W->ComboBoxVStop), r.Stop) << r.Fields;
        EXPECT_EQ(Text(W->ComboBoxOffsetTime), r.Offset) << r.Fields;
    }
}

TEST_F(PlateMonitorWindowTest, InfoShowsTheIdentity) {
    W->BitBtnInfo->Click();
    EXPECT_EQ(W->MemoDisplay->Lines()->Strings(1), "SW-Version\t: CPM 690  V6.10 ");
    EXPECT_EQ(W->MemoDisplay->Lines()->Strings(2), "Serial number\t: 12345678");
    EXPECT_EQ(W->MemoDisplay->Lines()->Strings(3), "Calibration date\t: 01-05-2024");
    EXPECT_TRUE(MainForm->CPM_Version610);
}

// Every conversation with an instrument that is silent or answers garbage
// ends with the failure shown and the window usable again.
TEST_F(PlateMonitorWindowTest, SilentOrGarbledInstrumentLeavesTheWindowUsable) {
    W->BitBtnInfo->Click(); // an identity from before
    const TSerialSimulator::TFault faults[] = {TSerialSimulator::Silent, TSerialSimulator::Garbage};
    for (TSerialSimulator::TFault fault : faults) {
        Sim.SetFault(fault);
        TButtonControl* buttons[] = {W->BitBtnInfo, W->ButtonReadSetup, W->BitBtnStart,
                                     W->BitBtnReadFile};
        for (TButtonControl* b : buttons) {
            Responder.ExpectMessage(("Port " + Sim.Path()).c_str(), IDOK);
            b->Click();
            EXPECT_TRUE(Responder.Done()) << b->Name().c_str();
            EXPECT_TRUE(ControlsEnabled()) << b->Name().c_str();
        }
        EXPECT_EQ(CpmIdentity().Serial, "12345678"); // the last identity read stays
        EXPECT_FALSE(W->BitBtnSaveResult->Enabled());
        EXPECT_FALSE(FormReadCPMFiles->Visible());
        Sim.SetFault(TSerialSimulator::None);
        Sim.Settle();
    }
    W->BitBtnCancel->Click();
    EXPECT_FALSE(W->Visible());
    EXPECT_TRUE(MainForm->Enabled());
    EXPECT_FALSE(FoCom->ComPort1->Active());
}

// ---------------------------------------------------------------------------
// Stored result files

namespace {
class PlateMonitorFilesTest : public PlateMonitorWindowTest {
public:
    void SetUp() override {
        PlateMonitorWindowTest::SetUp();
        Sim.Change([&] {
            Sim.SetupFields = "000000001009050204"; // three files stored
            for (int n = 1; n <= 3; ++n)
                Sim.StoredFiles[n] = TCpmSimulator::StoredFile(
                    n, n == 2 ? 0x21 : 0x10, 1000, 100, 10 * n, 20 + n, 30 + n, n == 3 ? -40 : 40);
        });
    }
    TFormReadCPMFiles* F() const { return FormReadCPMFiles; }
    bool RangeStep() const { return F()->Visible() && F()->GroupBoxRangeFileNumber->Visible(); }
    bool CommentStep() const { return F()->Visible() && F()->GroupBoxInputComment->Visible(); }
    void EnterRange(TPumpScript& s, const char* first, const char* last) {
        s.When([this] { return RangeStep(); }).Do([this, first, last] {
            F()->MaskEditStart->SetText(first);
            F()->MaskEditStopp->SetText(last);
        });
        s.Click(F()->BitBtnOK);
    }
};
} // namespace

TEST_F(PlateMonitorFilesTest, ThreeFilesWithCommentsIntoACsvFile) {
    AnsiString shownFirst, shownLast;
    TPumpScript script;
    script.When([this] { return RangeStep(); }).Do([&] {
        shownFirst = F()->MaskEditStart->Text().Trim();
        shownLast = F()->MaskEditStopp->Text().Trim();
    });
    EnterRange(script, "3", "1"); // refused, asked again
    EnterRange(script, "1", "3");
    const char* comments[] = {"first", "second; with separator", ""};
    for (int n = 1; n <= 3; ++n) {
        script.When([this, n] {
            return CommentStep() && F()->LabelFileNumberActuell->Caption() == IntToStr(n);
        });
        script.Do([this, n, &comments] {
            EXPECT_EQ(F()->LabelFileNumberMax->Caption(), "3");
            F()->TextCommentFile->SetText(comments[n - 1]);
        });
        if (n == 2)
            script.Key(F()->TextCommentFile, VK_RETURN);
        else
            script.Click(F()->BitBtnOK);
    }
    Responder.ExpectMessage("Value for start is higher than value for stop", IDOK);
    Responder.ExpectSave(AnsiString((Dir / "files.csv").string().c_str()));
    W->BitBtnReadFile->Click();
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(Responder.Done());
    EXPECT_EQ(shownFirst, "1");
    EXPECT_EQ(shownLast, "3");

    const auto lines = Lines(ReadFile(Dir / "files.csv"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(0, 24), "Date;Time;File no.;CPM-M");
    EXPECT_EQ(lines[1], "Device: CPM 690  V6.10 ;Serial No.: 12345678;Cal.Date: 01-05-2024");
    EXPECT_EQ(Tail(lines[2]), "1;Auto;1000;100;10;2.1;3.1;40.0;first");
    EXPECT_EQ(Tail(lines[3]), "2;Pos.;1000;100;20;2.2;0.0;40.0;second, with separator");
    EXPECT_EQ(Tail(lines[4]), "3;Auto;1000;100;30;2.3;3.3;-40.0;");
    EXPECT_NE(Memo().Pos("EEProm data from CPM stored successful in data file !"), 0);
    EXPECT_TRUE(ControlsEnabled());
    EXPECT_FALSE(F()->Visible());
}

TEST_F(PlateMonitorFilesTest, ReadingStopsAtTheFirstEmptyFile) {
    Sim.Change([&] { Sim.StoredFiles.erase(3); });
    TPumpScript script;
    EnterRange(script, "1", "3");
    for (int n = 1; n <= 2; ++n)
        script.When([this] { return CommentStep(); }).Click(F()->BitBtnOK);
    Responder.ExpectSave(AnsiString((Dir / "files.csv").string().c_str()));
    W->BitBtnReadFile->Click();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(F()->LabelFileNumberMax->Caption(), "2");
    EXPECT_EQ(Lines(ReadFile(Dir / "files.csv")).size(), 4u);
}

struct TFilesFailure {
    const char* Name;
    bool NothingStored;
    int AbortAt; // 0: range step, n: the comment of file n; -1: none
    bool UserBreak;
};

class PlateMonitorFilesFailureTest : public PlateMonitorFilesTest,
                                     public ::testing::WithParamInterface<TFilesFailure> {};

TEST_P(PlateMonitorFilesFailureTest, NothingIsWritten) {
    const TFilesFailure& f = GetParam();
    if (f.NothingStored) Sim.Change([&] { Sim.StoredFiles.clear(); });
    TPumpScript script;
    if (f.AbortAt == 0) {
        script.When([this] { return RangeStep(); }).Click(F()->BitBtnAbort);
    } else {
        EnterRange(script, "1", "3");
        for (int n = 1; n < f.AbortAt; ++n)
            script.When([this] { return CommentStep(); }).Click(F()->BitBtnOK);
        if (f.AbortAt > 0) script.When([this] { return CommentStep(); }).Click(F()->BitBtnAbort);
    }
    if (f.NothingStored) Responder.ExpectMessage("!! No data stored in EEProm !! ", IDOK);
    W->BitBtnReadFile->Click(); // any file dialog would fail the strict responder
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(Responder.Done());
    EXPECT_NE(Memo().Pos("Warning!! EEProm data not stored in the data file."), 0);
    EXPECT_EQ(Memo().Pos("User break !") != 0, f.UserBreak);
    EXPECT_TRUE(ControlsEnabled());
    EXPECT_FALSE(F()->Visible());
}

const TFilesFailure FilesFailures[] = {
    {"NothingStored", true, -1, false},
    {"AbortRange", false, 0, true},
    {"AbortSecondComment", false, 2, true},
};
void PrintTo(const TFilesFailure& f, std::ostream* os) {
    *os << f.Name;
}
INSTANTIATE_TEST_SUITE_P(Cases, PlateMonitorFilesFailureTest, ::testing::ValuesIn(FilesFailures),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------
// Sequences of the operator's steps: the result of a test is saved after other
// steps, on a full disk, into a read-only folder; the file range is retyped.

#include "chart/control/teeseriestypes.h"
#include "support/full_disk.h"

namespace {
class PlateMonitorSequence : public PlateMonitorFilesTest {
public:
    using AppTest::Dir;
    using AppTest::ReadOnlySetupIni;
    using AppTest::Responder;
    void SetUp() override {
        // The data folder is the test's own, so a save writes no SETUP.INI.
        WriteIni("[CPM]\nDataDirectory=" + Dir.string() + "/\n");
        PlateMonitorFilesTest::SetUp();
    }
    void DecayTest() {
        ScriptDecay(23, 120, -123);
        W->BitBtnStart->Click();
        ASSERT_TRUE(W->BitBtnSaveResult->Enabled());
    }
    // Save results with a comment into File; Message is the box expected then.
    void SaveResult(const std::string& File, const std::string& Message = "") {
        Responder.ExpectSave(File.c_str());
        if (!Message.empty()) Responder.ExpectMessage(Message.c_str(), IDOK);
        TPumpScript script;
        script.When([this] { return W->Edit1->Visible(); })
            .Do([this] { W->Edit1->SetText("plate B"); })
            .Click(W->BitBtnOK);
        SimulateClick(W->BitBtnSaveResult);
        EXPECT_TRUE(script.Done());
    }
    void ReadOneStoredFile() {
        TPumpScript script;
        EnterRange(script, "1", "1");
        script.When([this] { return CommentStep(); }).Click(F()->BitBtnOK);
        Responder.ExpectSave((Dir / "files.csv").string().c_str());
        W->BitBtnReadFile->Click();
        EXPECT_TRUE(script.Done());
    }
    std::string CsvText() const { return ReadFile(Csv()); }
    // The one result row's fields after date and time.
    std::string LastRow() const {
        const auto lines = Lines(CsvText());
        return lines.empty() ? "" : Tail(lines.back());
    }
};

struct TPlateCase {
    const char* Name;
    std::function<void(PlateMonitorSequence&)> Steps;
};

const TPlateCase PlateCases[] = {
    {"ResultSavedAfterAStoredFileReadKeepsItsMode",
     [](PlateMonitorSequence& t) {
         t.W->SelectMode->SetItemIndex(0);
         t.DecayTest();
         t.ReadOneStoredFile(); // its set-up read leaves word 7 in hex
         t.SaveResult(t.Csv());
         EXPECT_EQ(t.LastRow(), "Auto;1000;100;20;2.3;12.0;-123.0;plate B");
     }},
    {"AFailedIdentityReadKeepsTheLastIdentity",
     [](PlateMonitorSequence& t) {
         t.W->BitBtnInfo->Click();
         t.DecayTest();
         t.Sim.SetFault(TSerialSimulator::Silent);
         t.Responder.ExpectMessage(("Port " + t.Sim.Path()).c_str(), IDOK);
         t.W->BitBtnInfo->Click();
         t.Sim.SetFault(TSerialSimulator::None);
         t.Sim.Settle();
         t.SaveResult(t.Csv());
         const auto lines = Lines(t.CsvText());
         ASSERT_EQ(lines.size(), 3u);
         EXPECT_EQ(lines[1], "Device: CPM 690  V6.10 ;Serial No.: 12345678;Cal.Date: 01-05-2024");
     }},
    {"FullDiskForANewFileThenSaveAgain",
     [](PlateMonitorSequence& t) {
         t.DecayTest();
         {
             TFullDisk full;
             t.SaveResult(t.Csv(), "Can't write file : " + t.Csv());
         }
         EXPECT_FALSE(fs::exists(t.Csv())); // no file with a header only
         EXPECT_TRUE(t.W->BitBtnSaveResult->Enabled());
         t.SaveResult(t.Csv());
         EXPECT_EQ(Lines(t.CsvText()).size(), 3u);
         EXPECT_FALSE(t.W->BitBtnSaveResult->Enabled());
     }},
    {"FullDiskForAnExistingFile",
     [](PlateMonitorSequence& t) {
         t.DecayTest();
         t.SaveResult(t.Csv());
         t.DecayTest();
         const std::string before = t.CsvText();
         {
             TFullDisk full(before.size() + 10); // room for a part of the row only
             t.SaveResult(t.Csv(), "Can't write file : ");
         }
         EXPECT_EQ(t.CsvText(), before); // no half row
         EXPECT_TRUE(t.W->BitBtnSaveResult->Enabled());
         t.SaveResult(t.Csv());
         EXPECT_EQ(Lines(t.CsvText()).size(), 4u);
     }},
    {"ReadOnlyFolder",
     [](PlateMonitorSequence& t) {
         t.DecayTest();
         const std::string file = ReadOnlyFolder(t.Dir) + "result.csv";
         t.SaveResult(file, "Can't create file : " + file);
         EXPECT_TRUE(t.W->BitBtnSaveResult->Enabled());
         t.SaveResult(t.Csv());
         EXPECT_EQ(Lines(t.CsvText()).size(), 3u);
     }},
    {"ReadOnlySetupIniCostsNoResult",
     [](PlateMonitorSequence& t) {
         t.DecayTest();
         const std::string ini = t.ReadOnlySetupIni();
         // Another folder than the one remembered at start.
         fs::create_directories(t.Dir / "elsewhere");
         const fs::path csv = t.Dir / "elsewhere" / "result.csv";
         t.SaveResult(csv.string(),
                      "The data folder could not be remembered: Unable to write to " + ini);
         EXPECT_EQ(Tail(Lines(ReadFile(csv)).back()), "Auto;1000;100;20;2.3;12.0;-123.0;plate B");
         EXPECT_FALSE(t.W->BitBtnSaveResult->Enabled()); // saved
     }},
    {"ReadOnlySetupIniCostsNoStoredFile",
     [](PlateMonitorSequence& t) {
         const std::string ini = t.ReadOnlySetupIni();
         TPumpScript script;
         t.EnterRange(script, "1", "1");
         script.When([&t] { return t.CommentStep(); }).Click(t.F()->BitBtnOK);
         fs::create_directories(t.Dir / "elsewhere");
         const fs::path csv = t.Dir / "elsewhere" / "files.csv";
         t.Responder.ExpectSave(csv.string().c_str())
             .ExpectMessage(
                 ("The data folder could not be remembered: Unable to write to " + ini).c_str(),
                 IDOK);
         t.W->BitBtnReadFile->Click();
         EXPECT_TRUE(script.Done());
         EXPECT_EQ(Lines(ReadFile(csv)).size(), 3u);
         EXPECT_NE(t.Memo().Pos("EEProm data from CPM stored successful in data file !"), 0);
     }},
    {"ALateReplyIsRefusedNamingThePort",
     [](PlateMonitorSequence& t) {
         // Replies 3 s late: the identity's falls due just after the set-up
         // read went out.
         t.Sim.Change([&t] { t.Sim.ReplyDelayMs = 3000; });
         const std::string port = "Port " + t.Sim.Path() + " : ";
         t.Responder.ExpectMessage((port + "Timeout").c_str(), IDOK);
         t.W->BitBtnInfo->Click();
         Sleep(2943);
         const int mode = t.W->SelectMode->ItemIndex();
         t.Responder.ExpectMessage((port + "Invalid reply from the instrument").c_str(), IDOK);
         t.W->ButtonReadSetup->Click();
         EXPECT_EQ(t.W->SelectMode->ItemIndex(), mode);
         // On time again: the stale reply is purged and the test runs.
         t.Sim.Change([&t] { t.Sim.ReplyDelayMs = 0; });
         Sleep(3100);
         t.DecayTest();
         EXPECT_EQ(t.W->LabelPosDecayTime->Caption(), "2.3 sec");
     }},
    {"TestOutputThatCannotBeWrittenCostsNoResult",
     [](PlateMonitorSequence& t) {
         // "C:\TestData.TXT" lies in the home folder, here a folder of that name.
         fs::create_directories(t.Dir / "home" / "TestData.TXT");
         const char* home = std::getenv("HOME");
         const std::string saved = home ? home : "";
         ::setenv("HOME", (t.Dir / "home").c_str(), 1);
         MainForm->TestOutput = true;
         t.Responder.ExpectMessage(("The test output could not be written: Cannot create file \"" +
                                    (t.Dir / "home" / "TestData.TXT").string())
                                       .c_str(),
                                   IDOK);
         t.DecayTest();
         home ? ::setenv("HOME", saved.c_str(), 1) : ::unsetenv("HOME");
         EXPECT_EQ(t.W->LabelPosDecayTime->Caption(), "2.3 sec");
         t.SaveResult(t.Csv());
         EXPECT_EQ(t.LastRow(), "Auto;1000;100;20;2.3;12.0;-123.0;plate B");
     }},
    {"TheChartEditorReplacesACurveThenATestRuns",
     [](PlateMonitorSequence& t) {
         TChartSeries* curve = FormChartCPM->Series1;
         ChangeSeriesType(curve, &TPointSeries::ClassInfo);
         delete FormChartCPM->Series6;
         EXPECT_EQ(FormChartCPM->Series1, nullptr);
         t.DecayTest();
         TChartSeries* now = dynamic_cast<TChartSeries*>(FormChartCPM->FindComponent("Series1"));
         ASSERT_TRUE(dynamic_cast<TPointSeries*>(now));
         EXPECT_EQ(now->Count(), 4);
     }},
    {"FileRangeKeepsANumberJustTyped",
     [](PlateMonitorSequence& t) {
         TPumpScript script;
         t.EnterRange(script, "2", "");
         script.When([&t] { return t.RangeStep(); }).Do([&t] {
             EXPECT_EQ(t.F()->MaskEditStart->Text().Trim(), "2");
             t.F()->MaskEditStopp->SetText("3");
         });
         script.Click(t.F()->BitBtnOK);
         script.When([&t] { return t.CommentStep(); }).Do([&t] {
             EXPECT_EQ(t.F()->LabelFileNumberActuell->Caption(), "2");
         });
         script.Click(t.F()->BitBtnAbort);
         t.Responder.ExpectMessage("Please enter both file numbers !! ", IDOK);
         t.W->BitBtnReadFile->Click();
         EXPECT_TRUE(script.Done());
     }},
};

class PlateMonitorSequenceTest : public PlateMonitorSequence,
                                 public ::testing::WithParamInterface<TPlateCase> {};
} // namespace

TEST_P(PlateMonitorSequenceTest, Runs) {
    GetParam().Steps(*this);
    EXPECT_TRUE(Responder.Done());
    EXPECT_TRUE(ControlsEnabled());
}

INSTANTIATE_TEST_SUITE_P(Operator, PlateMonitorSequenceTest, ::testing::ValuesIn(PlateCases),
                         [](const auto& i) { return std::string(i.param.Name); });
