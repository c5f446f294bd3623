// The resistance meter's measurement window and its stored-files window
// against the simulated meter on a pseudo-terminal.
#include "app/rxm850.h"
#include "app/rxm850inputfilecomments.h"
#include "app_fixture.h"
#include "platform/rtl/formatsettings.h"
#include "support/rxm_sim.h"

namespace {
std::string ReadFile(const fs::path& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> out;
    size_t at = 0;
    for (size_t end; (end = Text.find("\r\n", at)) != std::string::npos; at = end + 2)
        out.push_back(Text.substr(at, end - at));
    return out;
}
// The text after the time and date fields.
std::string AfterTimeAndDate(const std::string& Line) {
    const size_t first = Line.find(';');
    return Line.substr(Line.find(';', first + 1) + 1);
}

class Rxm850Test : public AppTest {
public:
    void SetUp() override {
        DecimalSeparator = '.';
        Time.Clock.Attach(&Sim);
        Start();
        FoCom->ComPort1->SetDeviceName(Sim.Path().c_str());
        Item("RXM_850_Start")->Click();
        W = FormRXM850;
        F = FormRXM850FComment;
    }
    void TearDown() override { Time.Clock.Detach(&Sim); }
    void Init() {
        W->BitBtn_init->Click();
        ASSERT_TRUE(W->BitBtn_start->Enabled());
    }
    std::vector<std::string> CommandsSince(size_t From) {
        const auto all = Sim.Commands();
        return std::vector<std::string>(all.begin() + std::min(From, all.size()), all.end());
    }
    TRxmSimulator Sim;
    TFormRXM850* W = nullptr;
    TFormRXM850FComment* F = nullptr;
};

struct TShownCase {
    const char* Name;
    int Display; // 0 "Expo", 1 "Techn"
    int Voltage;
    int Status;
    const char* Shown;
    const char* Prepare; // the voltage-mode sequence's command
    const char* Measure;
};
const TShownCase ShownCases[] = {
    {"Techn", 1, 0, 0x01, "1.2 MOhm", "C00400", "C004"},
    {"Expo", 0, 0, 0x00, "1.2e6 Ohm", "C00500", "C005"},
    {"TechnTenVolt", 1, 1, 0x00, "1.2 MOhm", "C00200", "C002"},
    {"ExpoHundredVolt", 0, 2, 0x00, "1.2e6 Ohm", "C00100", "C001"},
    {"Overflow", 1, 0, 0xC0, "OVERFLOW", "C00400", "C004"},
    {"Underflow", 0, 0, 0x80, "UNDERFLOW", "C00500", "C005"},
};

class Rxm850ShownTest : public Rxm850Test, public ::testing::WithParamInterface<TShownCase> {};
} // namespace

