// The calibration window against the simulated meter: factors, measured data
// with its status bits, the identity frame, the CSV row and the print-out.
#include "app/rxmcalimenu.h"
#include "app_fixture.h"
#include "paper_lines.h"
#include "platform/graphics/metafile.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "support/external_tool.h"
#include "support/recording_printer.h"
#include "support/rxm_sim.h"
#include <regex>

namespace {
class RxmCaliTest : public AppTest {
public:
    void SetUp() override {
        DecimalSeparator = '.';
        DateSeparator = '.'; // the date entry's mask shows it
        Time.Clock.Attach(&Sim);
        char arg0[] = "qmreadout", arg1[] = "calibrate";
        char* argv[] = {arg0, arg1, nullptr};
        InitCommandLine(2, argv);
        Start();
        FoCom->ComPort1->SetDeviceName(Sim.Path().c_str());
        Item("RXM_Calibrate")->Click();
        W = FormRXMCali;
    }
    void TearDown() override { Time.Clock.Detach(&Sim); }
    std::string Memo() { return W->MemoInfo->Lines()->Text().c_str(); }
    TRxmSimulator Sim;
    TFormRXMCali* W = nullptr;
};
} // namespace

TEST_F(RxmCaliTest, FactorsReadWrittenAndReset) {
    Sim.Change([&] { Sim.Factors[0] = 0x1234; });
    W->BitBtn_read_para->Click();
    EXPECT_EQ(W->MaskEdit_k0->Text().Trim(), "4660");
    EXPECT_EQ(W->MaskEdit_k_TF3->Text().Trim(), "208");
    W->BitBtn_read_default->Click(); // no SETUP.INI keys: 200 each
    Responder.ExpectMessage("Are you sure ?", IDOK);
    W->BitBtn_write_para->Click();
    const auto sent = Sim.Commands();
    EXPECT_EQ(sent.back(), "90F000C800C800C800C800C800C800C80008FFC800C800");
    EXPECT_NE(Memo().find("succesfully !"), std::string::npos);
    EXPECT_TRUE(W->BitBtn_read_cali_data->Enabled());
    EXPECT_TRUE(W->BitBtn_exit->Enabled()); // the lock is undone

    Responder.ExpectMessage("Are you sure ?", IDCANCEL);
    W->BitBtn_write_para->Click();
    EXPECT_EQ(Sim.Commands().size(), sent.size());
    EXPECT_NE(Memo().find("Write Parameters canceled!"), std::string::npos);
}

TEST_F(RxmCaliTest, FactorAbove16BitsIsRefusedBeforeSending) {
    W->MaskEdit_k3->SetText("70000");
    Responder.ExpectMessage("Are you sure ?", IDOK).ExpectMessage("outside 0..65535", IDOK);
    const size_t before = Sim.Commands().size();
    SimulateClick(W->BitBtn_write_para);
    EXPECT_EQ(Sim.Commands().size(), before);
}

struct TStatusCase {
    int Status;
    const char* Checked; // CheckBox0..7 as '0'/'1'
    const char* Line;    // after Exponent
};
class RxmCaliStatusTest : public RxmCaliTest, public ::testing::WithParamInterface<TStatusCase> {};

TEST_P(RxmCaliStatusTest, MeasuredDataTicksTheStatusBits) {
    Sim.Change([&] { Sim.Status = GetParam().Status; });
    W->BitBtn_read_meas_data->Click();
    std::string ticks;
    for (TCheckBox* c : W->CheckBox)
        ticks += c->Checked() ? '1' : '0';
    EXPECT_EQ(ticks, GetParam().Checked);
    const std::string memo = Memo();
    EXPECT_NE(memo.find("Exponent\t\t: 3\r\n" + std::string(GetParam().Line)), std::string::npos)
        << memo;
    EXPECT_EQ(memo.find("Resistor") != std::string::npos, !(GetParam().Status & 0x80));
}

INSTANTIATE_TEST_SUITE_P(Bits, RxmCaliStatusTest,
                         ::testing::Values(TStatusCase{0xC0, "00000001", "OVERFLOW"},
                                           TStatusCase{0x80, "00000010", "UNDERFLOW"},
                                           TStatusCase{0x21, "10000100", "Resistor\t\t: 1.2MOhm"}));