TEST_P(Rxm850ShownTest, MeasurementShowsItsTextsAndKeepsRecordZero) {
    const TShownCase& c = GetParam();
    Sim.Change([&] { Sim.Status = c.Status; });
    Init();
    EXPECT_EQ(W->MemoInfo->Lines()->Text().Trim(),
              "SW version : V1.2   /  Serial number : 01231125   /  Calibration date : 09.03.2024");
    W->RadioGroup_RXM_DM->SetItemIndex(c.Display);
    W->RadioGroup_RXM_VM->SetItemIndex(c.Voltage);
    const size_t before = Sim.Commands().size();
    W->BitBtn_start->Click();
    EXPECT_EQ(CommandsSince(before),
              (std::vector<std::string>{c.Prepare, "82", c.Measure, c.Measure}));
    EXPECT_EQ(W->Label_RXM_Me->Caption(), c.Shown);
    EXPECT_EQ(W->Label_RXM_Hu->Caption(), "45 %r.F.");
    EXPECT_EQ(W->Label_RXM_Te->Caption(), "22 \xB0"
                                          "C");
    EXPECT_TRUE(W->BitBtn_save->Enabled());
    EXPECT_EQ(F->Files[0].Unit, "MOhm");
    EXPECT_DOUBLE_EQ(F->Files[0].Resistance, 1.2);
    EXPECT_EQ(F->Files[0].AverageLapse, c.Status & 1 ? 'A' : 'L');

    // Only the display mode changed: no voltage-mode sequence.
    W->RadioGroup_RXM_DM->SetItemIndex(1 - c.Display);
    const size_t second = Sim.Commands().size();
    W->BitBtn_start->Click();
    EXPECT_EQ(CommandsSince(second).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Modes, Rxm850ShownTest, ::testing::ValuesIn(ShownCases),
                         [](const auto& i) { return std::string(i.param.Name); });

TEST_F(Rxm850Test, CountDownShowsSecondsThenMeasuresAndResets) {
    Init();
    W->RadioGroup_RXM_TI->SetItemIndex(1);
    EXPECT_TRUE(W->ComboBox_RXM_Time->Visible());
    EXPECT_EQ(W->GroupBox_RXM_Setup->Height(), 457);
    W->ComboBox_RXM_Time->SetItemIndex(4); // "5 sec"
    Sim.Change([&] { Sim.TimerSeconds = 3; });
    std::vector<std::string> shown;
    TPumpScript script;
    script.When([&] { return W->Label_RXM_Me->Caption() == "3 Sec."; })
        .Do([&] { Sim.Change([&] { Sim.TimerSeconds = 2; }); })
        .When([&] { return W->Label_RXM_Me->Caption() == "2 Sec."; })
        .Do([&] { Sim.Change([&] { Sim.TimerSeconds = 1; }); });
    const size_t before = Sim.Commands().size();
    W->BitBtn_start->Click();
    EXPECT_TRUE(script.Done());
    const auto sent = CommandsSince(before);
    // Preparation, the voltage-mode reset, three count-down reads, the measurement, the reset.
    EXPECT_EQ(sent.front(), "C01400");
    EXPECT_EQ(sent.back(), "82");
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "C01405"), 5);
    EXPECT_EQ(W->RXM_GroupBox_V->Caption(), "Resistor measured value");
    EXPECT_EQ(F->Files[0].TimerSeconds, 5);
    EXPECT_TRUE(W->BitBtn_save->Enabled());
}

TEST_F(Rxm850Test, StopDuringCountDownShowsAbortedAndNoValue) {
    Init();
    W->RadioGroup_RXM_TI->SetItemIndex(1);
    W->ComboBox_RXM_Time->SetItemIndex(9); // "10 sec"
    TPumpScript script;
    script.When([&] { return W->Label_RXM_Me->Caption() == "7 Sec."; }).Click(W->BitBtn_stop);
    W->BitBtn_start->Click();
    EXPECT_EQ(W->Label_RXM_Me->Caption(), "Measurement aborted!");
    EXPECT_EQ(W->Label_RXM_Hu->Caption(), "");
    EXPECT_FALSE(W->BitBtn_save->Enabled());
    const auto all = Sim.Commands();
    EXPECT_NE(std::find(all.begin(), all.end(), "C4"), all.end());
}

TEST_F(Rxm850Test, ExitDuringCountDownEndsTheLoopWithThePortClosed) {
    Init();
    W->RadioGroup_RXM_TI->SetItemIndex(1);
    W->ComboBox_RXM_Time->SetItemIndex(9);
    size_t atExit = 0;
    TPumpScript script;
    script.When([&] { return W->Label_RXM_Me->Caption() == "7 Sec."; }).Do([&] {
        atExit = Sim.Commands().size();
        W->BitBtn_exit->Click();
    });
    W->BitBtn_start->Click();
    EXPECT_FALSE(W->Visible());
    EXPECT_FALSE(FoCom->ComPort1->Active());
    EXPECT_TRUE(MainForm->Enabled());
    EXPECT_EQ(Sim.Commands().size(), atExit);
}

TEST_F(Rxm850Test, TimerWithoutChosenTimeSendsNothing) {
    Init();
    W->RadioGroup_RXM_TI->SetItemIndex(1);
    Responder.ExpectMessage("select the timer time", IDOK);
    const size_t before = Sim.Commands().size();
    W->BitBtn_start->Click();
    EXPECT_EQ(Sim.Commands().size(), before);
    EXPECT_TRUE(W->BitBtn_start->Enabled());
}

struct TFaultCase {
    const char* Name;
    TSerialSimulator::TFault Fault;
};
bool Garbled(TSerialSimulator::TFault F) {
    return F == TSerialSimulator::Garbage || F == TSerialSimulator::BadCheck;
}
class Rxm850FaultTest : public Rxm850Test, public ::testing::WithParamInterface<TFaultCase> {};