TEST_F(RxmCaliTest, DateFrameCsvRowAndPrintOut) {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    char today[16], frame[40];
    std::snprintf(today, sizeof today, "%02d.%02d.20%02d", d, m, y % 100);
    std::snprintf(frame, sizeof frame, "A0D2040B19FF%02X%02X%02X", d, m, y % 100);
    W->BitBtn_read_cali_data->SetEnabled(true);
    W->BitBtn_read_cali_data->Click();
    TPumpScript script;
    script.Do([&] { W->MaskEditSerialDate->SetText("13.25"); }, "month 13")
        .Click(W->BitBtnCaliDateOK)
        .Do([&] {
            W->MaskEditSerialNumber->SetText("1234");
            W->MaskEditSerialDate->SetText("11.25");
        })
        .Click(W->BitBtnCaliDateOK);
    Responder.ExpectMessage("Incorrect date entry ", IDOK);
    W->BitBtn_write_cali_data->Click();
    EXPECT_EQ(Sim.Commands().back(), frame);
    EXPECT_EQ(W->CaliPara.SerialNumber, "123411.25");
    EXPECT_EQ(W->CaliPara.CalibrationDate, today);
    ASSERT_TRUE(W->BitBtn_save->Enabled());

    const fs::path csv = Dir / "cali.csv";
    for (int i = 0; i < 2; ++i) {
        Responder.ExpectSave(csv.string().c_str());
        W->BitBtn_save->SetEnabled(true);
        W->BitBtn_save->Click();
    }
    std::ifstream in(csv, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    const std::string row = "'123411.25;'" + std::string(today) + ";'V1.2;0;0;0;0;0;0;0;0;0\r\n";
    EXPECT_EQ(text, "Serial number;Date;SW version;Factor k0;Factor k1;Factor k2;Factor "
                    "k3;Factor k4;Factor k5;Factor k_TF0;Factor k_TF2;Factor k_TF3;\r\n" +
                        row + row);

    // A4 at 300 pixels per inch: 58 pixels a line, 56 lines a page.
    W->MemoInfo->Clear();
    for (int i = 0; i < 60; ++i)
        W->MemoInfo->Lines()->Add("line " + IntToStr(i));
    TRecordingPrinter printer;
    printer.Install();
    Responder.ExpectPrint(true);
    W->BitBtn_print->Click();
    ASSERT_EQ(printer.PageCount(), 2);
    const auto second = printer.Page(1)->TextRecords();
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second.front().Text, "line 50");
    EXPECT_EQ(second.front().Pos.y, 4 * 58);
}