TEST_P(Rxm850FaultTest, InitAgainstABadMeterSaysSoAndStaysUsable) {
    Sim.SetFault(GetParam().Fault);
    if (GetParam().Fault == TSerialSimulator::Silent) Responder.ExpectMessage("Timeout", IDOK);
    if (Garbled(GetParam().Fault)) // the first reading and the identity
        Responder.ExpectMessage("Checksum error", IDCANCEL)
            .ExpectMessage("Checksum error", IDCANCEL);
    SimulateClick(W->BitBtn_init);
    EXPECT_TRUE(W->BitBtn_init->Enabled());
    EXPECT_TRUE(W->BitBtn_exit->Enabled());
    EXPECT_FALSE(W->BitBtn_start->Enabled());
    if (GetParam().Fault != TSerialSimulator::Silent)
        EXPECT_NE(W->MemoInfo->Lines()->Text().Pos("RXM does not answer"), 0);
    Sim.SetFault(TSerialSimulator::None);
    Init();
}

TEST_P(Rxm850FaultTest, FailedMeasurementShowsNoOldValue) {
    Init();
    W->BitBtn_start->Click();
    ASSERT_EQ(W->Label_RXM_Me->Caption(), "1.2 MOhm");
    W->BitBtn_save->SetEnabled(false);
    Sim.SetFault(GetParam().Fault);
    if (GetParam().Fault == TSerialSimulator::Silent) Responder.ExpectMessage("Timeout", IDOK);
    if (Garbled(GetParam().Fault)) Responder.ExpectMessage("Checksum error", IDCANCEL);
    SimulateClick(W->BitBtn_start);
    EXPECT_NE(W->Label_RXM_Me->Caption(), "1.2 MOhm");
    EXPECT_FALSE(W->BitBtn_save->Enabled());
    EXPECT_TRUE(W->BitBtn_start->Enabled());
}

INSTANTIATE_TEST_SUITE_P(Faults, Rxm850FaultTest,
                         ::testing::Values(TFaultCase{"Silent", TSerialSimulator::Silent},
                                           TFaultCase{"WrongAck", TSerialSimulator::WrongAck},
                                           TFaultCase{"Garbage", TSerialSimulator::Garbage},
                                           TFaultCase{"BadCheck", TSerialSimulator::BadCheck}),
                         [](const auto& i) { return std::string(i.param.Name); });

TEST_F(Rxm850Test, SavedMeasurementsShareOneHeader) {
    Init();
    W->BitBtn_start->Click();
    const fs::path csv = Dir / "single.csv";
    for (const char* comment : {"first; plate\r\nA", "second"}) {
        TPumpScript script;
        script.Do([&] { W->Edit_Comment->SetText(comment); }).Click(W->BitBtnOK);
        Responder.ExpectSave(csv.string().c_str()).ExpectMessage("File saved successfully.", IDOK);
        W->BitBtn_save->SetEnabled(true);
        W->BitBtn_save->Click();
        EXPECT_FALSE(W->BitBtn_save->Enabled());
    }
    const auto lines = Lines(ReadFile(csv));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Time;Date;Serial number;Sw Version;Calibration date;File "
                        "number;Resistor;Unit;Temperature(\xB0"
                        "C);Humidity(%r/F);Timer(sec.);A/L;Comment");
    EXPECT_EQ(AfterTimeAndDate(lines[1]),
              "'01231125;'V1.2;09.03.2024;0;1.2;MOhm;22;45;0;A;first, plate  A");
    EXPECT_EQ(AfterTimeAndDate(lines[2]), "'01231125;'V1.2;09.03.2024;0;1.2;MOhm;22;45;0;A;second");
    EXPECT_NE(ReadIni().find("DataDirectory=" + Dir.string() + "/"), std::string::npos);
}

TEST_F(Rxm850Test, RowAfterARowTornByAKillStartsOnALineOfItsOwn) {
    Init();
    W->BitBtn_start->Click();
    const fs::path csv = Dir / "torn.csv";
    const std::string torn = "Time;Date;Serial number\r\n10:00:00;01.02.2024;'0123";
    std::ofstream(csv, std::ios::binary) << torn;
    TPumpScript script;
    script.Do([&] { W->Edit_Comment->SetText("after"); }).Click(W->BitBtnOK);
    Responder.ExpectSave(csv.string().c_str()).ExpectMessage("File saved successfully.", IDOK);
    W->BitBtn_save->Click();
    const auto lines = Lines(ReadFile(csv));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "10:00:00;01.02.2024;'0123");
    EXPECT_EQ(AfterTimeAndDate(lines[2]), "'01231125;'V1.2;09.03.2024;0;1.2;MOhm;22;45;0;A;after");
}