TEST_F(RxmCaliTest, RowAfterARowTornByAKillStartsOnALineOfItsOwn) {
    const fs::path csv = Dir / "torn.csv";
    const std::string torn = "Serial number;Date;SW version\r\n'1234;'01.02.2024;'V1";
    std::ofstream(csv, std::ios::binary) << torn;
    W->CaliPara.SerialNumber = "5678";
    Responder.ExpectSave(csv.string().c_str());
    W->BitBtn_save->SetEnabled(true);
    W->BitBtn_save->Click();
    std::ifstream in(csv, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(text.substr(0, torn.size() + 2), torn + "\r\n");
    const std::string row = text.substr(torn.size() + 2);
    EXPECT_EQ(row.substr(0, 6), "'5678;");
    EXPECT_EQ(std::count(row.begin(), row.end(), '\n'), 1) << row;
    EXPECT_EQ(row.substr(row.size() - 2), "\r\n");
}

// Every line lands inside its page, in order, none lost, on paper of any
// height; a memo that fills its page to the margin starts no empty one.
TEST_F(RxmCaliTest, PrintOutKeepsEveryLineOnItsPageOnAnyPaper) {
    const struct {
        const char* Name;
        int Height, Lines, Pages;
    } papers[] = {{"A4", 3508, 20, 1},
                  {"A4 filled to its margin", 3508, 50, 1},
                  {"a strip 2 inches high", 600, 20, 4},
                  {"a label lower than the heading", 200, 3, 5}};
    for (const auto& p : papers) {
        W->MemoInfo->Clear();
        std::vector<std::string> expected = {"QM read out - calibration of the RXM 850",
                                             "Print out Info display : " +
                                                 std::string(DateToStr(Date()).c_str())};
        for (int i = 0; i < p.Lines; ++i) {
            W->MemoInfo->Lines()->Add("line " + IntToStr(i));
            expected.push_back("line " + std::to_string(i));
        }
        TRecordingPrinter printer(TSize(2480, p.Height), 300);
        printer.Install();
        Responder.ExpectPrint(true);
        W->BitBtn_print->Click();
        EXPECT_EQ(printer.PageCount(), p.Pages) << p.Name;
        std::vector<std::string> printed;
        for (int i = 0; i < printer.PageCount(); ++i) {
            int below = 0; // where the page's last line ends
            for (const auto& r : printer.Page(i)->TextRecords()) {
                const int height = r.Text.Pos("line ") == 1 ? 58 : 81; // 10 or 14 points
                EXPECT_GE(r.Pos.y, below) << p.Name << ": " << r.Text.c_str();
                EXPECT_LE(r.Pos.y + height, p.Height) << p.Name << ": " << r.Text.c_str();
                below = r.Pos.y + height;
                printed.push_back(r.Text.c_str());
            }
        }
        EXPECT_EQ(printed, expected) << p.Name;
    }
}

// The paper and orientation chosen in the print dialog are the pages the
// lines are placed on.
TEST_F(RxmCaliTest, PrintOutLinesGoOnThePaperChosenInTheDialog) {
    QM_REQUIRE_TOOL("pdftotext");
    if (Printer()->Printers()->Count() != 1) GTEST_SKIP() << "a real printer is installed";
    W->MemoInfo->Clear();
    for (int i = 0; i < 20; ++i)
        W->MemoInfo->Lines()->Add("line " + IntToStr(i));
    ExpectLinesOnChosenPaper(Responder, [this] { W->BitBtn_print->Click(); }, 22);
}

// The calibration record's lines hold tabs; on paper each must read as on screen.
TEST_F(RxmCaliTest, PrintedCalibrationRecordReadsBackFromThePdf) {
    QM_REQUIRE_TOOL("pdftotext");
    if (Printer()->Printers()->Count() != 1) GTEST_SKIP() << "a real printer is installed";
    W->BitBtn_read_meas_data->Click();
    W->BitBtn_read_cali_data->SetEnabled(true);
    W->BitBtn_read_cali_data->Click();
    ASSERT_NE(Memo().find("Serial number\t: "), std::string::npos);
    const fs::path pdf = Dir / "record.pdf";
    Responder.ExpectPrintToFile(pdf.string().c_str());
    W->BitBtn_print->Click();
    const std::string txt = (Dir / "record.txt").string();
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf.string() + "' " + txt).c_str()), 0);
    std::ifstream f(txt);
    const std::string text(std::istreambuf_iterator<char>(f), {});
    for (const char* line :
         {"Print out Info display : ", "\n *Range +: [0-9]+\n", "\n *Exponent +: 3\n",
          "\n *Temperature +: [0-9]+\xC2\xB0"
          "C\n",
          "\n *Calibration +date +: [0-9.]+\n", "\n *Software version +: V1\\.2\n",
          "\n *Serial number +: [0-9.]+\n"})
        EXPECT_TRUE(std::regex_search(text, std::regex(line))) << line << " in\n" << text;
}

TEST_F(RxmCaliTest, CancelledDateEntrySendsNothingAndExitGivesTheMainWindowBack) {
    W->BitBtn_write_cali_data->SetEnabled(true);
    TPumpScript script;
    script.Click(W->BitBtnCaliDateCancel);
    const size_t before = Sim.Commands().size();
    W->BitBtn_write_cali_data->Click();
    EXPECT_EQ(Sim.Commands().size(), before);
    EXPECT_NE(Memo().find("cancelled"), std::string::npos);
    EXPECT_TRUE(W->BitBtn_exit->Enabled());
    W->BitBtn_exit->Click();
    EXPECT_FALSE(W->Visible());
    EXPECT_TRUE(MainForm->Enabled());
    EXPECT_FALSE(FoCom->ComPort1->Active());
}

// ---------------------------------------------------------------------------
// Sequences of the operator's steps: the calibration record saved on a full
// disk and into a read-only folder, then printed.

#include "support/full_disk.h"

namespace {
class RxmCaliSequence : public RxmCaliTest {
public:
    using AppTest::Dir;
    using AppTest::ReadOnlySetupIni;
    using AppTest::Responder;
    void SetUp() override {
        WriteIni("[RXM850]\nDataDirectory=" + Dir.string() + "/\n");
        RxmCaliTest::SetUp();
        W->BitBtn_save->SetEnabled(true); // as after the identity was written
    }
    void Save(const std::string& File, const char* Then = nullptr) {
        Responder.ExpectSave(File.c_str());
        if (Then) Responder.ExpectMessage(Then, IDOK);
        SimulateClick(W->BitBtn_save);
    }
    std::string Csv() const { return (Dir / "cali.csv").string(); }
    static size_t Rows(const std::string& File) {
        std::ifstream in(File, std::ios::binary);
        const std::string text(std::istreambuf_iterator<char>(in), {});
        return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    }
    // Rows of the page (drawn at half size) that hold ink between Top and Bottom.
    static int InkRows(const TBitmap& Page, int Top, int Bottom) {
        int first = -1, last = -1;
        for (int y = Top; y < Bottom; ++y)
            for (int x = 0; x < Page.Width(); ++x)
                if ((const_cast<TBitmap&>(Page).Canvas()->Pixels(x, y) & 0xFF) < 128) {
                    if (first < 0) first = y;
                    last = y;
                    break;
                }
        return first < 0 ? 0 : last - first + 1;
    }
};

struct TCaliCase {
    const char* Name;
    std::function<void(RxmCaliSequence&)> Steps;
};

const TCaliCase CaliCases[] = {
    {"FullDiskForANewFileThenSaveAgain",
     [](RxmCaliSequence& t) {
         {
             TFullDisk full;
             t.Save(t.Csv(), "Can't write file : ");
         }
         EXPECT_FALSE(fs::exists(t.Csv())); // never a file without its header
         EXPECT_TRUE(t.W->BitBtn_save->Enabled());
         t.Save(t.Csv());
         EXPECT_EQ(t.Rows(t.Csv()), 2u);
         EXPECT_FALSE(t.W->BitBtn_save->Enabled());
     }},
    {"ReadOnlyFolderThenSaveElsewhere",
     [](RxmCaliSequence& t) {
         t.Save(ReadOnlyFolder(t.Dir) + "cali.csv", "Can't create file : ");
         EXPECT_TRUE(t.W->BitBtn_save->Enabled());
         t.Save(t.Csv());
         EXPECT_EQ(t.Rows(t.Csv()), 2u);
     }},
    {"ReadOnlySetupIniCostsNoRecord",
     [](RxmCaliSequence& t) {
         const std::string ini = t.ReadOnlySetupIni();
         t.Save(t.Csv(),
                ("The data folder could not be remembered: Unable to write to " + ini).c_str());
         EXPECT_EQ(t.Rows(t.Csv()), 2u);
         EXPECT_FALSE(t.W->BitBtn_save->Enabled()); // saved
         EXPECT_TRUE(t.W->BitBtn_exit->Enabled());
     }},
    {"MeterPulledThenEveryConversationNamesThePort",
     [](RxmCaliSequence& t) {
         t.Sim.HangUp();
         for (TBitBtn* b : {t.W->BitBtn_read_para, t.W->BitBtn_read_meas_data}) {
             t.Responder.ExpectMessage(("Port " + t.Sim.Path()).c_str(), IDOK);
             SimulateClick(b);
             EXPECT_TRUE(t.Responder.Done()) << b->Name().c_str();
         }
         EXPECT_TRUE(t.W->BitBtn_exit->Enabled());
         t.W->BitBtn_exit->Click();
         EXPECT_TRUE(MainForm->Enabled());
     }},
    {"TheRecordPrintsWithItsHeadingAtFourteenPoints",
     [](RxmCaliSequence& t) {
         EXPECT_EQ(t.W->MemoInfo->ScrollBars(), ssBoth);
         t.W->MemoInfo->Clear();
         t.W->MemoInfo->Lines()->Add("lllllllll");
         TRecordingPrinter printer;
         printer.Install();
         t.Responder.ExpectPrint(true);
         t.W->BitBtn_print->Click();
         TBitmap page;
         printer.RenderPage(0, page, 2);
         // 300 pixels per inch, drawn at half size: a 14-point line is 81
         // pixels high on paper, a 10-point one 58.
         const int heading = t.InkRows(page, 2 * 81 / 2, 3 * 81 / 2);
         const int line = t.InkRows(page, 6 * 58 / 2, 7 * 58 / 2);
         ASSERT_GT(line, 0);
         // Its ink (a "Q" reaches below the line) against "lllllllll": 1.7 : 1
         // at 14 points, 1.3 : 1 at 10.
         EXPECT_GT(heading * 2, line * 3) << heading << " against " << line;
     }},
};

class RxmCaliSequenceTest : public RxmCaliSequence,
                            public ::testing::WithParamInterface<TCaliCase> {};
} // namespace