TEST_F(Rxm850Test, CancelledCommentWritesNothing) {
    Init();
    W->BitBtn_start->Click();
    TPumpScript script;
    script.Type(W->Edit_Comment, "x").Click(W->BitBtnCancel);
    W->BitBtn_save->Click();
    EXPECT_EQ(F->Files[0].Comment, "");
    EXPECT_TRUE(Responder.Shown().empty());
}

TEST_F(Rxm850Test, StoredFilesBrowsedCommentedAndSavedTwice) {
    Init();
    TPumpScript script;
    script.Do([&] { W->MaskEdit_end_fn->SetText("0"); })
        .After(3)
        .Do([&] { EXPECT_FALSE(W->BitBtn_OK_FileNo->Enabled()); }, "range 1..0 refused")
        .Do([&] { W->MaskEdit_end_fn->SetText("3"); })
        .Click(W->BitBtn_OK_FileNo);
    W->BitBtn_readFile->Click();
    ASSERT_TRUE(F->Visible());
    EXPECT_FALSE(W->Visible());
    EXPECT_EQ(F->LabelFileNumber->Caption(), "1");
    // File n holds 1234 + n: 1235 x 10^3 Ohm.
    EXPECT_EQ(F->LabelResistor->Caption(), "1.2 MOhm");
    EXPECT_EQ(F->LabelHumidity->Caption(), "45 %r/H");
    EXPECT_EQ(F->LabelTimer->Caption(), "7 sec.");
    EXPECT_EQ(F->LabelAL->Caption(), "A");

    // Comments typed and left by any button are kept, the last one at Save.
    F->EditComments->SetText("one");
    F->BitBtnNext->Click();
    F->EditComments->SetText("two");
    F->BitBtnEnd->Click();
    F->EditComments->SetText("three");
    F->BitBtnStart->Click();
    EXPECT_EQ(F->EditComments->Text(), "one");
    F->BitBtnEnd->Click();
    F->EditComments->SetText("three;3");
    const fs::path csv = Dir / "files.csv";
    for (int i = 0; i < 2; ++i) {
        Responder.ExpectSave(csv.string().c_str()).ExpectMessage("File saved successfully.", IDOK);
        F->BitBtnSave->Click();
    }
    const auto lines = Lines(ReadFile(csv));
    ASSERT_EQ(lines.size(), 12u);
    for (int block = 0; block < 2; ++block) {
        const int b = block * 6;
        EXPECT_EQ(lines[b], "Time;Date;Serial number;Sw Version;Calibration date");
        EXPECT_EQ(AfterTimeAndDate(lines[b + 1]), "'01231125;'V1.2;09.03.2024");
        EXPECT_EQ(lines[b + 3], "1;1.2;MOhm;22;45;7;A;one");
        EXPECT_EQ(lines[b + 4], "2;1.2;MOhm;22;45;7;A;two");
        EXPECT_EQ(lines[b + 5], "3;1.2;MOhm;22;45;7;A;three,3");
    }
    // Saved: Exit asks nothing and gives the measurement window back.
    F->BitBtnExit->Click();
    EXPECT_FALSE(F->Visible());
    EXPECT_TRUE(W->Visible());
}

TEST_F(Rxm850Test, StoredFilesNavigationBoundsAndExitQuestion) {
    Init();
    TPumpScript script;
    script
        .Do([&] {
            W->MaskEdit_start_fn->SetText("5");
            W->MaskEdit_end_fn->SetText("5");
        })
        .Click(W->BitBtn_OK_FileNo);
    W->BitBtn_readFile->Click();
    F->BitBtnPrevious->Click();
    EXPECT_EQ(F->CurrentFile, 5);
    EXPECT_TRUE(F->Saved); // < did nothing
    F->EditComments->SetText("five");
    F->BitBtnNext->Click();
    EXPECT_EQ(F->CurrentFile, 5);
    EXPECT_EQ(F->Files[5].Comment, "five");
    // The close box asks like Exit; declining keeps the window.
    Responder.ExpectMessage("File is not saved yet", IDCANCEL);
    F->Close();
    EXPECT_TRUE(F->Visible());
    Responder.ExpectMessage("File is not saved yet", IDOK);
    F->Close();
    EXPECT_FALSE(F->Visible());
    EXPECT_TRUE(W->Visible());
}

// ---------------------------------------------------------------------------
// Sequences of the operator's steps: a reading saved after Reset, with the
// name typed bare, on a full disk and into a read-only folder; the meter
// pulled during the timer's count-down.