TEST_P(RxmCaliSequenceTest, Runs) {
    GetParam().Steps(*this);
    EXPECT_TRUE(Responder.Done());
}

INSTANTIATE_TEST_SUITE_P(Operator, RxmCaliSequenceTest, ::testing::ValuesIn(CaliCases),
                         [](const auto& i) { return std::string(i.param.Name); });

TEST_F(RxmCaliTest, FixedDialogFrameWithOnlyTheHelpIcon) {
    EXPECT_EQ(W->BorderStyle(), bsDialog);
    EXPECT_EQ(W->BorderIcons(), TBorderIcons{biHelp});
    // The layout's client width holds under the dialog frame.
    EXPECT_EQ(W->ClientWidth(), 760);
    EXPECT_EQ(W->Width(), 760 + 2 * GetSystemMetrics(SM_CXDLGFRAME));
}

TEST_F(RxmCaliTest, DefaultFactorsComeFromSetupIni) {
    // Factors that are no number, or none a 16-bit word holds, take 200 and
    // are named in one message; the file stays as it was.
    const std::string ini = "[rxm850]\r\nK0 = 150\r\nk_TF3='99'\r\nk1=lots\r\nk2=\r\n"
                            "k3=65535\r\nk4=65536\r\nk_TF0=-1\r\nk_TF2=2.5\r\n";
    WriteIni(ini);
    Responder.ExpectMessage("[RXM850] k1 = \"lots\"", IDOK);
    W->BitBtn_read_default->Click();
    EXPECT_TRUE(Responder.Done());
    std::string factors;
    for (TMaskEdit* e :
         {W->MaskEdit_k0, W->MaskEdit_k1, W->MaskEdit_k2, W->MaskEdit_k3, W->MaskEdit_k4,
          W->MaskEdit_k5, W->MaskEdit_k_TF0, W->MaskEdit_k_TF2, W->MaskEdit_k_TF3})
        factors += std::string(e->Text().Trim().c_str()) + " ";
    EXPECT_EQ(factors, "150 200 200 65535 200 200 200 200 99 ");
    ASSERT_EQ(Responder.Shown().size(), 1u);
    EXPECT_EQ(Responder.Shown()[0].Caption, "SETUP.INI");
    const std::string said = Responder.Shown()[0].Text.c_str();
    for (const char* named :
         {"[RXM850] k1 = \"lots\"", "[RXM850] k2 = \"\"", "[RXM850] k4 = \"65536\"",
          "[RXM850] k_TF0 = \"-1\"", "[RXM850] k_TF2 = \"2.5\""})
        EXPECT_NE(said.find(named), std::string::npos) << named << " in\n" << said;
    EXPECT_EQ(said.find("k0"), std::string::npos) << said;
    EXPECT_EQ(said.find("k3"), std::string::npos) << said;
    EXPECT_EQ(ReadIni(), ini);

    // A file without a refused value fills the edits without a word.
    WriteIni("[RXM850]\r\nk1=7\r\n");
    W->BitBtn_read_default->Click();
    EXPECT_EQ(W->MaskEdit_k1->Text().Trim(), "7");
    EXPECT_EQ(Responder.Shown().size(), 1u);
}