#include "support/full_disk.h"

namespace {
class Rxm850Sequence : public Rxm850Test {
public:
    using AppTest::Dir;
    using AppTest::ReadOnlySetupIni;
    using AppTest::Responder;
    void SetUp() override {
        // The data folder is the test's own: a save writes no SETUP.INI.
        WriteIni("[RXM850]\nDataDirectory=" + Dir.string() + "/\n");
        Rxm850Test::SetUp();
    }
    void Measure() {
        Init();
        W->BitBtn_start->Click();
        ASSERT_EQ(W->Label_RXM_Me->Caption(), "1.2 MOhm");
        ASSERT_TRUE(W->BitBtn_save->Enabled());
    }
    // Save with a comment; the boxes expected after the file dialog follow.
    void Save(const std::string& File, std::initializer_list<const char*> Then) {
        Responder.ExpectSave(File.c_str());
        for (const char* m : Then)
            Responder.ExpectMessage(m, IDOK);
        TPumpScript script;
        script.Type(W->Edit_Comment, "c").Click(W->BitBtnOK);
        SimulateClick(W->BitBtn_save);
        EXPECT_TRUE(script.Done());
    }
    std::string Csv() const { return (Dir / "single.csv").string(); }
};

struct TRxmCase {
    const char* Name;
    std::function<void(Rxm850Sequence&)> Steps;
};

const TRxmCase RxmCases[] = {
    {"ResetKeepsAnUnsavedReadingSavable",
     [](Rxm850Sequence& t) {
         t.Measure();
         t.W->BitBtn_reset->Click();
         EXPECT_TRUE(t.W->BitBtn_start->Enabled());
         EXPECT_TRUE(t.W->BitBtn_save->Enabled());
         t.Save(t.Csv(), {"File saved successfully."});
         EXPECT_EQ(Lines(ReadFile(t.Csv())).size(), 2u);
         EXPECT_FALSE(t.W->BitBtn_save->Enabled());
         t.W->BitBtn_reset->Click();
         EXPECT_FALSE(t.W->BitBtn_save->Enabled()); // saved: nothing left to keep
     }},
    {"ABareNameGetsItsExtensionAndNoHiddenNameIsProposed",
     [](Rxm850Sequence& t) {
         t.Measure();
         t.Save((t.Dir / "reading").string(), {"File saved successfully."});
         EXPECT_EQ(t.Responder.Shown().front().Value, "");
         EXPECT_TRUE(fs::exists(t.Dir / "reading.CSV"));
     }},
    {"FullDiskForANewFileThenSaveAgain",
     [](Rxm850Sequence& t) {
         t.Measure();
         {
             TFullDisk full;
             t.Save(t.Csv(), {"Error occured, data not saved ! Error no.: -1"});
         }
         EXPECT_FALSE(fs::exists(t.Csv())); // no empty file whose next save has no header
         EXPECT_TRUE(t.W->BitBtn_save->Enabled());
         t.Save(t.Csv(), {"File saved successfully."});
         const auto lines = Lines(ReadFile(t.Csv()));
         ASSERT_EQ(lines.size(), 2u);
         EXPECT_EQ(lines[0].substr(0, 10), "Time;Date;");
     }},
    {"FullDiskForAnExistingFile",
     [](Rxm850Sequence& t) {
         t.Measure();
         t.Save(t.Csv(), {"File saved successfully."});
         t.W->BitBtn_start->Click();
         const std::string before = ReadFile(t.Csv());
         {
             TFullDisk full(before.size() + 5);
             t.Save(t.Csv(), {"Error occured, data not saved ! Error no.: -2"});
         }
         EXPECT_EQ(ReadFile(t.Csv()), before); // no half row
         EXPECT_TRUE(t.W->BitBtn_save->Enabled());
     }},
    {"ReadOnlyFolder",
     [](Rxm850Sequence& t) {
         t.Measure();
         const std::string file = ReadOnlyFolder(t.Dir) + "single.csv";
         t.Save(file, {"Can't create file : ", "Save file is not possible",
                       "Error occured, data not saved ! Error no.: -3"});
         EXPECT_TRUE(t.W->BitBtn_save->Enabled());
         t.Save(t.Csv(), {"File saved successfully."});
     }},
    {"ReadOnlySetupIniCostsNoReadingAndNoButton",
     [](Rxm850Sequence& t) {
         t.Measure();
         const std::string ini = t.ReadOnlySetupIni();
         const std::string told =
             "The data folder could not be remembered: Unable to write to " + ini;
         t.Save(t.Csv(), {"File saved successfully.", told.c_str()});
         EXPECT_EQ(Lines(ReadFile(t.Csv())).size(), 2u);
         for (TBitBtn* b :
              {t.W->BitBtn_start, t.W->BitBtn_init, t.W->BitBtn_readFile, t.W->BitBtn_reset})
             EXPECT_TRUE(b->Enabled()) << b->Name().c_str();
         EXPECT_FALSE(t.W->BitBtn_save->Enabled()); // saved
     }},
    {"ReadOnlySetupIniCostsNoStoredFile",
     [](Rxm850Sequence& t) {
         t.Init();
         TPumpScript script;
         script.Do([&t] { t.W->MaskEdit_end_fn->SetText("2"); }).Click(t.W->BitBtn_OK_FileNo);
         t.W->BitBtn_readFile->Click();
         ASSERT_TRUE(t.F->Visible());
         const std::string ini = t.ReadOnlySetupIni();
         const fs::path csv = t.Dir / "files.csv";
         t.Responder.ExpectSave(csv.string().c_str())
             .ExpectMessage("File saved successfully.", IDOK)
             .ExpectMessage(
                 ("The data folder could not be remembered: Unable to write to " + ini).c_str(),
                 IDOK);
         t.F->BitBtnSave->Click();
         EXPECT_EQ(Lines(ReadFile(csv)).size(), 5u);
         t.F->BitBtnExit->Click(); // saved: no question
         EXPECT_TRUE(t.W->Visible());
     }},
    {"MeterGarblesDuringTheCountDown",
     [](Rxm850Sequence& t) {
         t.Init();
         t.W->RadioGroup_RXM_TI->SetItemIndex(1);
         t.W->ComboBox_RXM_Time->SetItemIndex(9); // "10 sec"
         TPumpScript script;
         script.When([&t] { return t.W->Label_RXM_Me->Caption() == "7 Sec."; }).Do([&t] {
             t.Responder.ExpectMessage("Checksum error", IDCANCEL);
             t.Sim.SetFault(TSerialSimulator::BadCheck);
         });
         SimulateClick(t.W->BitBtn_start);
         EXPECT_TRUE(script.Done());
         EXPECT_EQ(t.W->Label_RXM_Me->Caption(), "Measurement failed!");
         EXPECT_EQ(t.W->RXM_GroupBox_V->Caption(), "Resistor measured value");
         EXPECT_TRUE(t.W->BitBtn_start->Enabled());
     }},
    {"MeterPulledDuringTheCountDown",
     [](Rxm850Sequence& t) {
         t.Init();
         t.W->RadioGroup_RXM_TI->SetItemIndex(1);
         t.W->ComboBox_RXM_Time->SetItemIndex(9); // "10 sec"
         TPumpScript script;
         script.When([&t] { return t.W->Label_RXM_Me->Caption() == "7 Sec."; }).Do([&t] {
             t.Responder.ExpectMessage(("Port " + t.Sim.Path()).c_str(), IDOK);
             t.Sim.HangUp();
         });
         SimulateClick(t.W->BitBtn_start);
         EXPECT_TRUE(script.Done());
         EXPECT_EQ(t.W->Label_RXM_Me->Caption(), "Measurement failed!");
         EXPECT_EQ(t.W->RXM_GroupBox_V->Caption(), "Resistor measured value");
         EXPECT_TRUE(t.W->BitBtn_init->Enabled());
         EXPECT_TRUE(t.W->BitBtn_exit->Enabled());
         EXPECT_FALSE(t.W->BitBtn_stop->Enabled() && !t.W->BitBtn_start->Enabled());
         t.W->BitBtn_exit->Click();
         EXPECT_FALSE(t.W->Visible());
         EXPECT_TRUE(MainForm->Enabled());
     }},
};

class Rxm850SequenceTest : public Rxm850Sequence, public ::testing::WithParamInterface<TRxmCase> {};
} // namespace

TEST_P(Rxm850SequenceTest, Runs) {
    GetParam().Steps(*this);
    EXPECT_TRUE(Responder.Done());
}

INSTANTIATE_TEST_SUITE_P(Operator, Rxm850SequenceTest, ::testing::ValuesIn(RxmCases),
                         [](const auto& i) { return std::string(i.param.Name); });
